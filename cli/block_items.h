// What `tervane sync` makes of the lines inside a block: each line that
// links or shows a file of the block's folder is that file's item; a line
// that is not what Tervane would write for its file was edited by hand and
// is kept as it stands; other lines are text of the person's own, kept
// where they stand when their place is still clear.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/codec/text_codec.h"
#include "addin/platform/filepage/page_charset.h"
#include "cli/block_marker.h"
#include "cli/page_ascii.h"

namespace tervane::cli {

/// A file of a block as Tervane writes it.
struct FileItem {
  std::string name;
  /// The link builder's markup, before picture attributes.
  std::string plain;
  /// As written into the block: with them.
  std::string markup;
};

/// A block's files under one set of settings, in list order.
struct BlockFiles {
  BlockSettings settings;
  std::vector<FileItem> items;
};

struct BlockMerge {
  /// The block's new contents, in the page's encoding.
  std::string contents;
  /// Every piece of markup Tervane wrote anew (not the lines kept).
  std::vector<std::string> written;
  /// Items edited by hand whose files are gone: where they stood (offset in
  /// the old contents) and the file's name.
  std::vector<std::pair<std::size_t, std::string>> lostEdits;
  /// Set when the block cannot be merged: where (offset in the old
  /// contents) and why. The caller refuses the run or regenerates.
  std::optional<std::pair<std::size_t, std::string>> refusal;
};

/// The contents of a block brought in step. `before` holds the files as the
/// block's own settings (its start comment as read) list them, and decides
/// what counts as edited; `now` holds them under the settings the block gets.
/// `folderAddress` is the address of the block's folder as its items write
/// it. New lines end in `lineEnd`. With `force` every line is written anew
/// and nothing of the old contents is kept.
BlockMerge MergeBlock(std::string_view contents, const PageEncoding& encoding,
                      std::string_view lineEnd, const BlockFiles& before, const BlockFiles& now,
                      std::string_view folderAddress, bool force);

/// Where a piece of markup links to a file (the href of an a or area
/// element) or shows one (the src of an img element), as the page's parser
/// reads it: nothing in a script, a style, a title and the like.
struct Reference {
  std::size_t offset = 0;  // of the tag
  std::string tag;
  std::string address;
};
std::vector<Reference> ReferencesIn(std::string_view markup);

/// The lines of `text` (in `charset`) end in CR LF, LF or CR alike. Line
/// numbers from 1.
class LineCounter {
 public:
  explicit LineCounter(std::string_view text, Charset charset = Charset::kUtf8)
      : text_(text), ascii_(charset) {}
  /// The line that holds `offset`; offsets asked in any order.
  std::size_t LineAt(std::size_t offset);

 private:
  std::string_view text_;
  PageAscii ascii_;
  std::size_t counted_ = 0, line_ = 1;
};

/// The line end of the line of `text` (in `charset`) that holds `offset`,
/// as the text writes it; when that line has none (the text's last line),
/// the one before; LF when the text has none.
std::string LineEndAt(std::string_view text, std::size_t offset, Charset charset);

}  // namespace tervane::cli
