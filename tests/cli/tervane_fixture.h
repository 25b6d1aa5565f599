// Runs the real `tervane` in a temporary folder and captures what it says.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tervane::testing {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class TervaneTest : public ::testing::Test {
 protected:
  // `shell` runs first, in the same shell: limits and traps for the program.
  // TERVANE_WRAPPER, when set, runs the program under a checker (valgrind).
  Result Run(const std::vector<std::string>& args, const std::string& shell = "") {
    const char* wrapper = std::getenv("TERVANE_WRAPPER");
    std::string command = "cd " + Quote(dir.Path().string()) + " && " + shell + " " +
                          (wrapper ? wrapper : "") + " " + Quote(TERVANE_BINARY);
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(io / "out") + " 2>" + Quote(io / "err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::Read(io / "out"),
            TempDir::Read(io / "err")};
  }
  // A page that says it is UTF-8, as pages with names outside ASCII must for
  // those names to go in as they are.
  static std::string Page(const std::string& body,
                          const std::string& head = "<meta charset=\"utf-8\"><title>T</title>") {
    return "<!DOCTYPE html>\n<html><head>" + head + "</head>\n<body>\n" + body +
           "\n</body>\n</html>\n";
  }
  void Images(const std::string& folder, std::initializer_list<const char*> names) {
    for (const char* name : names) dir.Write(folder + "/" + name, "img");
  }

  TempDir dir;
  TempDir io;
};

}  // namespace tervane::testing
