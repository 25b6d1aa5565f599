#include "addin/dialog/frmCOMAddIn.h"

#include <array>
#include <exception>
#include <vector>

#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/link_matcher.h"
#include "addin/dialog/linkaddress/list_pattern.h"
#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/page_location.h"
#include "addin/dialog/linkaddress/shortcut.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"

namespace tervane {
namespace {

// How many of the first `count` items of the list are selected.
std::size_t CountSelected(const FileListBox& list, std::size_t count) {
  std::size_t selected = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (list.Selected(i)) ++selected;
  }
  return selected;
}

}  // namespace

frmCOMAddIn::frmCOMAddIn(Platform& platform) : platform_(platform) {}

frmCOMAddIn::~frmCOMAddIn() = default;

void frmCOMAddIn::Show() {
  const RunningHandler running(*this);
  unloadAsked_ = false;
  if (!view_) {
    view_ = platform_.views.CreateView(*this);
    Form_Load();
  }
  view_->Show();
}

void frmCOMAddIn::BringToFront() {
  if (view_) view_->BringToFront();
}

void frmCOMAddIn::Unload() {
  if (running_ > 0) {
    unloadAsked_ = true;
    return;
  }
  view_.reset();
}

frmCOMAddIn::RunningHandler::~RunningHandler() {
  if (--dialog_.running_ > 0 || !dialog_.unloadAsked_) return;
  dialog_.unloadAsked_ = false;
  dialog_.view_.reset();
}

bool frmCOMAddIn::IsLoaded() const { return view_ != nullptr; }

const DialogControls& frmCOMAddIn::Controls() const {
  if (!view_) throw Error(kErrObjectNotSet, "The link builder dialog is not loaded");
  return view_->Controls();
}

// The defaults every load starts from. Each tick rebuilds the file list at
// once; UpdatePageLocation then moves the lists to the page's folder.
void frmCOMAddIn::Form_Load() {
  const DialogControls& c = Controls();
  c.Filter[1]->SetValue(1);
  c.Filter[2]->SetValue(1);
  c.OptWithText->SetValue(true);
  UpdatePageLocation();
}

void frmCOMAddIn::Drive1_Change() {
  const RunningHandler running(*this);
  const DialogControls& c = Controls();
  const PathStyle style = platform_.drives.Style();
  std::string spec = DriveSpecification(c.Drive1->Drive(), style);
  const std::unique_ptr<DriveInfo> drive = platform_.drives.GetDrive(spec);
  while (!drive->IsReady()) {
    const MsgAnswer answer = platform_.boxes.Show(
        {DriveNotReadyMessage(drive->DriveLetter(), drive->DriveType()),
         std::string(texts::kAppTitle), MsgButtons::kRetryCancel, MsgIcon::kStop});
    if (answer == MsgAnswer::kRetry) continue;
    // Back to the process's current drive, not to the drive shown before.
    spec = DriveSpecification(platform_.drives.CurrentFolder(), style);
    c.Drive1->SetDrive(spec);
    break;
  }
  c.Dir1->SetPath(platform_.drives.CurrentFolderOf(spec));
}

void frmCOMAddIn::Dir1_Change() {
  const RunningHandler running(*this);
  const DialogControls& c = Controls();
  const std::string folder = c.Dir1->Path();
  platform_.drives.MakeCurrent(folder);
  std::array<bool, 4> ticked{};
  for (std::size_t i = 0; i < ticked.size(); ++i) ticked[i] = c.Filter[i]->Value() == 1;
  c.File1->SetPattern(ListPattern(ticked));
  c.File1->SetPath(folder);
}

void frmCOMAddIn::Filter_Click(int /*index*/) { Dir1_Change(); }

void frmCOMAddIn::SelectAllBtn_Click() {
  const RunningHandler running(*this);
  FileListBox& list = *Controls().File1;
  const std::size_t count = list.ListCount();
  const bool select = CountSelected(list, count) != count;
  for (std::size_t i = 0; i < count; ++i) list.SetSelected(i, select);
}

void frmCOMAddIn::LocationSetBtn_Click() {
  const RunningHandler running(*this);
  const DialogControls& c = Controls();
  c.Location->SetText(c.Dir1->Path());
}

void frmCOMAddIn::GetPageInfo_Click() {
  const RunningHandler running(*this);
  try {
    const std::unique_ptr<HtmlDocument> document = ActivePageDocument();
    UpdatePageLocation();
    platform_.boxes.Show({PageInfoMessage(document->Title(), document->URL()),
                          std::string(texts::kAppTitle), MsgButtons::kOk, MsgIcon::kNone});
  } catch (...) {
    ReportDialogFailure();
  }
}

void frmCOMAddIn::OKButton_Click() {
  const RunningHandler running(*this);
  scriptShortcuts_.clear();
  try {
    FileListBox& list = *Controls().File1;
    const std::size_t count = list.ListCount();
    if (CountSelected(list, count) == 0) {
      platform_.boxes.Show({std::string(texts::kNothingSelected), std::string(texts::kAppTitle),
                            MsgButtons::kOk, MsgIcon::kNone});
      return;
    }

    const std::string folderAddress = GetFolderAddress();
    const std::unique_ptr<HtmlDocument> document = ActivePageDocument();
    std::size_t added = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (!list.Selected(i)) continue;
      const std::string name = list.List(i);
      const std::string address = LinkAddress(folderAddress, name);
      std::string markup;
      if (IsShortcutName(name)) {
        const std::string url = ReadShortcutUrl(name);
        markup = url.empty() ? PlaceholderMarkup(address) : ShortcutMarkup(url, name);
      } else {
        markup = FileMarkup(ChosenDisplayMode(), address, name);
      }
      document->Body()->InsertAdjacentHTML("BeforeEnd", markup);
      ++added;
    }
    document->KeepInsertions();

    const std::string title = document->Title();
    const std::string url = document->URL();
    platform_.boxes.Show({CompletionMessage(title, url, added),
                          std::string(texts::kCompletionTitle), MsgButtons::kOk, MsgIcon::kNone});
  } catch (...) {
    ReportDialogFailure();
  }
}

