#include "cli/sync.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <unordered_map>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/platform/codec/lenient_decode.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_editor.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_charset.h"
#include "addin/platform/filepage/page_outline.h"
#include "cli/block_items.h"
#include "cli/block_marker.h"
#include "cli/items.h"
#include "cli/page_ascii.h"
#include "cli/paths.h"
#include "cli/session.h"
#include "cli/site.h"
#include "cli/unified_diff.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

// `folder` as a block writes it: from the page's folder, with "/".
std::string WrittenFolder(const fs::path& pageFolder, const std::string& folder) {
  const fs::path relative = FromUtf8(folder).lexically_relative(pageFolder);
  return ToUtf8((relative.empty() ? FromUtf8(folder) : relative).generic_u8string());
}

struct Block {
  std::size_t line = 0;
  std::size_t startBegin = 0, startEnd = 0, endBegin = 0;
  /// The settings as the start comment holds them; nullopt for a new block.
  std::optional<BlockSettings> read;
  BlockSettings settings;
  std::string folder;  // absolute
};

// A failure of the run, with the line of the page it concerns.
class SyncFailure : public std::runtime_error {
 public:
  SyncFailure(std::size_t line, const std::string& what, int code = kExitPage)
      : std::runtime_error(std::to_string(line) + ": " + what), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// The blocks the comments of `page` mark, in the order of the bytes.
std::vector<Block> FindBlocks(FilePage& page, const std::string& bytes, LineCounter& lines) {
  const PageAscii ascii(page.PageCharset());
  std::vector<Block> blocks;
  std::optional<Block> open;
  for (const PageComment& comment : page.Comments()) {
    if (!ascii.At(bytes, comment.offset, "<!--")) continue;  // <!x>, <?x>, </3>
    const Marker marker = ReadMarker(comment.text);
    if (marker.kind == Marker::Kind::kNone) continue;
    const std::size_t line = lines.LineAt(comment.offset);
    // Browsers keep neither a template's contents in the page nor links
    // directly in a table, which they move in front of it.
    if (comment.inTemplate) {
      throw SyncFailure(line, "a block inside a template is no part of the page: move it out");
    }
    if (comment.inTable) {
      throw SyncFailure(line,
                        "a block directly inside a table: browsers would move its links in front "
                        "of the table; put it in a cell or outside the table");
    }
    if (marker.kind == Marker::Kind::kEnd) {
      if (!open) throw SyncFailure(line, "a block end (<!-- /tervane -->) without a start");
      open->endBegin = comment.offset;
      blocks.push_back(*open);
      open.reset();
      continue;
    }
    if (open) {
      throw SyncFailure(line, "a block starts inside the block of line " +
                                  std::to_string(open->line) + " (blocks do not nest)");
    }
    if (!marker.settings) {
      throw SyncFailure(line, "cannot read the block's settings: " + marker.problem);
    }
    // The comment ends at the first "-->" or "--!>", as the parser read it.
    const std::size_t text = comment.offset + 4 * ascii.Width();
    const std::size_t close =
        std::min(ascii.Find(bytes, "-->", text), ascii.Find(bytes, "--!>", text));
    Block block;
    block.line = line;
    block.startBegin = comment.offset;
    block.startEnd = close == std::string::npos
                         ? bytes.size()
                         : close + ascii.Width() * (ascii.At(bytes, close, "-->") ? 3 : 4);
    block.read = block.settings = *marker.settings;
    open = block;
  }
  if (open)
    throw SyncFailure(open->line, "the block that starts here has no end (<!-- /tervane -->)");
  return blocks;
}

// The link builder, loaded once on the page, makes the markup of a block's
// files under given settings, as `link --mode ...` would write it.
class Generator {
 public:
  Generator(FilePage& page, const Site& site)
      : editor_(&page), session_(editor_, &site), site_(site) {
    editor_.SetRecordOnly(true);
    session_.Dialog().Show();
  }

