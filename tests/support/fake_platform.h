// An in-memory platform with Windows drives and paths, for the dialog's
// handler tests: folders and files, drives that can be made not ready, an
// editor page that records what was inserted and can be made to fail.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "addin/platform/drives.h"
#include "addin/platform/editor.h"
#include "addin/platform/file_system.h"

namespace tervane::testing {

class FakeFileSystem : public FileSystem {
 public:
  /// Adds a folder (and its ancestors) holding `files`.
  void AddFolder(const std::string& path, std::vector<std::string> files = {});
  void AddFile(const std::string& folder, const std::string& name, std::string contents = {});
  void RemoveFolder(const std::string& path);

  bool FolderExists(std::string_view path) override;
  std::vector<std::string> ListFiles(std::string_view folder) override;
  std::optional<std::string> ReadSmallFile(std::string_view path, std::size_t maxBytes) override;
  std::optional<std::string> DecodeAnsi(std::string_view bytes) override;

  int listings = 0;

 private:
  static std::string Key(std::string_view path);
  std::map<std::string, std::vector<std::string>> folders_;
  std::map<std::string, std::string> contents_;
};

class FakeDrives : public DriveSystem {
 public:
  struct Drive {
    int type = 2;
    std::deque<bool> readiness;  // answers of IsReady, the last one repeats
    std::string current;         // current folder
  };
  /// Drive letters are upper case here; specifications in any case.
  void AddDrive(char letter, std::string currentFolder, int type = 2,
                std::deque<bool> readiness = {true});
  void SetCurrentDrive(char letter) { currentDrive_ = letter; }

  PathStyle Style() const override { return PathStyle::kWindows; }
  std::unique_ptr<DriveInfo> GetDrive(std::string_view spec) override;
  std::string CurrentFolderOf(std::string_view spec) override;
  std::string CurrentFolder() override;
  void MakeCurrent(std::string_view folder) override;

  std::map<char, Drive> drives;
  std::vector<std::string> madeCurrent;  // every folder made current, in order

 private:
  Drive& Find(std::string_view text);
  char currentDrive_ = 'C';
};

/// The editor with one page, or none.
class FakeEditor : public PageApplication {
 public:
  struct Page {
    std::string location;
    std::string title;
    std::string url;
    std::vector<std::string> links;
    std::vector<std::string> inserted;
    std::optional<std::size_t> failInsertAt;  // the insertion that fails
    std::optional<std::size_t> failLinkAt;    // the link whose href cannot be read
  };
  std::optional<Page> page;

  std::unique_ptr<PageWindow> ActivePageWindow() override;
};

}  // namespace tervane::testing
