// Prints, for each page named on the command line, what the page stand-in
// reads in it: one JSON line with the file's name, the title and the link
// addresses. The bytes are read as UTF-8, as a browser told so would.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "addin/platform/filepage/page_outline.h"

namespace {

void PrintJsonString(const std::string& text) {
  std::cout << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      std::cout << '\\' << c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      std::cout << "\\u00" << kHex[byte >> 4] << kHex[byte & 15];
    } else {
      std::cout << c;
    }
  }
  std::cout << '"';
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const tervane::PageOutline outline = tervane::ReadPageOutline(tervane::Charset::kUtf8, bytes);
    const std::string path = argv[i];
    std::cout << "{\"name\":";
    PrintJsonString(path.substr(path.find_last_of('/') + 1));
    std::cout << ",\"title\":";
    PrintJsonString(outline.title);
    std::cout << ",\"links\":[";
    for (std::size_t l = 0; l < outline.linkHrefs.size(); ++l) {
      if (l > 0) std::cout << ',';
      PrintJsonString(outline.linkHrefs[l]);
    }
    std::cout << "]}\n";
  }
  return 0;
}
