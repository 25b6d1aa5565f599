// The difference between two texts as a unified diff (diff -u), line by line.
#pragma once

#include <string>
#include <string_view>

namespace tervane::cli {

/// The hunks that turn `before` into `after`, with three lines of context,
/// under "--- label" and "+++ label"; empty when the texts are equal. Lines
/// are matched in one pass: a line of `before` that `after` does not hold is
/// removed, a line of `after` that `before` does not hold is added, so lists
/// that only gain and lose lines (a block of links) give the shortest diff,
/// in time linear in the texts.
std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view label);

}  // namespace tervane::cli
