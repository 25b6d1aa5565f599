#include "addin/platform/imaging/turn_pixels.h"

#include <gtest/gtest.h>

namespace tervane {
namespace {

// A picture stored as the rows "abc" and "def", shown as each orientation
// says.
TEST(TurnPixelsTest, EachOrientationAsShown) {
  const struct {
    std::uint32_t orientation;
    std::string_view shown;
  } cases[] = {
      {0, "abcdef"},  // none
      {1, "abcdef"}, {2, "cbafed"}, {3, "fedcba"},
      {4, "defabc"}, {5, "adbecf"},                 // transposed: rows "ad", "be", "cf"
      {6, "daebfc"},                                // turned clockwise
      {7, "fcebda"}, {8, "cfbead"}, {9, "abcdef"},  // not an orientation
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.orientation);
    EXPECT_EQ(TurnPixels("abcdef", 3, 2, 1, c.orientation), c.shown);
    // Pixels of several bytes move whole.
    std::string wide, shownWide;
    for (const char p : std::string_view("abcdef")) wide += std::string{p, '1', '2'};
    for (const char p : c.shown) shownWide += std::string{p, '1', '2'};
    EXPECT_EQ(TurnPixels(wide, 3, 2, 3, c.orientation), shownWide);
  }
}

}  // namespace
}  // namespace tervane
