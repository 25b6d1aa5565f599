#include "cli/session.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/picture_file.h"
#include "cli/items.h"

namespace tervane::cli {

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

LineWriter::LineWriter(std::ostream& out) : out_(out) { buffer_.reserve(kChunk + 4096); }

LineWriter::~LineWriter() { Flush(); }

void LineWriter::Line(std::string_view text) {
  buffer_ += text;
  buffer_ += '\n';
  if (buffer_.size() >= kChunk) Flush();
}

void LineWriter::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

void ApplySettings(const DialogSettings& settings, const DialogControls& c) {
  for (std::size_t i = 0; i < settings.kinds.size(); ++i) {
    c.Filter[i]->SetValue(settings.kinds[i] ? 1 : 0);
  }
  if (settings.folder) {
    c.Drive1->SetDrive(*settings.folder);
    c.Dir1->SetPath(*settings.folder);
  }
  if (settings.base) c.Location->SetText(*settings.base);
  switch (settings.mode) {
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

void ReportScriptShortcuts(const frmCOMAddIn& dialog, std::ostream& err) {
  if (dialog.ScriptShortcuts().empty()) return;
  std::string folder = dialog.Controls().File1->Path();
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
  }
  for (const std::string& name : dialog.ScriptShortcuts()) {
    err << "tervane: " << folder << name
        << ": not linked, its address would run a script (javascript:, vbscript: or data:); "
           "written as a shortcut without an address\n";
  }
}

namespace {

std::optional<PictureSize> PictureSizeOfFile(const std::string& path) {
  const std::unique_ptr<PictureFile> file = PictureFile::Open(path, kMaxPictureHeaderBytes);
  if (!file) return std::nullopt;
  return ReadPictureSize([&file](std::uint64_t offset, char* into, std::size_t length) {
    return file->ReadAt(offset, into, length);
  });
}

}  // namespace

void SayPageFailure(std::ostream& err, std::string_view action, const std::string& page,
                    std::string_view reason) {
  std::string said(reason);
  if (said.starts_with("Cannot ") && said.substr(7).starts_with(action)) {
    said[0] = 'c';
  } else {
    said = std::string("cannot ") + std::string(action) + " " + page + ": " + said;
  }
  err << "tervane: " << said << '\n';
}

int OpenPageForRun(const std::string& path, bool writes, std::optional<PageLock>& lock,
                   std::unique_ptr<FilePage>& page, std::ostream& err) {
  try {
    if (writes) lock.emplace(path, PageLockTimeout());
    page = FilePage::Open(path);
    return kExitDone;
  } catch (const std::exception& e) {
    const std::string_view reason = e.what();
    SayPageFailure(err, reason.starts_with("Cannot write") ? "write" : "read", path, reason);
    return kExitPage;
  }
}

int RedoWhilePageChanges(const std::string& page, std::ostream& err,
                         const std::function<int()>& attempt) {
  for (int tries = 1;; ++tries) {
    try {
      return attempt();
    } catch (const PageChangedError&) {
      if (tries == kPageAttempts) {
        err << "tervane: cannot write " << page << ": another program changed it " << kPageAttempts
            << " times while this run worked on it; it is left as that program "
            << "saved it\n";
        return kExitPage;
      }
    }
  }
}

std::vector<std::string> SelectedNames(FileListBox& list) {
  std::vector<std::string> names;
  const std::size_t count = list.ListCount();
  for (std::size_t i = 0; i < count; ++i) {
    if (list.Selected(i)) names.push_back(list.List(i));
  }
  return names;
}

void AddPictureAttributes(std::vector<std::string>& markups, const std::vector<std::string>& names,
                          const std::string& folder, bool size, bool alt, const Site* site) {
  const std::filesystem::path base(std::u8string(folder.begin(), folder.end()));
  const auto pathOf = [&base](const std::string& name) {
    const std::u8string path = (base / std::u8string(name.begin(), name.end())).u8string();
    return std::string(path.begin(), path.end());
  };
  for (std::size_t i = 0; i < markups.size() && i < names.size(); ++i) {
    if (markups[i].find("<img ") == std::string::npos) continue;
    const std::string& name = names[i];
    std::optional<PictureSize> pictureSize;
    if (size) {
      const std::string path = pathOf(name);
      if (!site || site->Holds(path)) pictureSize = PictureSizeOfFile(path);
    }
    std::optional<std::string> altText;
    if (alt) {
      altText = !site || site->Holds(pathOf(name)) ? PictureAltText(base, name)
                                                   : std::string(NameWithoutExtension(name));
    }
    markups[i] = WithImageAttributes(markups[i], pictureSize, altText);
  }
}

}  // namespace tervane::cli
