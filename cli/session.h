// What the commands of `tervane` share: the dialog on the headless platform,
// the settings a user would make in it, the boxes turned into text, the wait
// for the page, and the sizes of pictures.
#pragma once

#include <array>
#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/headless/headless_view.h"
#include "addin/platform/headless/recording_boxes.h"
#include "addin/platform/headless/recording_shell.h"
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
  explicit Session(PageApplication& editor)
      : views_(drives_, files_),
        platform_{drives_, files_, boxes_, shell_, editor, views_},
        dialog_(platform_) {}

  frmCOMAddIn& Dialog() { return dialog_; }
  const DialogControls& Controls() { return dialog_.Controls(); }

  /// The boxes shown since the last call.
  std::vector<MessageBoxRequest> TakeBoxes() {
    std::vector<MessageBoxRequest> shown = boxes_.Shown();
    boxes_.Clear();
    return shown;
  }

 private:
  SystemDrives drives_;
  SystemFiles files_;
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

/// The page held for writing, or the exit code after saying why it cannot
/// be (nullopt in `lock`).
int HoldPage(const std::string& page, std::optional<PageLock>& lock, std::ostream& err);

/// The selected names of the file list, in list order.
std::vector<std::string> SelectedNames(FileListBox& list);

/// Picture attributes for the markup of each file `names[i]` of `folder`:
/// `markups[i]` gains its width and height (when `size` and the picture's
/// header can be read) and its alt text (when `alt`): the picture's own
/// title, else its file name without the extension.
void AddPictureAttributes(std::vector<std::string>& markups, const std::vector<std::string>& names,
                          const std::string& folder, bool size, bool alt);

}  // namespace tervane::cli
