#include "tests/docs/guide_reader.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tervane::guide {
namespace {

constexpr std::string_view kOpen = "「";
constexpr std::string_view kClose = "」";
constexpr std::string_view kFence = "```";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// `line` with its code spans blanked out, so that notation shown as code is
// not read as a quote.
std::string WithoutCodeSpans(std::string_view line) {
  std::string kept;
  bool inCode = false;
  for (const char c : line) {
    if (c == '`') inCode = !inCode;
    kept += inCode || c == '`' ? ' ' : c;
  }
  return kept;
}

void AddQuotes(std::string_view line, int number, std::vector<Quote>& quoted) {
  const std::string text = WithoutCodeSpans(line);
  std::size_t open = text.find(kOpen);
  while (open != std::string::npos) {
    const std::size_t start = open + kOpen.size();
    const std::size_t close = text.find(kClose, start);
    if (close == std::string::npos) {
      quoted.push_back({text.substr(open), number});  // unclosed: never a program text
      return;
    }
    quoted.push_back({text.substr(start, close - start), number});
    open = text.find(kOpen, close + kClose.size());
  }
}

std::vector<std::string> Cells(std::string_view row) {
  row = Trim(row);
  row.remove_prefix(1);
  if (!row.empty() && row.back() == '|') row.remove_suffix(1);
  std::vector<std::string> cells;
  std::size_t from = 0;
  for (std::size_t bar = row.find('|');; bar = row.find('|', from)) {
    cells.emplace_back(Trim(row.substr(from, bar - from)));
    if (bar == std::string_view::npos) break;
    from = bar + 1;
  }
  return cells;
}

}  // namespace

Guide ReadGuide(std::string_view markdown) {
  Guide guide;
  std::istringstream lines{std::string(markdown)};
  std::string line;
  int number = 0;
  bool inFence = false;
  std::string fenceKind;
  std::size_t fenceIndent = 0;
  Quote block;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view trimmed = Trim(line);
    if (trimmed.starts_with(kFence)) {
      if (inFence && fenceKind == "text") guide.messages.push_back(block);
      inFence = !inFence;
      fenceKind = Trim(trimmed.substr(kFence.size()));
      fenceIndent = line.find_first_not_of(' ');
      block = {"", number};
      continue;
    }
    if (inFence) {
      // The fence's own indentation (inside a list item) is not the message's.
      const std::size_t indent = std::min(fenceIndent, line.find_first_not_of(' '));
      const std::string_view content =
          indent < line.size() ? std::string_view(line).substr(indent) : std::string_view{};
      if (fenceKind == "text") {
        if (number > block.line + 1) block.text += "\r\n";
        block.text += content;
      } else if (fenceKind == "html" && !content.empty()) {
        guide.markup.push_back({std::string(content), number});
      }
      continue;
    }
    AddQuotes(line, number, guide.quoted);
    if (trimmed.starts_with('|')) guide.tableRows.push_back(Cells(trimmed));
  }
  return guide;
}

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

}  // namespace tervane::guide
