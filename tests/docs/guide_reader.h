// Reads the Japanese user's guide by its own notation, so that a test can set
// what it quotes beside the program's texts:
//  - a text of the program on one line stands in 「」 (not inside a code
//    span or a fenced block);
//  - a message of several lines is a fenced block marked "text", its lines
//    as the message box shows them;
//  - a piece of markup the add-in writes is a line of a fenced block marked
//    "html".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervane::guide {

struct Quote {
  std::string text;  // a fenced message's lines joined with "\r\n"
  int line = 0;      // where the quote or the fence opens, from 1
};

struct Guide {
  std::vector<Quote> quoted;    // 「」 on one line
  std::vector<Quote> messages;  // ```text blocks
  std::vector<Quote> markup;    // each line of the ```html blocks
  /// The cells of each table row outside fenced blocks, blanks trimmed.
  std::vector<std::vector<std::string>> tableRows;
};

Guide ReadGuide(std::string_view markdown);

/// The whole file; empty when it cannot be read.
std::string ReadFile(const char* path);

}  // namespace tervane::guide
