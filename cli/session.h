// What the commands of `tervane` share: the dialog on the headless platform,
// the settings a user would make in it, the boxes turned into text, the wait
// for the page, and the sizes of pictures.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/headless/headless_view.h"
#include "addin/platform/headless/recording_boxes.h"
#include "addin/platform/headless/recording_shell.h"
#include "cli/site.h"
#include "cli/system.h"

namespace tervane::cli {

/// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNothingSelected = 1;
inline constexpr int kExitOutOfStep = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPage = 3;

/// Message texts carry "\r\n"; the terminal wants its own line break.
std::string AsLines(const std::string& text);

// Lines gathered into large writes: a list of a hundred thousand names is
// written in a few dozen calls instead of one or two per name.
class LineWriter {
 public:
  explicit LineWriter(std::ostream& out);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void Line(std::string_view text);
  void Flush();

 private:
  static constexpr std::size_t kChunk = 64 * 1024;
  std::ostream& out_;
  std::string buffer_;
};

// The dialog and the headless platform under it, for one command.
class Session {
 public:
  /// With a `site`, the dialog reads no file outside it (see SiteFiles).
  explicit Session(PageApplication& editor, const Site* site = nullptr)
      : siteFiles_(files_, site),
        views_(drives_, siteFiles_),
        platform_{drives_, siteFiles_, boxes_, shell_, editor, views_},
        dialog_(platform_) {}

  frmCOMAddIn& Dialog() { return dialog_; }
  const DialogControls& Controls() { return dialog_.Controls(); }
  PathStyle Style() const { return drives_.Style(); }

  /// The boxes shown since the last call.
  std::vector<MessageBoxRequest> TakeBoxes() {
    std::vector<MessageBoxRequest> shown = boxes_.Shown();
    boxes_.Clear();
    return shown;
  }

 private:
  SystemDrives drives_;
  SystemFiles files_;
  SiteFiles siteFiles_;
  RecordingMessageBoxes boxes_;
  RecordingShell shell_;
  HeadlessViewFactory views_;
  Platform platform_;
  frmCOMAddIn dialog_;
};

/// The controls set as a user sets them: the kind boxes, the folder (drive,
/// then folder list) when given, the page base location when given, and the
/// display mode.
struct DialogSettings {
  std::array<bool, 4> kinds;
  std::optional<std::string> folder;
  std::optional<std::string> base;
  DisplayMode mode = DisplayMode::kTextLink;
};
void ApplySettings(const DialogSettings& settings, const DialogControls& c);

/// Prints the boxes as the dialog showed them. Returns the exit code they
/// stand for: nothing selected, a trapped failure, or done.
int ReportBoxes(const std::vector<MessageBoxRequest>& boxes, const frmCOMAddIn& dialog,
                std::ostream& out, std::ostream& err);

/// Says "tervane: <action> <page>: <reason>" on `err`, naming the page
/// once: a reason that already starts "Cannot <action> <page>" (as the
/// page's own errors do) stands alone.
void SayPageFailure(std::ostream& err, std::string_view action, const std::string& page,
                    std::string_view reason);

/// Reads the page for a run. A run that writes holds the page from before it
/// reads it until `lock` goes, so that another run's links are never read
/// over; a run that only reads does not wait, and the atomic replacement
/// always shows it a whole page. Returns the exit code, after saying why
/// when it is not kExitDone.
int OpenPageForRun(const std::string& path, bool writes, std::optional<PageLock>& lock,
                   std::unique_ptr<FilePage>& page, std::ostream& err);

/// Runs `attempt`, which reads the page held and writes it, again from the
/// start whenever another program saved the page after it was read
/// (PageChangedError), at most kPageAttempts times in all; then says so and
/// returns kExitPage, that program's page left in place.
inline constexpr int kPageAttempts = 5;
int RedoWhilePageChanges(const std::string& page, std::ostream& err,
                         const std::function<int()>& attempt);

/// Says on `err`, one line each, which shortcut files the last press of
/// OKButton did not link because their address would run a script.
void ReportScriptShortcuts(const frmCOMAddIn& dialog, std::ostream& err);

/// The selected names of the file list, in list order.
std::vector<std::string> SelectedNames(FileListBox& list);

/// Picture attributes for the markup of each file `names[i]` of `folder`:
/// `markups[i]` gains its width and height (when `size` and the picture's
/// header can be read, and with a `site` the picture lies inside it) and its
/// alt text (when `alt`): the picture's own title, else its file name
/// without the extension (the name alone for a picture outside the site).
void AddPictureAttributes(std::vector<std::string>& markups, const std::vector<std::string>& names,
                          const std::string& folder, bool size, bool alt,
                          const Site* site = nullptr);

}  // namespace tervane::cli
