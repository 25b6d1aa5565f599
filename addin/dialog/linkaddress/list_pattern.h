// File kind filter: the list pattern formed from the four kind boxes, and the
// matching and ordering of names in the file list.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

/// Patterns of the four kind boxes, by index: shortcuts, JPEG, GIF/PNG,
/// pages and text.
inline constexpr std::array<std::string_view, 4> kFilterPatterns = {
    "*.url", "*.jpeg;*.jpg", "*.gif;*.png", "*.htm;*.html;*.txt;*.rtf"};

/// The list pattern for the ticked boxes: their patterns in index order,
/// joined by ";"; "*.*" when none is ticked.
std::string ListPattern(const std::array<bool, 4>& ticked);

/// A compiled list pattern: one or more wildcard patterns separated by ";".
/// "*" stands for any run of characters, "?" for any one character (a whole
/// UTF-8 sequence), letters match regardless of ASCII case, and "*.*"
/// matches every name, with or without a dot.
class FilePattern {
 public:
  explicit FilePattern(std::string_view listPattern);
  bool Matches(std::string_view name) const;

 private:
  std::vector<std::string> alternatives_;  // lower-cased
};

/// The order of a sorted list box: lower-cased names compare first, ties by
/// code point (byte order of UTF-8).
bool ListOrderLess(std::string_view a, std::string_view b);

/// Sorts `names` by ListOrderLess, lower-casing each name once rather than
/// at every comparison.
void SortInListOrder(std::vector<std::string>& names);

}  // namespace tervane
