#include "addin/platform/filepage/atomic_file.h"

#include <utility>

#include "addin/platform/filepage/atomic_file_hook.h"

namespace tervane {

namespace {

// Set before any replacement starts, by the program's start or a test.
std::function<void(const std::string&)> beforeReplace;

}  // namespace

void SetBeforeReplaceHook(std::function<void(const std::string& target)> hook) {
  beforeReplace = std::move(hook);
}

void RunBeforeReplaceHook(const std::string& target) {
  if (beforeReplace) beforeReplace(target);
}

}  // namespace tervane
