// Runs one `tervane` command on the link builder dialog: loads it on the
// page, sets the controls as the options say, presses the buttons, and turns
// the message boxes into text.
#pragma once

#include <iosfwd>

#include "cli/options.h"
#include "cli/session.h"

namespace tervane::cli {

/// Information boxes go to `out`, error boxes and failures to `err`.
int Run(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tervane::cli