  /// The files; nullopt (with `code` set, after saying why) on a failure.
  std::optional<std::vector<FileItem>> Files(const Block& block, const BlockSettings& s,
                                             ThumbnailWork work, const std::string& where,
                                             std::ostream& err, int& code) {
    frmCOMAddIn& dialog = session_.Dialog();
    ApplySettings({s.kinds, block.folder, std::nullopt, s.mode}, session_.Controls());
    // The button selects all unless all are selected, as the last block may
    // have left them.
    FileListBox& list = *session_.Controls().File1;
    for (std::size_t i = 0; i < list.ListCount(); ++i) list.SetSelected(i, false);
    dialog.SelectAllBtn_Click();
    const std::vector<std::string> names = SelectedNames(list);
    const std::size_t before = editor_.RecordedInsertions().size();
    session_.TakeBoxes();
    dialog.OKButton_Click();
    ReportScriptShortcuts(dialog, err);
    std::vector<MessageBoxRequest> boxes = session_.TakeBoxes();
    std::erase_if(boxes, [](const MessageBoxRequest& box) { return box.icon != MsgIcon::kStop; });
    if (!boxes.empty()) {
      // The failure concerns this block: its line goes with it.
      for (const MessageBoxRequest& box : boxes) err << AsLines(box.text);
      if (!dialog.LastFailure().empty()) {
        err << where << block.line << ": " << dialog.LastFailure() << '\n';
      }
      code = kExitPage;
      return std::nullopt;
    }
    const std::vector<std::string>& recorded = editor_.RecordedInsertions();
    std::vector<std::string> markup(recorded.begin() + static_cast<std::ptrdiff_t>(before),
                                    recorded.end());
    markup.resize(std::min(markup.size(), names.size()));
    std::map<std::string, std::string, std::less<>> plain;
    for (std::size_t i = 0; i < markup.size(); ++i) plain.emplace(names[i], markup[i]);
    const std::string& folder = session_.Controls().Dir1->Path();
    // A thumbnail brings its own size.
    if (s.thumbs) AddThumbnails(markup, names, folder, *s.thumbs, work, err, &site_);
    if (s.size || s.alt) {
      AddPictureAttributes(markup, names, folder, s.size && !s.thumbs, s.alt, &site_);
    }
    std::vector<std::string> arranged = names;
    arranged.resize(markup.size());
    ArrangeItems(markup, arranged, folder, {s.lazy, s.className, s.sort, s.reverse}, &site_);
    std::vector<FileItem> items;
    for (std::size_t i = 0; i < markup.size(); ++i) {
      items.push_back({arranged[i], plain[arranged[i]], markup[i]});
    }
    return items;
  }

  /// The address of the folder of the last Files() as its items write it.
  std::string FolderAddressOfFiles() {
    const DialogControls& c = session_.Controls();
    return FolderAddress(c.Dir1->Path(), c.Location->Text(), session_.Style());
  }

 private:
  FileEditor editor_;
  Session session_;
  const Site& site_;
};

// Names on disk the file list leaves out because they are not UTF-8: their
// files get no item, and a link the block had to one is removed.
void WarnOfNamesNotUtf8([[maybe_unused]] const Block& block,
                        [[maybe_unused]] const std::string& where,
                        [[maybe_unused]] std::ostream& err) {
#ifndef _WIN32
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(FromUtf8(block.folder), ec)) {
    const std::string name = entry.path().filename().native();
    if (IsValidUtf8(name) || name.starts_with('.')) continue;
    std::string shown;
    for (const unsigned char c : name) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += c < 0x80 ? std::string(1, static_cast<char>(c))
                        : std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
    }
    err << where << block.line << ": " << shown
        << " is left out of the block: its name is not valid UTF-8 (rename the file)\n";
  }
#endif
}

// Whether the written page still holds every block and every link written
// anew as a link: a block inside a select or an SVG drawing, say, would lose
// them.
bool KeepsTheBlocks(Charset charset, std::string_view page, std::size_t blockCount,
                    const std::vector<std::string>& written) {
  const PageOutline outline = ReadPageOutline(charset, page);
  const PageAscii ascii(charset);
  std::size_t starts = 0, ends = 0;
  for (const PageComment& comment : outline.comments) {
    if (!ascii.At(page, comment.offset, "<!--")) continue;
    const Marker::Kind kind = ReadMarker(comment.text).kind;
    starts += kind == Marker::Kind::kStart;
    ends += kind == Marker::Kind::kEnd;
  }
  if (starts != blockCount || ends != blockCount) return false;
  std::unordered_map<std::string, long> missing;
  for (const std::string& piece : written) {
    for (Reference& reference : ReferencesIn(piece)) {
      if (reference.tag != "img") ++missing[std::move(reference.address)];
    }
  }
  for (const std::string& href : outline.linkHrefs) {
    if (const auto found = missing.find(AddressAsRead(href)); found != missing.end())
      --found->second;
  }
  return std::all_of(missing.begin(), missing.end(), [](const auto& e) { return e.second <= 0; });
}

