#include "addin/dialog/linkaddress/picture_order.h"

#include <algorithm>
#include <numeric>

#include "addin/dialog/linkaddress/ascii.h"
#include "addin/dialog/linkaddress/list_pattern.h"

namespace tervane {
namespace {

constexpr std::string_view kNames[] = {"name", "natural", "taken", "modified"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// -1, 0 or 1 as the names compare with digit runs by value and other bytes
// lower-cased, as the list compares them.
int NaturalCompare(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t endA = i, endB = j;
      while (endA < a.size() && IsDigit(a[endA])) ++endA;
      while (endB < b.size() && IsDigit(b[endB])) ++endB;
      std::size_t startA = i, startB = j;
      while (startA + 1 < endA && a[startA] == '0') ++startA;
      while (startB + 1 < endB && b[startB] == '0') ++startB;
      const std::string_view valueA = a.substr(startA, endA - startA);
      const std::string_view valueB = b.substr(startB, endB - startB);
      if (valueA.size() != valueB.size()) return valueA.size() < valueB.size() ? -1 : 1;
      if (const int order = valueA.compare(valueB); order != 0) return order < 0 ? -1 : 1;
      i = endA;
      j = endB;
      continue;
    }
    // A number compares with another character as its first digit would.
    const auto lowerA = static_cast<unsigned char>(IsDigit(a[i]) ? '0' : ToLowerAscii(a[i]));
    const auto lowerB = static_cast<unsigned char>(IsDigit(b[j]) ? '0' : ToLowerAscii(b[j]));
    if (lowerA != lowerB) return lowerA < lowerB ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

std::string_view PictureOrderName(PictureOrder order) {
  return kNames[static_cast<std::size_t>(order)];
}

std::optional<PictureOrder> PictureOrderFromName(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (name == kNames[i]) return static_cast<PictureOrder>(i);
  }
  return std::nullopt;
}

bool NaturalOrderLess(std::string_view a, std::string_view b) {
  if (const int order = NaturalCompare(a, b); order != 0) return order < 0;
  return ListOrderLess(a, b);
}

std::optional<std::string> TimeKey(std::string_view date) {
  // "YYYY:MM:DD HH:MM:SS", digits where the form has them.
  static constexpr std::string_view kForm = "dddd:dd:dd dd:dd:dd";
  if (date.size() < kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    if (kForm[i] == 'd' ? !IsDigit(date[i]) : date[i] != kForm[i]) return std::nullopt;
  }
  const std::string_view rest = date.substr(kForm.size());
  if (!rest.empty() &&
      (rest[0] != '.' || rest.size() < 2 || !std::all_of(rest.begin() + 1, rest.end(), IsDigit))) {
    return std::nullopt;
  }
  if (date.starts_with("0000")) return std::nullopt;
  return std::string(date);
}

std::vector<std::size_t> ArrangedOrder(const std::vector<std::string>& names, PictureOrder order,
                                       bool reverse, const std::vector<std::string>& times) {
  std::vector<std::size_t> indexes(names.size());
  std::iota(indexes.begin(), indexes.end(), std::size_t{0});
  switch (order) {
    case PictureOrder::kName:
      break;
    case PictureOrder::kNatural:
      std::stable_sort(indexes.begin(), indexes.end(), [&](std::size_t x, std::size_t y) {
        return NaturalCompare(names[x], names[y]) < 0;
      });
      break;
    case PictureOrder::kTaken:
    case PictureOrder::kModified:
      std::stable_sort(indexes.begin(), indexes.end(),
                       [&](std::size_t x, std::size_t y) { return times[x] < times[y]; });
      break;
  }
  if (reverse) std::reverse(indexes.begin(), indexes.end());
  return indexes;
}

}  // namespace tervane
