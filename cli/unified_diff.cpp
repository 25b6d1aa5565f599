#include "cli/unified_diff.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace tervane::cli {
namespace {

constexpr std::size_t kContext = 3;

// Each line with its "\n", so that a last line without one differs from the
// same text with one, as diff compares them.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end == std::string_view::npos ? end : end + 1));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

struct Step {
  char kind;  // ' ', '-' or '+'
  std::string_view line;
};

std::string Range(std::size_t start, std::size_t count) {
  // An empty range names the line before it, and a range of one line is
  // its number alone, as diff writes them.
  if (count == 1) return std::to_string(start + 1);
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

}  // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view label) {
  if (before == after) return {};
  const std::vector<std::string_view> old = Lines(before);
  const std::vector<std::string_view> now = Lines(after);
  const std::unordered_set<std::string_view> inOld(old.begin(), old.end());
  const std::unordered_set<std::string_view> inNow(now.begin(), now.end());

  std::vector<Step> steps;
  std::size_t i = 0, j = 0;
  while (i < old.size() || j < now.size()) {
    if (i < old.size() && j < now.size() && old[i] == now[j]) {
      steps.push_back({' ', old[i++]});
      ++j;
    } else if (j < now.size() &&
               (i == old.size() || (inOld.count(now[j]) == 0 && inNow.count(old[i]) > 0))) {
      steps.push_back({'+', now[j++]});
    } else {
      steps.push_back({'-', old[i++]});
    }
  }

  std::string diff = "--- " + std::string(label) + "\n+++ " + std::string(label) + "\n";
  std::size_t s = 0;
  std::size_t oldLine = 0, newLine = 0;  // lines before steps[s]
  while (s < steps.size()) {
    // The next change, and the hunk around it: changes closer than twice
    // the context join one hunk.
    std::size_t change = s;
    while (change < steps.size() && steps[change].kind == ' ') ++change;
    if (change == steps.size()) break;
    const std::size_t begin = change - std::min(kContext, change - s);
    oldLine += begin - s;
    newLine += begin - s;
    std::size_t end = change;
    for (std::size_t quiet = 0; end < steps.size() && quiet <= 2 * kContext; ++end) {
      quiet = steps[end].kind == ' ' ? quiet + 1 : 0;
      if (quiet > 2 * kContext) break;
    }
    while (end > change && steps[end - 1].kind == ' ') --end;
    end = std::min(steps.size(), end + kContext);
    std::size_t oldCount = 0, newCount = 0;
    std::string body;
    for (std::size_t k = begin; k < end; ++k) {
      if (steps[k].kind != '+') ++oldCount;
      if (steps[k].kind != '-') ++newCount;
      body += steps[k].kind;
      body += steps[k].line;
      if (!steps[k].line.ends_with('\n')) body += "\n\\ No newline at end of file\n";
    }
    diff += "@@ -" + Range(oldLine, oldCount) + " +" + Range(newLine, newCount) + " @@\n" + body;
    oldLine += oldCount;
    newLine += newCount;
    s = end;
  }
  return diff;
}

}  // namespace tervane::cli
