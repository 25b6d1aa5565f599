#include "addin/dialog/linkaddress/picture_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/dialog/linkaddress/picture_title.h"

namespace tervane {
namespace {

// Pairs in natural order: the first sorts before the second, never after.
TEST(PictureOrderTest, NaturalOrder) {
  const struct {
    std::string_view before, after;
  } cases[] = {
      {"IMG_2.jpg", "IMG_10.jpg"},
      {"img_2.jpg", "IMG_10.jpg"},  // letter case as the list
      {"IMG_9.jpg", "IMG_0010.jpg"},
      {"a1b2.jpg", "a1b10.jpg"},
      {"1.jpg", "a.jpg"},  // a number sorts as its first digit
      {"-.jpg", "1.jpg"},
      {"IMG_2.jpg", "IMG_2a.jpg"},
      {"IMG_02.jpg", "IMG_2.jpg"},  // equal values: the list's order
      {"IMG_2.jpg", "img_2.jpg"},
      {"x99999999999999999999999.jpg", "x100000000000000000000000.jpg"},
      {"写真2.jpg", "写真10.jpg"},
      {"2007", "2007.jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << " < " << c.after);
    EXPECT_TRUE(NaturalOrderLess(c.before, c.after));
    EXPECT_FALSE(NaturalOrderLess(c.after, c.before));
    EXPECT_FALSE(NaturalOrderLess(c.before, c.before));
  }
}

TEST(PictureOrderTest, TimeKeysOfExifDates) {
  const struct {
    std::string_view date;
    std::optional<std::string> key;
  } cases[] = {
      {"2008:04:19 13:43:16", "2008:04:19 13:43:16"},
      {"2008:04:19 13:43:16.25", "2008:04:19 13:43:16.25"},
      {"0000:00:00 00:00:00", std::nullopt},
      {"    :  :     :  :  ", std::nullopt},
      {"2008-04-19 13:43:16", std::nullopt},
      {"2008:04:19", std::nullopt},
      {"2008:04:19 13:43:16 ", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(TimeKey(c.date), c.key);
  }
}

// The pieces of a title: blanks at the ends go, runs of blanks and control
// characters inside become one space.
TEST(PictureOrderTest, TitlesAreOneTrimmedLine) {
  const struct {
    std::string_view text, clean;
  } cases[] = {
      {"                               ", ""},
      {std::string_view("  \0", 3), ""},
      {"\u3000夕焼け\u3000", "夕焼け"},
      {"\u3000\u3000", ""},
      {" Harbour\r\n at\tdawn ", "Harbour at dawn"},
      {"a\x7F\x01z", "a z"},
      {"\xFF", "\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CleanTitle(c.text), c.clean);
  }
}

}  // namespace
}  // namespace tervane
