// `tervane sync`: regenerates the blocks of links a page marks (see
// block_marker.h) from their folders, and adds a block for --folder.
#pragma once

#include <iosfwd>

#include "cli/options.h"

namespace tervane::cli {

/// Writes the page only when a block changes; with --check only says
/// (exit 1) whether one would, with --dry-run prints the change as a diff.
/// A page whose markers cannot be read, or a block whose folder does not
/// exist, fails the whole run (exit 3) and writes nothing.
int RunSync(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tervane::cli
