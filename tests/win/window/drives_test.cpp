// Drives, per-drive current folders and files on the real system. A second
// drive letter, mapped to a temporary folder by the test's script, is named
// in TERVANE_SECOND_DRIVE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"
#include "tests/win/support/folder_address_rows.h"
#include "tests/win/window/window_fixture.h"

namespace tervane::testing {
namespace {

char SecondDrive() {
  const char* letter = std::getenv("TERVANE_SECOND_DRIVE");
  return letter && *letter ? *letter : 0;
}

TEST(Win32Drives, ReportDrivesAsTheFileSystemObjectDoes) {
  win32::Win32DriveSystem drives;
  const std::unique_ptr<DriveInfo> c = drives.GetDrive("c:");
  EXPECT_TRUE(c->IsReady());
  EXPECT_EQ(c->DriveType(), 2);
  EXPECT_EQ(c->DriveLetter(), "C");
  EXPECT_THROW(drives.GetDrive("k:"), Error);  // no such drive in the test prefix
  EXPECT_THROW(drives.CurrentFolderOf("k:"), Error);
  EXPECT_THROW(drives.MakeCurrent("C:\\no such folder"), Error);
}

TEST(Win32Files, ListOnlyWhatAFileListShows) {
  win32::Win32FileSystem files;
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder =
      std::filesystem::path(temp) / ("tervane-files-" + std::to_string(::GetCurrentProcessId()));
  WriteFile(folder / "shown.txt", "12345");
  WriteFile(folder / "hidden.txt");
  WriteFile(folder / "system.txt");
  WriteFile(folder / "sub" / "inner.txt");
  ::SetFileAttributesW((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesW((folder / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::string path = win32::Narrow(folder.wstring());

  EXPECT_EQ(files.ListFiles(path), std::vector<std::string>{"shown.txt"});
  EXPECT_THROW(files.ListFiles(path + "\\missing"), Error);
  EXPECT_TRUE(files.FolderExists(path + "\\sub"));
  EXPECT_FALSE(files.FolderExists(path + "\\shown.txt"));

  struct Read {
    std::string name;
    std::size_t limit;
    std::optional<std::string> contents;
  };
  const Read reads[] = {{"shown.txt", 5, "12345"},
                        {"shown.txt", 4, std::nullopt},
                        {"missing.txt", 100, std::nullopt},
                        {"sub", 100, std::nullopt}};
  for (const Read& read : reads) {
    EXPECT_EQ(files.ReadSmallFile(path + "\\" + read.name, read.limit), read.contents)
        << read.name << " " << read.limit;
  }
  EXPECT_EQ(files.DecodeAnsi("URL=http://a/"), "URL=http://a/");
  if (::GetACP() == 932) {
    EXPECT_EQ(files.DecodeAnsi("\x93\xfa\x96\x7b"), "日本");
    EXPECT_EQ(files.DecodeAnsi("\x81"), std::nullopt);
  }

  for (const char* name : {"hidden.txt", "system.txt"}) {
    ::SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// A folder shown on another drive becomes that drive's current folder and
// leaves the process on its drive; coming back to a drive shows the folder
// last shown there.
TEST_F(WindowTest, EachDriveKeepsItsOwnCurrentFolder) {
  const char second = SecondDrive();
  if (second == 0) GTEST_SKIP() << "TERVANE_SECOND_DRIVE is not set";
  const std::string root = std::string(1, second) + ":\\";
  WriteFile(std::filesystem::path(win32::Widen(root)) / "pics" / "p.jpg");

  OpenFolder("img");
  PickDrive(second);
  EXPECT_EQ(Dir1Entry(), root);
  OpenFolder("pics");
  EXPECT_EQ(Items(Control("File1")), std::vector<std::string>{"p.jpg"});
  EXPECT_EQ(drives_.CurrentFolder(), siteText_ + "\\img");

  PickDrive('c');
  EXPECT_EQ(Dir1Entry(), "img");
  EXPECT_EQ(Items(Control("File1")), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
  PickDrive(second);
  EXPECT_EQ(Dir1Entry(), "pics");
  EXPECT_EQ(drives_.CurrentFolderOf(std::string(1, second) + ":"), root + "pics");
  EXPECT_TRUE(watcher_.Take().empty());

  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(win32::Widen(root)) / "pics", ignored);
}

// A page on the second drive, while the process stays on C:, moves the drive
// list there as well as the folder list.
TEST_F(WindowTest, APageOnAnotherDriveMovesTheDriveListThere) {
  const char second = SecondDrive();
  if (second == 0) GTEST_SKIP() << "TERVANE_SECOND_DRIVE is not set";
  const std::string root = std::string(1, second) + ":\\";
  WriteFile(std::filesystem::path(win32::Widen(root)) / "pics" / "p.jpg");

  editor_.page->location = "file:///" + std::string(1, second) + ":/pics/index.htm";
  Click("GetPageInfo");
  HWND drive1 = Control("Drive1");
  const LRESULT shown = ::SendMessageW(drive1, CB_GETCURSEL, 0, 0);
  ASSERT_GE(shown, 0);
  EXPECT_EQ(static_cast<char>(std::toupper(static_cast<unsigned char>(Items(drive1)[shown][0]))),
            second);
  EXPECT_EQ(Dir1Entry(), "pics");
  EXPECT_EQ(Items(Control("File1")), std::vector<std::string>{"p.jpg"});
  EXPECT_EQ(watcher_.Take().size(), 1u);

  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(win32::Widen(root)) / "pics", ignored);
}

// A page on a network share, the host started in another folder there: the
// lists open at the page's folder, the drive list shows the share, the
// folder list shows the share's root as its first level and stops there,
// and links carry the share's path. Wine serves \\host\share\ from the
// prefix's dosdevices\unc\host\share.
TEST_F(WindowTest, AShareRootIsTheFolderListsTopLevel) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr || *prefix == '\0') GTEST_SKIP() << "not under Wine";
  std::wstring served = L"Z:" + win32::Widen(prefix) + L"\\dosdevices\\unc\\tervane-window";
  std::replace(served.begin(), served.end(), L'/', L'\\');
  std::filesystem::create_directories(served + L"\\share");
  const std::string share = "\\\\tervane-window\\share";
  for (const char* made : {"\\f.jpg", "\\site\\index.htm", "\\site\\img\\f.jpg"}) {
    WriteFile(win32::Widen(share + made));
  }
  std::filesystem::create_directories(win32::Widen(share + "\\site\\img\\sub"));

  dialog_.Unload();
  editor_.page->location = "file://tervane-window/share/site/index.htm";
  ASSERT_TRUE(::SetCurrentDirectoryW(win32::Widen(share + "\\site\\img").c_str()));
  FindWindowAfterShow();
  EXPECT_EQ(dialog_.Controls().Location->Text(), share + "\\site");
  EXPECT_EQ(Items(Control("Drive1")).back(), share);
  EXPECT_EQ(Items(Control("Dir1")), (std::vector<std::string>{share + "\\", "site", "img"}));
  EXPECT_EQ(Dir1Entry(), "site");
  OpenFolder(share + "\\");
  EXPECT_EQ(Items(Control("Dir1")), (std::vector<std::string>{share + "\\", "site"}));
  EXPECT_EQ(dialog_.Controls().Dir1->Path(), share + "\\");

  const FolderAddressRow cases[] = {
      {share + "\\site", share + "\\site\\img", "img/"},
      {share + "\\site\\img", share + "\\", "../../"},
      {siteText_, share + "\\site\\img", "file://///tervane-window/share/site/img/"},
  };
  for (const FolderAddressRow& c : cases) {
    SCOPED_TRACE(c.location + " | " + c.folder);
    ::SetWindowTextW(Control("Location"), win32::Widen(c.location).c_str());
    OpenFolder(share + "\\");
    std::istringstream below(c.folder.substr(share.size() + 1));
    for (std::string name; std::getline(below, name, '\\');) OpenFolder(name);
    editor_.page->inserted.clear();
    SelectFiles({"f.jpg"});
    Click("OKButton");
    EXPECT_EQ(editor_.page->inserted,
              std::vector<std::string>{"<a href=\"" + c.address + "f.jpg\">f.jpg</a><br>"});
  }
  EXPECT_EQ(watcher_.Take().size(), std::size(cases));

  ::SetCurrentDirectoryW(L"C:\\");
  std::error_code ignored;
  std::filesystem::remove_all(served, ignored);
}

// The folder address on real drives: the Location text as typed, the folder
// chosen in the lists, and the address in the link that 作成 inserts. The
// folders are made on C: of the tests' own prefix and on the second drive.
TEST_F(WindowTest, LinksCarryTheFolderAddressOfRealFolders) {
  const char second = SecondDrive();
  if (second == 0) GTEST_SKIP() << "TERVANE_SECOND_DRIVE is not set";
  const std::string d(1, second);
  const std::string file = FolderAddressFile("tervane-window");
  using Case = FolderAddressRow;
  const std::vector<Case> cases = FolderAddressRows("tervane-window", second);
  for (const Case& c : cases) WriteFile(std::filesystem::path(win32::Widen(c.folder)) / file);
  WriteFile("C:\\tervane-window\\web\\docs\\2000\\" + file);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.location + " | " + c.folder);
    ::SetWindowTextW(Control("Location"), win32::Widen(c.location).c_str());
    PickDrive(c.folder[0]);
    OpenFolder(c.folder.substr(0, 3));
    std::istringstream below(c.folder.substr(3));
    for (std::string name; std::getline(below, name, '\\');) OpenFolder(name);
    editor_.page->inserted.clear();
    SelectFiles({file});
    Click("OKButton");
    EXPECT_EQ(editor_.page->inserted, std::vector<std::string>{"<a href=\"" + c.address + file +
                                                               "\">" + file + "</a><br>"});
  }
  EXPECT_EQ(watcher_.Take().size(), cases.size());

  ::SetCurrentDirectoryW(L"C:\\");
  std::error_code ignored;
  for (const std::string& made :
       {"C:\\tervane-window" + std::string(), "C:\\" + file, d + ":\\pics"}) {
    std::filesystem::remove_all(win32::Widen(made), ignored);
  }
}

}  // namespace
}  // namespace tervane::testing