void frmCOMAddIn::ReverseExistLink_Click() {
  const RunningHandler running(*this);
  scriptShortcuts_.clear();
  try {
    const std::string folderAddress = GetFolderAddress();
    const std::unique_ptr<HtmlDocument> document = ActivePageDocument();
    const std::unique_ptr<HtmlLinkCollection> links = document->Links();
    FileListBox& list = *Controls().File1;
    const std::size_t count = list.ListCount();
    const std::size_t linkCount = links->Length();

    std::size_t found = 0;
    if (linkCount > 0 && count > 0) {
      // Each file's address is worked out once per press, shortcut files
      // included, so the matching stays linear in links plus files.
      std::vector<std::string> addresses;
      addresses.reserve(count);
      for (std::size_t i = 0; i < count; ++i) {
        const std::string name = list.List(i);
        addresses.push_back(IsShortcutName(name) ? ReadShortcutUrl(name)
                                                 : LinkAddress(folderAddress, name));
      }
      LinkMatcher matcher(addresses);
      for (std::size_t l = 0; l < linkCount; ++l) {
        const std::string href = links->Href(l);
        const std::optional<std::string> written = links->HrefAsWritten(l);
        const std::optional<std::size_t> match =
            written ? matcher.Match(href, std::string_view(*written)) : matcher.Match(href);
        if (!match) continue;
        ++found;
        list.SetSelected(*match, !list.Selected(*match));
      }
    }

    const std::string title = document->Title();
    const std::string url = document->URL();
    platform_.boxes.Show({InspectionMessage(title, url, folderAddress, found),
                          std::string(texts::kAppTitle), MsgButtons::kOk, MsgIcon::kNone});
  } catch (...) {
    ReportDialogFailure();
  }
}

void frmCOMAddIn::CancelButton_Click() { Unload(); }

void frmCOMAddIn::Label5_Click() { platform_.shell.Open(texts::kHomePage); }

// Reads the page address and shows its folder as the page base location,
// then moves the drive and folder lists there (each move rebuilds the file
// list before the next statement runs).
void frmCOMAddIn::UpdatePageLocation() {
  const std::unique_ptr<HtmlDocument> document = ActivePageDocument();
  const PageBaseLocation location =
      DerivePageBaseLocation(document->LocationHref(), platform_.drives.Style());
  const DialogControls& c = Controls();
  switch (location.kind) {
    case PageBaseLocation::Kind::kNotLocal:
      c.Location->SetText("");
      return;
    case PageBaseLocation::Kind::kUnchanged:
      return;
    case PageBaseLocation::Kind::kFolder:
      c.Location->SetText(location.folder);
      c.Drive1->SetDrive(location.folder);
      c.Dir1->SetPath(location.folder);
      return;
  }
}

std::string frmCOMAddIn::GetFolderAddress() const {
  const DialogControls& c = Controls();
  return FolderAddress(c.Dir1->Path(), c.Location->Text(), platform_.drives.Style());
}

std::string frmCOMAddIn::RemoveTrailingBackslash(std::string_view text) const {
  return RemoveTrailingSeparator(text, platform_.drives.Style());
}

std::string frmCOMAddIn::AddTrailingSlash(std::string_view text) {
  return tervane::AddTrailingSlash(text);
}

bool frmCOMAddIn::IsShortcutName(std::string_view name) { return tervane::IsShortcutName(name); }

std::string frmCOMAddIn::ReadShortcutUrl(std::string_view name) {
  const std::string path = JoinPath(Controls().File1->Path(), name, platform_.drives.Style());
  const std::optional<std::string> bytes =
      platform_.files.ReadSmallFile(path, kMaxShortcutFileBytes);
  if (!bytes) return {};
  std::string url = ShortcutUrlFromBytes(
      *bytes, [this](std::string_view ansi) { return platform_.files.DecodeAnsi(ansi); });
  // A links folder may hold shortcuts that others wrote: a script address
  // would run in the page of whoever follows the link.
  if (RunsAsScript(url)) {
    scriptShortcuts_.emplace_back(name);
    return {};
  }
  return url;
}

std::unique_ptr<HtmlDocument> frmCOMAddIn::ActivePageDocument() {
  const std::unique_ptr<PageWindow> window = platform_.editor.ActivePageWindow();
  if (!window) throw Error(kErrObjectNotSet, "No page is open in the editor");
  return window->Document();
}

DisplayMode frmCOMAddIn::ChosenDisplayMode() const {
  const DialogControls& c = Controls();
  if (c.OptWithImg->Value()) return DisplayMode::kImageLink;
  if (c.OptImgOnly->Value()) return DisplayMode::kImageOnly;
  return DisplayMode::kTextLink;
}

void frmCOMAddIn::ReportDialogFailure() {
  try {
    throw;
  } catch (const std::exception& e) {
    lastFailure_ = e.what();
  } catch (...) {
    lastFailure_ = "unknown failure";
  }
  platform_.boxes.Show({std::string(texts::kDialogFailure), std::string(texts::kAppTitle),
                        MsgButtons::kOk, MsgIcon::kStop});
}

}  // namespace tervane