// A new block for files the page links to or shows already (written with
// `link`, say) would list them twice: says where, a line of the page each.
void WarnOfLinksBefore(const std::string& text, const std::vector<FileItem>& items,
                       const std::string& where, std::ostream& err) {
  std::map<std::string, std::string, std::less<>> names;  // address -> name
  for (const FileItem& item : items) {
    for (Reference& reference : ReferencesIn(item.markup)) {
      names.emplace(std::move(reference.address), item.name);
    }
  }
  std::map<std::size_t, std::vector<std::string>> byLine;
  LineCounter lines(text);
  for (const Reference& reference : ReferencesIn(text)) {
    const auto found = names.find(reference.address);
    if (found == names.end()) continue;
    std::vector<std::string>& linked = byLine[lines.LineAt(reference.offset)];
    if (std::find(linked.begin(), linked.end(), found->second) == linked.end()) {
      linked.push_back(found->second);
    }
  }
  for (const auto& [line, linked] : byLine) {
    err << where << line << ": the new block lists again files this line links to or shows: ";
    for (std::size_t i = 0; i < linked.size() && i < 3; ++i) {
      err << (i > 0 ? ", " : "") << linked[i];
    }
    if (linked.size() > 3) err << " and " << linked.size() - 3 << " more";
    err << " (delete those links, or put the block's comments around them and sync again)\n";
  }
}

}  // namespace

int BringInStep(const Options& options, FilePage& page, std::string& updated, std::ostream& err) {
  const std::string original = page.Contents();
  const fs::path pageFolder = FromUtf8(options.page).parent_path();
  const std::string where = "tervane: " + options.page + ":";
  const Site site = Site::Of(options);
  const bool writes = !options.dryRun && !options.check;
  LineCounter lines(original, page.PageCharset());
  std::vector<Block> blocks;
  std::optional<std::size_t> added;
  try {
    blocks = FindBlocks(page, original, lines);
    for (Block& block : blocks) block.folder = AbsolutePath(block.settings.folder, pageFolder);
    if (options.folder) {
      const auto same = std::find_if(blocks.begin(), blocks.end(),
                                     [&](const Block& b) { return b.folder == *options.folder; });
      if (same == blocks.end()) {
        Block block;
        block.startBegin = block.startEnd = block.endBegin = page.InsertionOffset();
        block.line = lines.LineAt(block.startBegin);
        block.settings.folder = WrittenFolder(pageFolder, *options.folder);
        block.folder = *options.folder;
        added = blocks.size();
        blocks.push_back(block);
      }
      Block& block = added ? blocks.back() : *same;
      block.settings = WithGivenSettings(block.settings, options);
      if (const std::string problem = SettingsProblem(block.settings); !problem.empty()) {
        throw SyncFailure(block.line,
                          block.settings.mode == DisplayMode::kTextLink
                              ? "--size, --alt and --thumbs need --mode image-link or image (the "
                                "block is in mode text)"
                              : "with the settings given, " + problem,
                          kExitUsage);
      }
    }
    if (blocks.empty()) {
      err << "tervane: " << options.page
          << " has no block (<!-- tervane folder=\"...\" --> ... <!-- /tervane -->); give "
             "--folder to add one\n";
      return kExitPage;
    }
    // Outside the site first, so that a page from others cannot find out
    // which folders exist on this machine.
    for (const Block& block : blocks) {
      if (!site.Holds(block.folder)) {
        throw SyncFailure(block.line, "the block's folder lies outside the site (" + site.Folder() +
                                          "): " + block.settings.folder +
                                          " (--site names another site)");
      }
    }
    for (const Block& block : blocks) {
      std::error_code ec;
      if (!fs::is_directory(FromUtf8(block.folder), ec)) {
        throw SyncFailure(
            block.line, "the block's folder does not exist: " + block.settings.folder + " (tried " +
                            block.folder + ", from the page's folder)");
      }
    }
  } catch (const SyncFailure& failure) {
    err << where << failure.what() << '\n';
    return failure.Code();
  }

  Generator generator(page, site);
  std::vector<std::size_t> order(blocks.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return blocks[a].startBegin < blocks[b].startBegin;
  });
  const Charset charset = page.PageCharset();
  std::vector<std::string> written;
  std::size_t copied = 0;
  updated.clear();
  for (const std::size_t i : order) {
    const Block& block = blocks[i];
    if (block.startBegin < copied) {
      err << where << block.line << ": the block holds the end of the body, where --folder "
          << "would add its own\n";
      return kExitPage;
    }
    int code = kExitDone;
    const std::optional<std::vector<FileItem>> now =
        generator.Files(block, block.settings,
                        writes ? ThumbnailWork::kMake : ThumbnailWork::kDecode, where, err, code);
    if (!now) return code;
    std::optional<std::vector<FileItem>> before;
    if (block.read && *block.read != block.settings) {
      // What the block's old settings wrote, to tell hand edits by: no
      // thumbnail is made or decoded for it.
      before = generator.Files(block, *block.read, ThumbnailWork::kNone, where, err, code);
      if (!before) return code;
    }
    WarnOfNamesNotUtf8(block, where, err);
    if (added == i) WarnOfLinksBefore(DecodeLenient(charset, original), *now, where, err);

    const std::string lineEnd = LineEndAt(original, block.startBegin, charset);
    const std::string_view contents =
        std::string_view(original).substr(block.startEnd, block.endBegin - block.startEnd);
    BlockMerge merge;
    try {
      merge = MergeBlock(contents, page.Encoding(), lineEnd,
                         {block.read.value_or(block.settings), before ? *before : *now},
                         {block.settings, *now}, generator.FolderAddressOfFiles(),
                         options.force || added == i);
      updated.append(original, copied, block.startBegin - copied);
      if (block.read && *block.read == block.settings) {
        updated.append(original, block.startBegin, block.startEnd - block.startBegin);
      } else {
        updated += EncodeForPage(page.Encoding(), "<!--" + StartMarkerText(block.settings) + "-->");
      }
    } catch (const Error& e) {
      err << where << block.line << ": " << e.what() << '\n';
      return kExitPage;
    }
    if (merge.refusal) {
      err << where << lines.LineAt(block.startEnd + merge.refusal->first) << ": "
          << merge.refusal->second << '\n';
      return kExitPage;
    }
    for (const auto& [offset, name] : merge.lostEdits) {
      err << where << lines.LineAt(block.startEnd + offset) << ": the item of " << name
          << ", edited by hand, goes with its file\n";
    }
    updated += merge.contents;
    written.insert(written.end(), merge.written.begin(), merge.written.end());
    if (added == i) {
      updated +=
          EncodeForPage(page.Encoding(), "<!--" + std::string(kEndMarkerText) + "-->") + lineEnd;
    }
    copied = added == i ? block.startBegin : block.endBegin;
  }
  updated.append(original, copied);

  if (updated == original) return kExitDone;
  const PageEncoding encoding = DetectPageEncoding(original);
  if (!KeepsTheBlocks(charset, std::string_view(updated).substr(encoding.bomLength), blocks.size(),
                      written)) {
    err << "tervane: cannot write " << options.page
        << ": a block lies where its links would not be links (inside a select, a title, a "
           "script or a similar element)\n";
    return kExitPage;
  }
  return kExitDone;
}

