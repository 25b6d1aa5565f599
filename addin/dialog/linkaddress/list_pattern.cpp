#include "addin/dialog/linkaddress/list_pattern.h"

#include <algorithm>
#include <utility>

#include "addin/dialog/linkaddress/ascii.h"

namespace tervane {
namespace {

constexpr char kAnyRun = '*';
constexpr char kAnyOne = '?';

// The index after the UTF-8 character that starts at `i`, so that "?" and
// the run of "*" never stop inside a character.
std::size_t NextCharacter(std::string_view name, std::size_t i) {
  ++i;
  while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// "*" followed by literal text only, the form of every kind pattern.
bool IsSuffixPattern(std::string_view pattern) {
  return pattern.size() > 1 && pattern.front() == kAnyRun &&
         pattern.find_first_of("*?", 1) == std::string_view::npos;
}

bool EndsWithIgnoringAsciiCase(std::string_view name, std::string_view lowerSuffix) {
  return name.size() >= lowerSuffix.size() &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - lowerSuffix.size()), lowerSuffix);
}

// Wildcard match that backtracks only to the last "*": linear in the name
// for the common patterns, never worse than name times pattern.
bool WildcardMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t afterStar = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == kAnyRun) {
      afterStar = ++p;
      starName = n;
    } else if (p < pattern.size() && pattern[p] == kAnyOne) {
      ++p;
      n = NextCharacter(name, n);
    } else if (p < pattern.size() && pattern[p] == ToLowerAscii(name[n])) {
      ++p;
      ++n;
    } else if (afterStar != std::string_view::npos) {
      p = afterStar;
      starName = NextCharacter(name, starName);
      n = starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == kAnyRun) ++p;
  return p == pattern.size();
}

}  // namespace

std::string ListPattern(const std::array<bool, 4>& ticked) {
  std::string pattern;
  for (std::size_t i = 0; i < ticked.size(); ++i) {
    if (!ticked[i]) continue;
    if (!pattern.empty()) pattern += ';';
    pattern += kFilterPatterns[i];
  }
  return pattern.empty() ? "*.*" : pattern;
}

FilePattern::FilePattern(std::string_view listPattern) {
  while (true) {
    const std::size_t end = listPattern.find(';');
    std::string alternative;
    for (const char c : listPattern.substr(0, end)) {
      if (c == kAnyRun && !alternative.empty() && alternative.back() == kAnyRun) continue;
      alternative += ToLowerAscii(c);
    }
    // "*.*" lists every file, also one whose name has no dot.
    if (alternative == "*.*") alternative = "*";
    alternatives_.push_back(std::move(alternative));
    if (end == std::string_view::npos) break;
    listPattern.remove_prefix(end + 1);
  }
}

bool FilePattern::Matches(std::string_view name) const {
  return std::any_of(alternatives_.begin(), alternatives_.end(), [name](const std::string& p) {
    if (p.size() == 1 && p.front() == kAnyRun) return true;
    if (IsSuffixPattern(p)) return EndsWithIgnoringAsciiCase(name, std::string_view{p}.substr(1));
    return WildcardMatches(p, name);
  });
}

bool ListOrderLess(std::string_view a, std::string_view b) {
  const auto byte = [](char c) { return static_cast<unsigned char>(c); };
  int tie = 0;  // the first difference of the names as they stand
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char lowerA = ToLowerAscii(a[i]);
    const char lowerB = ToLowerAscii(b[i]);
    if (lowerA != lowerB) return byte(lowerA) < byte(lowerB);
    if (tie == 0 && a[i] != b[i]) tie = byte(a[i]) < byte(b[i]) ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return tie < 0;
}

void SortInListOrder(std::vector<std::string>& names) {
  // Comparing the lower-cased names, then the names as they stand, byte by
  // byte, is the order ListOrderLess describes.
  struct Keyed {
    std::string lower;
    std::string name;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) {
    std::string lower = name;
    for (char& c : lower) c = ToLowerAscii(c);
    keyed.push_back({std::move(lower), std::move(name)});
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (const int order = a.lower.compare(b.lower); order != 0) return order < 0;
    return a.name < b.name;
  });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}

}  // namespace tervane
