#include "cli/sync.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <unordered_map>

#include "addin/platform/codec/lenient_decode.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_editor.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_charset.h"
#include "addin/platform/filepage/page_outline.h"
#include "cli/block_marker.h"
#include "cli/items.h"
#include "cli/session.h"
#include "cli/unified_diff.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(std::string_view path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// As the options make --folder: absolute, lexically normal, no trailing
// separator except for a root.
std::string FolderOf(const fs::path& pageFolder, const std::string& written) {
  const fs::path normal = (pageFolder / FromUtf8(written)).lexically_normal();
  std::string result = ToUtf8(normal);
  const std::size_t root = ToUtf8(normal.root_path()).size();
  while (
      result.size() > root &&
      (result.back() == '/' || result.back() == static_cast<char>(fs::path::preferred_separator))) {
    result.pop_back();
  }
  return result;
}

// `folder` as a block writes it: from the page's folder, with "/".
std::string WrittenFolder(const fs::path& pageFolder, const std::string& folder) {
  const fs::path relative = FromUtf8(folder).lexically_relative(pageFolder);
  return ToUtf8((relative.empty() ? FromUtf8(folder) : relative).generic_u8string());
}

struct Block {
  std::size_t line = 0;
  std::size_t startBegin = 0, startEnd = 0, endBegin = 0;
  BlockSettings settings;
  bool newStart = false;  // the start comment is written anew
  bool added = false;     // the whole block is new, at startBegin
  std::string folder;     // absolute
};

class SyncFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The blocks the comments of `page` mark, in the order of the bytes. Throws
// SyncFailure "<line>: ..." for an unbalanced, nested or unreadable marker.
std::vector<Block> FindBlocks(FilePage& page, const std::string& bytes) {
  std::vector<Block> blocks;
  std::optional<Block> open;
  std::size_t line = 1, counted = 0;
  for (const PageComment& comment : page.Comments()) {
    if (bytes.compare(comment.offset, 4, "<!--") != 0) continue;  // <!x>, <?x>, </3>
    const Marker marker = ReadMarker(comment.text);
    if (marker.kind == Marker::Kind::kNone) continue;
    line += std::count(bytes.begin() + counted, bytes.begin() + comment.offset, '\n');
    counted = comment.offset;
    const std::string at = std::to_string(line) + ": ";
    if (marker.kind == Marker::Kind::kEnd) {
      if (!open) throw SyncFailure(at + "a block end (<!-- /tervane -->) without a start");
      open->endBegin = comment.offset;
      blocks.push_back(*open);
      open.reset();
      continue;
    }
    if (open) {
      throw SyncFailure(at + "a block starts inside the block of line " +
                        std::to_string(open->line) + " (blocks do not nest)");
    }
    if (!marker.settings)
      throw SyncFailure(at + "cannot read the block's settings: " + marker.problem);
    // The comment ends at the first "-->" or "--!>", as the parser read it.
    const std::size_t close =
        std::min(bytes.find("-->", comment.offset + 4), bytes.find("--!>", comment.offset + 4));
    Block block;
    block.line = line;
    block.startBegin = comment.offset;
    block.startEnd = close == std::string::npos
                         ? bytes.size()
                         : close + (bytes.compare(close, 3, "-->") == 0 ? 3 : 4);
    block.settings = *marker.settings;
    open = block;
  }
  if (open) {
    throw SyncFailure(std::to_string(open->line) +
                      ": the block that starts here has no end (<!-- /tervane -->)");
  }
  return blocks;
}

