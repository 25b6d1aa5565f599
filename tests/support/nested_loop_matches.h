// The reference for existing-link inversion: every link in page order
// against every not yet matched file in list order. Quadratic, and kept that
// way on purpose: LinkMatcher must give exactly its results (the tests) and
// beat it by far (the benchmarks).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tervane {

struct ReferenceLink {
  std::string href;
  std::optional<std::string> written = std::nullopt;
};

using ReferenceMatches = std::vector<std::optional<std::size_t>>;

inline ReferenceMatches NestedLoopMatches(const std::vector<std::string>& files,
                                          const std::vector<ReferenceLink>& links) {
  std::vector<bool> marked(files.size(), false);
  ReferenceMatches matches;
  for (const ReferenceLink& link : links) {
    std::optional<std::size_t> match;
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (marked[i]) continue;
      if (files[i] == link.href || (link.written && files[i] == *link.written)) {
        marked[i] = true;
        match = i;
        break;
      }
    }
    matches.push_back(match);
  }
  return matches;
}

}  // namespace tervane
