#include <csignal>
#include <filesystem>
#include <system_error>

#include "cli/process.h"

namespace tervane::cli {

std::vector<std::string> StartProcess(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  return std::vector<std::string>(argv, argv + argc);
}

namespace {

std::filesystem::path FromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

}  // namespace

std::string FullPath(const std::string& path) {
  const std::u8string text =
      std::filesystem::absolute(FromUtf8(path)).lexically_normal().u8string();
  return std::string(text.begin(), text.end());
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(FromUtf8(path), ec);
}

}  // namespace tervane::cli
