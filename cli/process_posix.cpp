#include <csignal>

#include "cli/process.h"

namespace tervane::cli {

std::vector<std::string> StartProcess(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace tervane::cli
