// `tervane sync`: regenerates the blocks of links a page marks (see
// block_marker.h) from their folders, and adds a block for --folder.
#pragma once

#include <iosfwd>
#include <string>

#include "addin/platform/filepage/file_page.h"
#include "cli/options.h"

namespace tervane::cli {

/// The bytes `page` has once its blocks are in step with their folders (the
/// same bytes when they are), from the page's text alone: a run that finds
/// the page changed under it can read it again and call this again. Returns
/// the exit code, after saying why on `err` when it is not 0; warnings go to
/// `err` too.
int BringInStep(const Options& options, FilePage& page, std::string& updated, std::ostream& err);

/// Writes the page only when a block changes; with --check only says
/// (exit 1) whether one would, with --dry-run prints the change as a diff.
/// A page whose markers cannot be read, or a block whose folder does not
/// exist, fails the whole run (exit 3) and writes nothing.
int RunSync(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tervane::cli
