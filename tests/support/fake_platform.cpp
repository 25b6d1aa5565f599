#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cctype>

#include "addin/platform/error.h"

namespace tervane::testing {

std::string FakeFileSystem::Key(std::string_view path) {
  std::string key(path);
  if (key.size() > 3 && key.back() == '\\') key.pop_back();
  if (key.size() == 2 && key[1] == ':') key += '\\';
  return key;
}

void FakeFileSystem::AddFolder(const std::string& path, std::vector<std::string> files) {
  const std::string key = Key(path);
  for (std::size_t pos = key.find('\\', 3); pos != std::string::npos;
       pos = key.find('\\', pos + 1)) {
    folders_.try_emplace(key.substr(0, pos));
  }
  folders_.try_emplace(key.substr(0, 3));
  folders_[key] = std::move(files);
}

void FakeFileSystem::AddFile(const std::string& folder, const std::string& name,
                             std::string contents) {
  const std::string key = Key(folder);
  if (!folders_.count(key)) AddFolder(folder);
  folders_[key].push_back(name);
  contents_[key + (key.back() == '\\' ? "" : "\\") + name] = std::move(contents);
}

void FakeFileSystem::RemoveFolder(const std::string& path) {
  const std::string key = Key(path);
  folders_.erase(key);
  std::erase_if(contents_, [&](const auto& entry) { return entry.first.starts_with(key + "\\"); });
}

bool FakeFileSystem::FolderExists(std::string_view path) { return folders_.count(Key(path)) > 0; }

std::vector<std::string> FakeFileSystem::ListFiles(std::string_view folder) {
  ++listings;
  const auto found = folders_.find(Key(folder));
  if (found == folders_.end()) {
    throw Error(kErrPathNotFound, "Path not found: " + std::string(folder));
  }
  return found->second;
}

std::optional<std::string> FakeFileSystem::ReadSmallFile(std::string_view path,
                                                         std::size_t maxBytes) {
  const auto found = contents_.find(std::string(path));
  if (found == contents_.end() || found->second.size() > maxBytes) return std::nullopt;
  return found->second;
}

std::optional<std::string> FakeFileSystem::DecodeAnsi(std::string_view bytes) {
  return std::string(bytes);
}

namespace {

class FakeDriveInfo : public DriveInfo {
 public:
  FakeDriveInfo(char letter, FakeDrives::Drive& drive) : letter_(letter), drive_(drive) {}
  bool IsReady() override {
    const bool ready = drive_.readiness.front();
    if (drive_.readiness.size() > 1) drive_.readiness.pop_front();
    return ready;
  }
  int DriveType() override { return drive_.type; }
  std::string DriveLetter() override { return std::string(1, letter_); }

 private:
  char letter_;
  FakeDrives::Drive& drive_;
};

}  // namespace

void FakeDrives::AddDrive(char letter, std::string currentFolder, int type,
                          std::deque<bool> readiness) {
  drives[letter] = Drive{type, std::move(readiness), std::move(currentFolder)};
}

FakeDrives::Drive& FakeDrives::Find(std::string_view text) {
  if (text.empty()) throw Error(kErrDeviceUnavailable, "Device unavailable");
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  const auto found = drives.find(letter);
  if (found == drives.end()) throw Error(kErrDeviceUnavailable, "Device unavailable");
  return found->second;
}

std::unique_ptr<DriveInfo> FakeDrives::GetDrive(std::string_view spec) {
  Drive& drive = Find(spec);
  return std::make_unique<FakeDriveInfo>(
      static_cast<char>(std::toupper(static_cast<unsigned char>(spec[0]))), drive);
}

std::string FakeDrives::CurrentFolderOf(std::string_view spec) { return Find(spec).current; }

std::string FakeDrives::CurrentFolder() { return drives.at(currentDrive_).current; }

void FakeDrives::MakeCurrent(std::string_view folder) {
  Find(folder).current = std::string(folder);
  madeCurrent.emplace_back(folder);
}

namespace {

class FakeLinks : public HtmlLinkCollection {
 public:
  explicit FakeLinks(FakeEditor::Page& page) : page_(page) {}
  std::size_t Length() override { return page_.links.size(); }
  std::string Href(std::size_t index) override {
    if (page_.failLinkAt == index) throw Error(kErrInvalidCall, "The link cannot be read");
    return page_.links.at(index);
  }
  std::optional<std::string> HrefAsWritten(std::size_t) override { return std::nullopt; }

 private:
  FakeEditor::Page& page_;
};

class FakeBody : public HtmlElement {
 public:
  explicit FakeBody(FakeEditor::Page& page) : page_(page) {}
  void InsertAdjacentHTML(std::string_view where, std::string_view html) override {
    if (where != "BeforeEnd") throw Error(kErrInvalidCall, "Unexpected position");
    if (page_.failInsertAt == page_.inserted.size()) {
      throw Error(kErrInvalidCall, "The editor refused the markup");
    }
    page_.inserted.emplace_back(html);
  }

 private:
  FakeEditor::Page& page_;
};

class FakeDocument : public HtmlDocument {
 public:
  explicit FakeDocument(FakeEditor::Page& page) : page_(page) {}
  std::string LocationHref() override { return page_.location; }
  std::string Title() override { return page_.title; }
  std::string URL() override { return page_.url; }
  std::unique_ptr<HtmlLinkCollection> Links() override {
    return std::make_unique<FakeLinks>(page_);
  }
  std::unique_ptr<HtmlElement> Body() override { return std::make_unique<FakeBody>(page_); }

 private:
  FakeEditor::Page& page_;
};

class FakeWindow : public PageWindow {
 public:
  explicit FakeWindow(FakeEditor::Page& page) : page_(page) {}
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<FakeDocument>(page_);
  }

 private:
  FakeEditor::Page& page_;
};

}  // namespace

std::unique_ptr<PageWindow> FakeEditor::ActivePageWindow() {
  if (!page) return nullptr;
  return std::make_unique<FakeWindow>(*page);
}

}  // namespace tervane::testing
