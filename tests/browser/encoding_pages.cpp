// Writes the page of every row of the encoding table into the folder given,
// and an empty file for each name the rows link to, so that tervane can link
// them and a browser judge the result. Prints each page's file name.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tests/support/page_encoding_rows.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: encoding_pages FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const std::string& name : tervane::testing::EncodingRowNames()) {
    std::ofstream(folder / name, std::ios::binary) << "x";
  }
  for (const tervane::testing::PageEncodingRow& row : tervane::testing::PageEncodingRows()) {
    std::string file = row.what + ".htm";
    for (char& c : file) c = c == ' ' || c == ',' ? '-' : c;
    std::ofstream(folder / file, std::ios::binary) << row.page;
    std::cout << file << '\n';
  }
  return 0;
}
