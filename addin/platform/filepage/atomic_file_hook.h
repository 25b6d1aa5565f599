// What the two replacements share: the moment just before the target is
// compared with what was read.
#pragma once

#include <string>

namespace tervane {

/// Runs the hook SetBeforeReplaceHook set, if any.
void RunBeforeReplaceHook(const std::string& target);

}  // namespace tervane
