#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "addin/platform/filepage/atomic_file.h"
#include "cli/paths.h"
#include "cli/process.h"

extern char** environ;

namespace tervane::cli {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT};

// Removes the hidden copy of the new page, then ends the program as the
// signal would have.
void EndOnSignal(int signal) {
  RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Runs `command` with the shell and waits for it; unlike std::system, signals
// reach this program meanwhile.
void RunShell(const char* command) {
  const char* arguments[] = {"sh", "-c", command, nullptr};
  pid_t child = 0;
  if (::posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(arguments), environ) !=
      0) {
    return;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::vector<std::string> StartProcess(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  // A signal ignored when the program started (nohup, a shell's trap) stays
  // ignored.
  for (const int signal : kEndingSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction ending {};
    ending.sa_handler = EndOnSignal;
    sigemptyset(&ending.sa_mask);
    ::sigaction(signal, &ending, nullptr);
  }
  // What another program does just before the page is replaced, for the
  // tests: a shell command, run with the page's name in $TERVANE_PAGE.
  if (const char* hook = std::getenv("TERVANE_TEST_BEFORE_REPLACE"); hook && *hook) {
    SetBeforeReplaceHook([command = std::string(hook)](const std::string& target) {
      setenv("TERVANE_PAGE", target.c_str(), 1);
      RunShell(command.c_str());
    });
  }
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
