#include "addin/dialog/linkaddress/link_matcher.h"

#include <cstdint>

namespace tervane {
namespace {

constexpr std::size_t kNone = SIZE_MAX;

}  // namespace

LinkMatcher::LinkMatcher(const std::vector<std::string>& fileAddresses)
    : next_(fileAddresses.size(), kNone) {
  // Walking the list backwards puts each file in front of the later ones
  // with the same address.
  for (std::size_t i = fileAddresses.size(); i-- > 0;) {
    auto [entry, inserted] = first_.try_emplace(fileAddresses[i], i);
    if (!inserted) {
      next_[i] = entry->second;
      entry->second = i;
    }
  }
}

std::size_t LinkMatcher::TakeFirst(std::string_view address) {
  const auto entry = first_.find(address);
  if (entry == first_.end() || entry->second == kNone) return kNone;
  const std::size_t index = entry->second;
  entry->second = next_[index];
  return index;
}

std::optional<std::size_t> LinkMatcher::Match(std::string_view href,
                                              std::optional<std::string_view> written) {
  const auto firstUnmatched = [this](std::string_view address) {
    const auto entry = first_.find(address);
    return entry == first_.end() ? kNone : entry->second;
  };
  // Of the files that carry either address, list order reaches the earlier
  // one first.
  std::string_view address = href;
  if (written && firstUnmatched(*written) < firstUnmatched(href)) address = *written;
  const std::size_t index = TakeFirst(address);
  if (index == kNone) return std::nullopt;
  return index;
}

}  // namespace tervane