// The markup of each block's files, as `link --mode ...` would write it.
std::vector<std::vector<std::string>> BlockMarkup(FilePage& page, const std::vector<Block>& blocks,
                                                  std::ostream& out, std::ostream& err, int& code) {
  FileEditor editor(&page);
  editor.SetRecordOnly(true);
  Session session(editor);
  frmCOMAddIn& dialog = session.Dialog();
  dialog.Show();
  std::vector<std::vector<std::string>> markup;
  for (const Block& block : blocks) {
    const BlockSettings& s = block.settings;
    ApplySettings({s.kinds, block.folder, std::nullopt, s.mode}, session.Controls());
    // The button selects all unless all are selected, as the last block may
    // have left them.
    FileListBox& list = *session.Controls().File1;
    for (std::size_t i = 0; i < list.ListCount(); ++i) list.SetSelected(i, false);
    dialog.SelectAllBtn_Click();
    std::vector<std::string> names = SelectedNames(*session.Controls().File1);
    const std::size_t before = editor.RecordedInsertions().size();
    session.TakeBoxes();
    dialog.OKButton_Click();
    std::vector<MessageBoxRequest> boxes = session.TakeBoxes();
    std::erase_if(boxes, [](const MessageBoxRequest& box) { return box.icon != MsgIcon::kStop; });
    if (!boxes.empty()) {
      code = ReportBoxes(boxes, dialog, out, err);
      return {};
    }
    const std::vector<std::string>& recorded = editor.RecordedInsertions();
    std::vector<std::string> pieces(recorded.begin() + static_cast<std::ptrdiff_t>(before),
                                    recorded.end());
    if (s.size || s.alt) {
      AddPictureAttributes(pieces, names, session.Controls().Dir1->Path(), s.size, s.alt);
    }
    ArrangeItems(pieces, names, session.Controls().Dir1->Path(),
                 {s.lazy, s.className, s.sort, s.reverse});
    markup.push_back(std::move(pieces));
  }
  return markup;
}

