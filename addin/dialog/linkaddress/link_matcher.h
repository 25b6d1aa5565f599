// Existing-link inversion, in time linear in links plus files. It gives
// exactly the result of comparing every link, in page order, with every not
// yet matched file, in list order: a link matches the first unmatched file
// whose address equals it, and a file is matched at most once.
#pragma once

#include <cstddef>
#include <functional>
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
  struct AddressHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view address) const {
      return std::hash<std::string_view>{}(address);
    }
  };
  std::size_t TakeFirst(std::string_view address);

  // Per address, the first unmatched file that carries it; next_[i], the
  // next file after i with the same address (SIZE_MAX after the last).
  std::unordered_map<std::string, std::size_t, AddressHash, std::equal_to<>> first_;
  std::vector<std::size_t> next_;
};

}  // namespace tervane
