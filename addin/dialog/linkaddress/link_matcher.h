// Existing-link inversion, in time linear in links plus files. It gives
// exactly the result of comparing every link, in page order, with every not
// yet matched file, in list order: a link matches the first unmatched file
// whose address equals it, and a file is matched at most once.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tervane {

class LinkMatcher {
 public:
  /// `fileAddresses[i]` is the address a link to listed file i carries.
  explicit LinkMatcher(const std::vector<std::string>& fileAddresses);

  /// Matches one link. `href` is its address as the editor reports it;
  /// `written`, when the editor reports a different form, the address as
  /// written in the page: a file matches when its address equals either.
  /// Returns the index of the matched file, or nullopt.
  std::optional<std::size_t> Match(std::string_view href,
                                   std::optional<std::string_view> written = std::nullopt);

 private:
  std::unordered_map<std::string_view, std::deque<std::size_t>> unmatched_;
  std::vector<std::string> addresses_;
};

}  // namespace tervane
