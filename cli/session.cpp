#include "cli/session.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "addin/dialog/linkaddress/texts.h"
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

namespace {

std::optional<PictureSize> PictureSizeOfFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return ReadPictureSize([&in](char* into, std::size_t length) {
    in.read(into, static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(in.gcount());
  });
}

}  // namespace

int HoldPage(const std::string& page, std::optional<PageLock>& lock, std::ostream& err) {
  try {
    lock.emplace(page, PageLockTimeout());
    return kExitDone;
  } catch (const std::exception& e) {
    // "Cannot read <page>: ..." or "Cannot write <page>: ...", as a line of
    // ours.
    std::string reason = e.what();
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] += 'a' - 'A';
    err << "tervane: " << reason << '\n';
    return kExitPage;
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
                          const std::string& folder, bool size, bool alt) {
  const std::filesystem::path base(std::u8string(folder.begin(), folder.end()));
  for (std::size_t i = 0; i < markups.size() && i < names.size(); ++i) {
    if (markups[i].find("<img ") == std::string::npos) continue;
    const std::string& name = names[i];
    std::optional<PictureSize> pictureSize;
    if (size) pictureSize = PictureSizeOfFile(base / std::u8string(name.begin(), name.end()));
    std::optional<std::string> altText;
    if (alt) altText = PictureAltText(base, name);
    markups[i] = WithImageAttributes(markups[i], pictureSize, altText);
  }
}

}  // namespace tervane::cli
