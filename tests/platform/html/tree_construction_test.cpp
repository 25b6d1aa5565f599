// The html5lib tree-construction tests: each case's #data parsed as a whole
// document must dump exactly as its #document. Fragment cases are skipped
// (there is no fragment parsing). A case whose expectation predates the
// current parsing rules goes in kKnownDifferences with the reason; none
// does today, and one listed there that passes fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "addin/platform/html/document.h"
#include "tests/platform/html/tree_dump.h"

namespace tervane::html {
namespace {

struct DatCase {
  std::size_t index = 0;  // 0-based, in file order
  std::string data;
  std::string document;
  bool fragment = false;
  bool scriptingOff = false;
};

// "file.dat:index" -> why our tree differs from the expectation.
const std::map<std::string, std::string> kKnownDifferences = {};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Splits a .dat file into its cases. Sections start with a line "#name";
// #data runs to the line before the next section, #document to the blank
// line that ends the case.
std::vector<DatCase> ParseDat(const std::string& text) {
  std::vector<DatCase> cases;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::size_t i = 0;
  while (i < lines.size()) {
    if (lines[i] != "#data") {
      ++i;
      continue;
    }
    DatCase current;
    current.index = cases.size();
    std::string section = "#data";
    std::vector<std::string> data;
    std::vector<std::string> document;
    for (++i; i < lines.size() && lines[i] != "#data"; ++i) {
      const std::string& line = lines[i];
      const bool header = !line.empty() && line[0] == '#' &&
                          (section != "#data" || line == "#errors" || line == "#new-errors");
      if (header && section != "#document") {
        section = line;
        if (line == "#document-fragment") current.fragment = true;
        if (line == "#script-off") current.scriptingOff = true;
        continue;
      }
      if (section == "#data") data.push_back(line);
      if (section == "#document") document.push_back(line);
    }
    for (std::size_t k = 0; k < data.size(); ++k) {
      if (k != 0) current.data += '\n';
      current.data += data[k];
    }
    while (!document.empty() && document.back().empty()) document.pop_back();
    for (const std::string& line : document) current.document += line + '\n';
    cases.push_back(std::move(current));
  }
  return cases;
}

std::vector<std::string> DatFiles() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(TERVANE_HTML5LIB_TREE_TESTS, error)) {
    if (entry.path().extension() == ".dat") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class TreeConstructionTest : public testing::TestWithParam<std::string> {};

TEST_P(TreeConstructionTest, MatchesExpectedTrees) {
  const std::string& file = GetParam();
  const std::vector<DatCase> cases =
      ParseDat(ReadFile(std::filesystem::path(TERVANE_HTML5LIB_TREE_TESTS) / file));
  ASSERT_FALSE(cases.empty());
  std::size_t passed = 0;
  std::size_t skipped = 0;
  std::size_t known = 0;
  for (const DatCase& dat : cases) {
    if (dat.fragment) {
      ++skipped;
      continue;
    }
    const std::string name = file + ":" + std::to_string(dat.index);
    const std::string tree = DumpTree(Parse(dat.data, {.scripting = !dat.scriptingOff}).document);
    const bool isKnown = kKnownDifferences.count(name) != 0;
    if (tree == dat.document) {
      ++passed;
      EXPECT_FALSE(isKnown) << name << " passes now: drop it from kKnownDifferences";
    } else if (isKnown) {
      ++known;
    } else {
      ADD_FAILURE() << name << "\n#data\n"
                    << dat.data << "\n#expected\n"
                    << dat.document << "#actual\n"
                    << tree;
    }
  }
  std::cout << file << ": " << passed << " passed, " << skipped << " skipped (fragment), " << known
            << " known differences, of " << cases.size() << "\n";
}

std::string FileTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Html5lib, TreeConstructionTest, testing::ValuesIn(DatFiles()),
                         FileTestName);

TEST(TreeConstructionFiles, AreInstalled) {
  EXPECT_FALSE(DatFiles().empty()) << "install golang-golang-x-net-dev (scripts/install-deps)";
}

}  // namespace
}  // namespace tervane::html