namespace {

// One reading of the page and the blocks brought up to date in it. The
// first reading of a run that writes takes the page's lock.
int SyncOnce(const Options& options, bool takeLock, std::optional<PageLock>& lock,
             std::ostream& out, std::ostream& err) {
  std::unique_ptr<FilePage> page;
  if (const int code = OpenPageForRun(options.page, takeLock, lock, page, err); code != kExitDone) {
    return code;
  }
  std::string updated;
  if (const int code = BringInStep(options, *page, updated, err); code != kExitDone) {
    return code;
  }
  const std::string original = page->Contents();
  if (updated == original) return kExitDone;
  if (options.check) {
    err << "tervane: " << options.page << " is out of step with its folders\n";
    return kExitOutOfStep;
  }
  if (options.dryRun) {
    const Charset charset = page->PageCharset();
    const std::size_t bom = DetectPageEncoding(original).bomLength;
    out << UnifiedDiff(DecodeLenient(charset, std::string_view(original).substr(bom)),
                       DecodeLenient(charset, std::string_view(updated).substr(bom)), options.page);
    return kExitDone;
  }
  try {
    page->Replace(std::move(updated));
  } catch (const PageChangedError&) {
    throw;
  } catch (const std::exception& e) {
    SayPageFailure(err, "write", options.page, e.what());
    return kExitPage;
  }
  return kExitDone;
}

}  // namespace

int RunSync(const Options& options, std::ostream& out, std::ostream& err) {
  std::optional<PageLock> lock;
  const bool writes = !options.dryRun && !options.check;
  return RedoWhilePageChanges(options.page, err,
                              [&] { return SyncOnce(options, writes && !lock, lock, out, err); });
}

}  // namespace tervane::cli
