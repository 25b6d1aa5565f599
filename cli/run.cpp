#include "cli/run.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <string_view>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/file_editor.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/headless/headless_view.h"
#include "addin/platform/headless/recording_boxes.h"
#include "addin/platform/headless/recording_shell.h"
#include "cli/blank_page.h"
#include "cli/system.h"

namespace tervane::cli {
namespace {

// Message texts carry "\r\n"; the terminal wants its own line break.
std::string AsLines(const std::string& text) {
  std::string lines;
  lines.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  lines += '\n';
  return lines;
}

// Lines gathered into large writes: a list of a hundred thousand names is
// written in a few dozen calls instead of one or two per name.
class LineWriter {
 public:
  explicit LineWriter(std::ostream& out) : out_(out) { buffer_.reserve(kChunk + 4096); }
  ~LineWriter() { Flush(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void Line(std::string_view text) {
    buffer_ += text;
    buffer_ += '\n';
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

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

// Prints the boxes as the dialog showed them. Returns the exit code they
// stand for: nothing selected, a trapped failure, or done.
int ReportBoxes(const std::vector<MessageBoxRequest>& boxes, const frmCOMAddIn& dialog,
                std::ostream& out, std::ostream& err) {
  int code = kExitDone;
  for (const MessageBoxRequest& box : boxes) {
    if (box.text == texts::kNothingSelected) {
      err << AsLines(box.text);
      code = kExitNothingSelected;
    } else if (box.icon == MsgIcon::kStop) {
      err << AsLines(box.text);
      if (!dialog.LastFailure().empty()) err << "tervane: " << dialog.LastFailure() << '\n';
      code = kExitPage;
    } else {
      out << AsLines(box.text);
    }
  }
  return code;
}

// Sets the controls as a user would: the kind boxes, the folder (drive, then
// folder list), the page base location and the display mode.
void ApplySettings(const Options& options, const DialogControls& c) {
  for (std::size_t i = 0; i < options.kinds.size(); ++i) {
    c.Filter[i]->SetValue(options.kinds[i] ? 1 : 0);
  }
  if (options.folder) {
    c.Drive1->SetDrive(*options.folder);
    c.Dir1->SetPath(*options.folder);
  }
  if (options.base) c.Location->SetText(*options.base);
  switch (options.mode) {
    case DisplayMode::kTextLink:
      c.OptWithText->SetValue(true);
      break;
    case DisplayMode::kImageLink:
      c.OptWithImg->SetValue(true);
      break;
    case DisplayMode::kImageOnly:
      c.OptImgOnly->SetValue(true);
      break;
  }
}

// Selects the named files; returns the first name that is not listed.
std::optional<std::string> SelectNames(const std::vector<std::string>& names, FileListBox& list) {
  std::map<std::string, std::size_t, std::less<>> indexes;
  const std::size_t count = list.ListCount();
  for (std::size_t i = 0; i < count; ++i) indexes.emplace(list.List(i), i);
  for (const std::string& name : names) {
    const auto found = indexes.find(name);
    if (found == indexes.end()) return name;
    list.SetSelected(found->second, true);
  }
  return std::nullopt;
}

void PrintSelected(FileListBox& list, std::ostream& out) {
  LineWriter lines(out);
  const std::size_t count = list.ListCount();
  for (std::size_t i = 0; i < count; ++i) {
    if (list.Selected(i)) lines.Line(list.List(i));
  }
}

int RunList(const Options& options, std::ostream& out) {
  BlankPageEditor editor;
  Session session(editor);
  session.Dialog().Show();
  ApplySettings(options, session.Controls());
  FileListBox& list = *session.Controls().File1;
  LineWriter lines(out);
  const std::size_t count = list.ListCount();
  for (std::size_t i = 0; i < count; ++i) lines.Line(list.List(i));
  return kExitDone;
}

int RunOnPage(const Options& options, std::ostream& out, std::ostream& err) {
  // A run that writes holds the page from before it reads it until after it
  // is replaced, so that another run's links are never read over. `check`
  // and --dry-run only read, and the atomic replacement always shows them a
  // whole page.
  std::optional<PageLock> lock;
  if (options.command == Command::kLink && !options.dryRun) {
    try {
      lock.emplace(options.page, PageLockTimeout());
    } catch (const std::exception& e) {
      // "Cannot read <page>: ..." or "Cannot write <page>: ...", as a line
      // of ours.
      std::string reason = e.what();
      if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] += 'a' - 'A';
      err << "tervane: " << reason << '\n';
      return kExitPage;
    }
  }
  std::unique_ptr<FilePage> page;
  try {
    page = FilePage::Open(options.page);
  } catch (const std::exception& e) {
    err << "tervane: cannot read " << options.page << ": " << e.what() << '\n';
    return kExitPage;
  }
  FileEditor editor(page.get());
  Session session(editor);
  frmCOMAddIn& dialog = session.Dialog();
  dialog.Show();
  ApplySettings(options, session.Controls());
  FileListBox& list = *session.Controls().File1;

  if (options.command == Command::kCheck) {
    session.TakeBoxes();
    dialog.ReverseExistLink_Click();
    const std::vector<MessageBoxRequest> boxes = session.TakeBoxes();
    if (dialog.LastFailure().empty()) PrintSelected(list, out);
    return ReportBoxes(boxes, dialog, out, err);
  }

  if (!options.names.empty()) {
    if (const std::optional<std::string> missing = SelectNames(options.names, list)) {
      err << "tervane: not listed: " << *missing << '\n';
      return kExitUsage;
    }
  } else {
    dialog.SelectAllBtn_Click();
  }
  if (options.missing) {
    session.TakeBoxes();
    dialog.ReverseExistLink_Click();
    // The inversion's own message belongs to `check`; only a failure shows.
    std::vector<MessageBoxRequest> boxes = session.TakeBoxes();
    std::erase_if(boxes, [](const MessageBoxRequest& box) { return box.icon != MsgIcon::kStop; });
    if (const int code = ReportBoxes(boxes, dialog, out, err); code != kExitDone) return code;
  }

  editor.SetRecordOnly(options.dryRun);
  session.TakeBoxes();
  dialog.OKButton_Click();
  const std::vector<MessageBoxRequest> boxes = session.TakeBoxes();
  const bool failed = std::any_of(boxes.begin(), boxes.end(), [](const MessageBoxRequest& box) {
    return box.icon == MsgIcon::kStop || box.text == texts::kNothingSelected;
  });
  if (failed) return ReportBoxes(boxes, dialog, out, err);

  if (options.dryRun) {
    LineWriter lines(out);
    for (const std::string& markup : editor.RecordedInsertions()) lines.Line(markup);
    return kExitDone;
  }
  try {
    page->Save();
  } catch (const std::exception& e) {
    err << "tervane: cannot write " << options.page << ": " << e.what() << '\n';
    return kExitPage;
  }
  return ReportBoxes(boxes, dialog, out, err);
}

}  // namespace

int Run(const Options& options, std::ostream& out, std::ostream& err) {
  try {
    return options.command == Command::kList ? RunList(options, out) : RunOnPage(options, out, err);
  } catch (const Error& e) {
    // The dialog could not be loaded or set up: the page's folder or the
    // material folder cannot be read.
    err << "tervane: " << e.what() << '\n';
    return options.command == Command::kList ? kExitUsage : kExitPage;
  } catch (const std::exception& e) {
    err << "tervane: " << e.what() << '\n';
    return kExitPage;
  }
}

}  // namespace tervane::cli