// The address of the link a piece of the link builder's markup makes, if it
// makes one: the piece starts with <a href="...">, the value escaped.
std::optional<std::string> LinkOf(std::string_view piece) {
  static constexpr std::string_view kStart = "<a href=\"";
  if (!piece.starts_with(kStart)) return std::nullopt;
  const std::string_view value =
      piece.substr(kStart.size(), piece.find('"', kStart.size()) - kStart.size());
  static constexpr std::pair<std::string_view, char> kReferences[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string href;
  for (std::size_t i = 0; i < value.size(); ++i) {
    bool replaced = false;
    for (const auto& [reference, c] : kReferences) {
      if (value.substr(i).starts_with(reference)) {
        href += c;
        i += reference.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) href += value[i];
  }
  return href;
}

// Whether the written page still holds every block and every generated link
// as a link: a block inside a select or an SVG drawing, say, would lose them.
bool KeepsTheBlocks(Charset charset, std::string_view page, std::size_t blockCount,
                    const std::vector<std::vector<std::string>>& markup) {
  const PageOutline outline = ReadPageOutline(charset, page);
  std::size_t starts = 0, ends = 0;
  for (const PageComment& comment : outline.comments) {
    if (page.compare(comment.offset, 4, "<!--") != 0) continue;
    const Marker::Kind kind = ReadMarker(comment.text).kind;
    starts += kind == Marker::Kind::kStart;
    ends += kind == Marker::Kind::kEnd;
  }
  if (starts != blockCount || ends != blockCount) return false;
  std::unordered_map<std::string, long> missing;
  for (const std::vector<std::string>& pieces : markup) {
    for (const std::string& piece : pieces) {
      if (std::optional<std::string> href = LinkOf(piece)) ++missing[std::move(*href)];
    }
  }
  for (const std::string& href : outline.linkHrefs) {
    if (const auto found = missing.find(href); found != missing.end()) --found->second;
  }
  return std::all_of(missing.begin(), missing.end(), [](const auto& e) { return e.second <= 0; });
}

}  // namespace

int RunSync(const Options& options, std::ostream& out, std::ostream& err) {
  std::optional<PageLock> lock;
  const bool writes = !options.dryRun && !options.check;
  if (writes) {
    if (const int code = HoldPage(options.page, lock, err); code != kExitDone) return code;
  }
  std::unique_ptr<FilePage> page;
  try {
    page = FilePage::Open(options.page);
  } catch (const std::exception& e) {
    err << "tervane: cannot read " << options.page << ": " << e.what() << '\n';
    return kExitPage;
  }
  const std::string original = page->Contents();
  const fs::path pageFolder = FromUtf8(options.page).parent_path();
  const std::string where = "tervane: " + options.page + ":";

  std::vector<Block> blocks;
  try {
    blocks = FindBlocks(*page, original);
  } catch (const SyncFailure& failure) {
    err << where << failure.what() << '\n';
    return kExitPage;
  }
  for (Block& block : blocks) block.folder = FolderOf(pageFolder, block.settings.folder);

  if (options.folder) {
    BlockSettings given{WrittenFolder(pageFolder, *options.folder),
                        options.kinds,
                        options.mode,
                        options.size,
                        options.alt,
                        options.sort,
                        options.reverse,
                        options.lazy,
                        options.className};
    const auto same = std::find_if(blocks.begin(), blocks.end(),
                                   [&](const Block& b) { return b.folder == *options.folder; });
    if (same == blocks.end()) {
      Block block;
      block.startBegin = block.startEnd = block.endBegin = page->InsertionOffset();
      block.settings = given;
      block.added = true;
      block.folder = *options.folder;
      blocks.push_back(block);
    } else if (given.folder = same->settings.folder; !(given == same->settings)) {
      same->settings = given;
      same->newStart = true;
    }
  }
  if (blocks.empty()) {
    err << "tervane: " << options.page
        << " has no block (<!-- tervane folder=\"...\" --> ... <!-- /tervane -->); give --folder "
           "to add one\n";
    return kExitPage;
  }
  for (const Block& block : blocks) {
    std::error_code ec;
    if (!fs::is_directory(FromUtf8(block.folder), ec)) {
      err << where << block.line << ": the block's folder does not exist: " << block.settings.folder
          << '\n';
      return kExitPage;
    }
  }

  int code = kExitDone;
  const std::vector<std::vector<std::string>> markup = BlockMarkup(*page, blocks, out, err, code);
  if (code != kExitDone) return code;

  // The new bytes: each block's contents, one piece a line, in the line
  // breaks the page uses.
  const std::size_t firstBreak = original.find('\n');
  const std::string nl =
      firstBreak != std::string::npos && firstBreak > 0 && original[firstBreak - 1] == '\r' ? "\r\n"
                                                                                            : "\n";
  const Charset charset = page->PageCharset();
  std::string updated;
  try {
    std::size_t copied = 0;
    std::vector<std::size_t> order(blocks.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return blocks[a].startBegin < blocks[b].startBegin;
    });
    for (const std::size_t i : order) {
      const Block& block = blocks[i];
      if (block.startBegin < copied) {
        err << where << blocks[i].line << ": the block holds the end of the body, where --folder "
            << "would add its own\n";
        return kExitPage;
      }
      std::string contents = nl;
      for (const std::string& piece : markup[i]) contents += piece + nl;
      const std::string encoded = EncodeForPage(charset, contents);
      updated.append(original, copied, block.startBegin - copied);
      if (block.newStart || block.added) {
        updated += EncodeForPage(charset, "<!--" + StartMarkerText(block.settings) + "-->");
      } else {
        updated.append(original, block.startBegin, block.startEnd - block.startBegin);
      }
      updated += encoded;
      if (block.added) updated += "<!--" + std::string(kEndMarkerText) + "-->" + nl;
      copied = block.added ? block.startBegin : block.endBegin;
    }
    updated.append(original, copied);
  } catch (const Error& e) {
    err << "tervane: cannot write " << options.page << ": " << e.what() << '\n';
    return kExitPage;
  }

  if (updated == original) return kExitDone;
  const PageEncoding encoding = DetectPageEncoding(original);
  if (!KeepsTheBlocks(charset, std::string_view(updated).substr(encoding.bomLength), blocks.size(),
                      markup)) {
    err << "tervane: cannot write " << options.page
        << ": a block lies where its links would not be links (inside a select, a title, a "
           "script or a similar element)\n";
    return kExitPage;
  }
  if (options.check) {
    err << "tervane: " << options.page << " is out of step with its folders\n";
    return kExitOutOfStep;
  }
  if (options.dryRun) {
    out << UnifiedDiff(
        DecodeLenient(charset, std::string_view(original).substr(encoding.bomLength)),
        DecodeLenient(charset, std::string_view(updated).substr(encoding.bomLength)), options.page);
    return kExitDone;
  }
  try {
    ReplaceFileAtomically(page->Path(), updated);
  } catch (const std::exception& e) {
    err << "tervane: cannot write " << options.page << ": " << e.what() << '\n';
    return kExitPage;
  }
  return kExitDone;
}

}  // namespace tervane::cli
