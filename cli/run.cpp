#include "cli/run.h"

#include <algorithm>
#include <map>
#include <ostream>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_editor.h"
#include "addin/platform/filepage/file_page.h"
#include "cli/blank_page.h"
#include "cli/items.h"
#include "cli/sync.h"

namespace tervane::cli {
namespace {

DialogSettings SettingsOf(const Options& options) {
  return {options.kinds, options.folder, options.base, options.mode};
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
  ApplySettings(SettingsOf(options), session.Controls());
  FileListBox& list = *session.Controls().File1;
  LineWriter lines(out);
  const std::size_t count = list.ListCount();
  for (std::size_t i = 0; i < count; ++i) lines.Line(list.List(i));
  return kExitDone;
}

// One reading of the page and what the command does with it. The first
// reading of a run that writes takes the page's lock, which the run holds
// until the page is replaced, so that another run's links are never read
// over. `check` and --dry-run only read.
int WorkOnPage(const Options& options, bool takeLock, std::optional<PageLock>& lock,
               std::ostream& out, std::ostream& err) {
  std::unique_ptr<FilePage> page;
  if (const int code = OpenPageForRun(options.page, takeLock, lock, page, err); code != kExitDone) {
    return code;
  }
  FileEditor editor(page.get());
  Session session(editor);
  frmCOMAddIn& dialog = session.Dialog();
  dialog.Show();
  ApplySettings(SettingsOf(options), session.Controls());
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

  // Picture attributes go into the markup the dialog made, which is then
  // inserted as it would have been.
  const ItemSettings items{options.lazy, options.className, options.sort, options.reverse};
  const bool pictureAttributes = options.size || options.alt || options.thumbs || options.lazy ||
                                 options.className || options.sort != PictureOrder::kName ||
                                 options.reverse;
  std::vector<std::string> selected =
      pictureAttributes ? SelectedNames(list) : std::vector<std::string>();
  editor.SetRecordOnly(options.dryRun || pictureAttributes);
  session.TakeBoxes();
  dialog.OKButton_Click();
  ReportScriptShortcuts(dialog, err);
  const std::vector<MessageBoxRequest> boxes = session.TakeBoxes();
  const bool failed = std::any_of(boxes.begin(), boxes.end(), [](const MessageBoxRequest& box) {
    return box.icon == MsgIcon::kStop || box.text == texts::kNothingSelected;
  });
  if (failed) return ReportBoxes(boxes, dialog, out, err);

  std::vector<std::string> markups = editor.RecordedInsertions();
  if (pictureAttributes) {
    // A thumbnail brings its own size.
    if (options.thumbs) {
      AddThumbnails(markups, selected, session.Controls().Dir1->Path(), *options.thumbs,
                    options.dryRun ? ThumbnailWork::kDecode : ThumbnailWork::kMake, err);
    }
    AddPictureAttributes(markups, selected, session.Controls().Dir1->Path(),
                         options.size && !options.thumbs, options.alt);
    ArrangeItems(markups, selected, session.Controls().Dir1->Path(), items);
  }
  if (options.dryRun) {
    LineWriter lines(out);
    for (const std::string& markup : markups) lines.Line(markup);
    return kExitDone;
  }
  try {
    if (pictureAttributes) {
      for (const std::string& markup : markups) page->InsertBeforeBodyEnd(markup);
    }
    page->Save();
  } catch (const PageChangedError&) {
    throw;
  } catch (const std::exception& e) {
    SayPageFailure(err, "write", options.page, e.what());
    return kExitPage;
  }
  return ReportBoxes(boxes, dialog, out, err);
}

int RunOnPage(const Options& options, std::ostream& out, std::ostream& err) {
  std::optional<PageLock> lock;
  const bool writes = options.command == Command::kLink && !options.dryRun;
  return RedoWhilePageChanges(options.page, err,
                              [&] { return WorkOnPage(options, writes && !lock, lock, out, err); });
}

}  // namespace

int Run(const Options& options, std::ostream& out, std::ostream& err) {
  try {
    if (options.command == Command::kList) return RunList(options, out);
    if (options.command == Command::kSync) return RunSync(options, out, err);
    return RunOnPage(options, out, err);
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
