#include "addin/dialog/linkaddress/list_pattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tervane {
namespace {

TEST(ListPatternTest, TickedKindsJoinInIndexOrder) {
  const struct {
    std::array<bool, 4> ticked;
    std::string_view expected;
  } cases[] = {
      {{false, false, false, false}, "*.*"},
      {{false, true, true, false}, "*.jpeg;*.jpg;*.gif;*.png"},
      {{true, false, false, false}, "*.url"},
      {{false, false, false, true}, "*.htm;*.html;*.txt;*.rtf"},
      {{true, true, true, true}, "*.url;*.jpeg;*.jpg;*.gif;*.png;*.htm;*.html;*.txt;*.rtf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "ticked " << c.ticked[0] << c.ticked[1] << c.ticked[2] << c.ticked[3]);
    EXPECT_EQ(ListPattern(c.ticked), c.expected);
  }
}

TEST(ListPatternTest, Matching) {
  const struct {
    std::string_view pattern;
    std::string_view name;
    bool matches;
  } cases[] = {
      {"*.jpeg;*.jpg;*.gif;*.png", "A.JPG", true},
      {"*.jpeg;*.jpg;*.gif;*.png", "c.Png", true},
      {"*.jpeg;*.jpg;*.gif;*.png", "d.htm", false},
      {"*.jpeg;*.jpg;*.gif;*.png", "e.url", false},
      {"*.jpeg;*.jpg;*.gif;*.png", "photo.jpg.txt", false},
      {"*.htm", "index.html", false},
      {"*.*", "README", true},
      {"*.*", ".hidden", true},
      {"?.txt", "a.txt", true},
      {"?.txt", "写.txt", true},
      {"?.txt", "ab.txt", false},
      {"??.txt", "写.txt", false},
      {"*?.txt", "写.txt", true},
      {"*??.txt", "写.txt", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"写真*.JPG", "写真 01.jpg", true},
      {"*.jpg", "", false},
      {"x*;*.gif", "X-ray.png", true},
      {"x*", "x", true},
      {"*x**", "X", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "pattern '" << c.pattern << "', name '" << c.name << "'");
    EXPECT_EQ(FilePattern(c.pattern).Matches(c.name), c.matches);
  }
}

TEST(ListPatternTest, SortedListOrder) {
  std::vector<std::string> names = {"b.jpg",    "B.jpg", "a_.jpg", "A.jpg", "ab.jpg",
                                    "写真.jpg", "a.jpg", "Ab.jpg", "c.jpg"};
  std::sort(names.begin(), names.end(), ListOrderLess);
  const std::vector<std::string> expected = {"A.jpg", "a.jpg", "a_.jpg", "Ab.jpg",  "ab.jpg",
                                             "B.jpg", "b.jpg", "c.jpg",  "写真.jpg"};
  EXPECT_EQ(names, expected);
}

// The sort of a whole list, which lower-cases each name once, orders exactly
// as the comparison does, ties and prefixes included.
TEST(ListPatternTest, ListSortMatchesTheComparison) {
  const std::vector<std::string> pieces = {"a", "A", "b", "B", "_", ".", "Z", "[", "é", "写"};
  std::mt19937 engine(11);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> names(engine() % 40);
    for (std::string& name : names) {
      for (std::size_t length = engine() % 5; length > 0; --length) {
        name += pieces[engine() % pieces.size()];
      }
    }
    std::vector<std::string> expected = names;
    std::stable_sort(expected.begin(), expected.end(), ListOrderLess);
    SortInListOrder(names);
    ASSERT_EQ(names, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace tervane
