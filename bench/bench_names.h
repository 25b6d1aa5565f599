// Names of material files as a big folder holds them: mixed letter case,
// Japanese names, the four kinds and a few other files, always the same for
// a given count so that runs compare.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tervane::bench {

/// `count` distinct file names; about one in ten is neither a picture nor a
/// shortcut (so that a pattern has something to reject) when `others` is set.
std::vector<std::string> MaterialNames(std::size_t count, bool others);

/// The folder of material the benchmarks link to, and the page base location.
inline constexpr char kMaterialFolder[] = "/srv/www/site/material/2024 夏";
inline constexpr char kBaseLocation[] = "/srv/www/site/pages";

}  // namespace tervane::bench
