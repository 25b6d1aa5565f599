// The headless platform over the real file system: what the file list shows,
// how the controls raise their events, and the bounded reading of a file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "addin/platform/error.h"
#include "addin/platform/headless/headless_controls.h"
#include "addin/platform/headless/posix_drives.h"
#include "addin/platform/headless/posix_file_system.h"
#include "tests/support/temp_dir.h"

namespace tervane::testing {
namespace {

using Names = std::vector<std::string>;

class CountingEvents : public DialogEvents {
 public:
  void Drive1_Change() override { log.push_back("drive"); }
  void Dir1_Change() override { log.push_back("dir"); }
  void Filter_Click(int index) override { log.push_back("filter" + std::to_string(index)); }
  void SelectAllBtn_Click() override {}
  void LocationSetBtn_Click() override {}
  void GetPageInfo_Click() override {}
  void OKButton_Click() override {}
  void ReverseExistLink_Click() override {}
  void CancelButton_Click() override {}
  void Label5_Click() override {}
  Names log;
};

class HeadlessTest : public ::testing::Test {
 protected:
  Names Listed(HeadlessFileList& list) {
    Names names;
    for (std::size_t i = 0; i < list.ListCount(); ++i) names.push_back(list.List(i));
    return names;
  }
  TempDir dir;
  PosixFileSystem files;
  CountingEvents events;
};

TEST_F(HeadlessTest, TheFileListShowsVisibleFilesOnlySortedAsAListBoxSorts) {
  for (const char* name :
       {"b.jpg", "A.JPG", "a.jpg", "_x.jpg", "Zeta.png", "日本.jpg", ".hidden.jpg", "noext"}) {
    dir.Write(name, "x");
  }
  std::filesystem::create_directory(dir.Path() / "folder.jpg");
  ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir / "b.jpg", dir.Path() / "link.jpg");
  std::filesystem::create_symlink(dir / "missing", dir.Path() / "dangling.jpg");
  dir.Write(std::string("bad\xff.jpg"), "x");

  HeadlessFileList list(files, dir.Path().string());
  list.SetPattern("*.jpg;*.PNG;*.jpg");
  // Lower-cased names compare first, so "_" (0x5F) comes before the letters.
  EXPECT_EQ(Listed(list),
            (Names{"_x.jpg", "A.JPG", "a.jpg", "b.jpg", "link.jpg", "Zeta.png", "日本.jpg"}));
  list.SetPattern("*.*");
  EXPECT_EQ(list.ListCount(), 8u);  // "noext" too
}

TEST_F(HeadlessTest, WritingPatternOrPathRereadsAndClearsTheSelection) {
  dir.Write("a.jpg", "x");
  HeadlessFileList list(files, dir.Path().string());
  list.SetSelected(0, true);
  dir.Write("b.jpg", "x");
  list.SetPath(dir.Path().string());
  EXPECT_EQ(Listed(list), (Names{"a.jpg", "b.jpg"}));
  EXPECT_FALSE(list.Selected(0));
  list.SetSelected(1, true);
  list.SetPattern("*.jpg");
  EXPECT_FALSE(list.Selected(1));
  EXPECT_THROW(list.Selected(2), Error);
  EXPECT_THROW(list.SetPath(dir / "nowhere"), Error);
}

TEST_F(HeadlessTest, ControlsRaiseTheirEventsOnlyWhenTheValueChanges) {
  std::filesystem::create_directory(dir.Path() / "sub");
  PosixDriveSystem drives;
  HeadlessCheckBox box(events, 3);
  HeadlessDirList folders(files, PathStyle::kPosix, events, "/");
  HeadlessDriveList driveList(drives, events, "/");

  box.SetValue(1);
  box.SetValue(1);
  box.SetValue(0);
  folders.SetPath(dir / "sub/");
  folders.SetPath(dir / "sub");
  driveList.SetDrive(dir / "sub");
  EXPECT_EQ(events.log, (Names{"filter3", "filter3", "dir"}));
  EXPECT_EQ(folders.Path(), dir / "sub");
  EXPECT_THROW(folders.SetPath(dir / "nowhere"), Error);
  EXPECT_THROW(box.SetValue(3), Error);
}

TEST_F(HeadlessTest, ThePosixDriveIsTheRootAndKeepsItsCurrentFolder) {
  PosixDriveSystem drives;
  EXPECT_TRUE(drives.GetDrive("/")->IsReady());
  drives.MakeCurrent(dir.Path().string());
  EXPECT_EQ(drives.CurrentFolder(), dir.Path().string());
  EXPECT_EQ(drives.CurrentFolderOf("/"), dir.Path().string());
  EXPECT_THROW(drives.MakeCurrent(dir / "nowhere"), Error);
  EXPECT_EQ(drives.CurrentFolder(), dir.Path().string());
}

TEST_F(HeadlessTest, SmallFilesAreReadWholeWithinTheirBound) {
  const std::string big(100, 'x');
  dir.Write("big.url", big);
  ASSERT_EQ(::mkfifo((dir / "pipe.url").c_str(), 0600), 0);
  EXPECT_EQ(files.ReadSmallFile(dir / "big.url", 100), big);
  EXPECT_EQ(files.ReadSmallFile(dir / "big.url", 99), std::nullopt);
  EXPECT_EQ(files.ReadSmallFile(dir / "pipe.url", 100), std::nullopt);
  EXPECT_EQ(files.ReadSmallFile(dir / "none.url", 100), std::nullopt);
  EXPECT_EQ(files.ReadSmallFile(dir.Path().string(), 100), std::nullopt);
}

TEST_F(HeadlessTest, AnsiTextIsUtf8OrElseCodePage932) {
  EXPECT_EQ(files.DecodeAnsi("http://例.jp/"), "http://例.jp/");
  EXPECT_EQ(files.DecodeAnsi("\x83\x65\x83\x58\x83\x67"), "テスト");
  EXPECT_EQ(files.DecodeAnsi("\x81"), std::nullopt);
}

}  // namespace
}  // namespace tervane::testing
