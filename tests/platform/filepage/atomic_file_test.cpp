// Replacing a page atomically. The faults that cut a write short (a file-size
// limit, a read-only folder) are injected into the real program by the
// end-to-end tests of `tervane`.
#include "addin/platform/filepage/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "addin/platform/error.h"
#include "tests/support/temp_dir.h"

namespace tervane::testing {
namespace {

using Set = std::set<std::string>;
const std::string kOriginal = "<p>old</p>\n";
const std::string kReplacement = "<p>new</p>\n";

TEST(AtomicFileTest, ReplacesContentsAndKeepsPermissions) {
  for (const mode_t mode : {0600, 0640, 0755, 0604}) {
    SCOPED_TRACE(mode);
    TempDir folder;
    const std::string page = folder.Write("page.htm", kOriginal);
    ASSERT_EQ(::chmod(page.c_str(), mode), 0);
    ReplaceFileAtomically(page, kReplacement);
    EXPECT_EQ(TempDir::Read(page), kReplacement);
    struct stat info {};
    ASSERT_EQ(::stat(page.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
    EXPECT_EQ(TempDir::Names(folder.Path()), Set{"page.htm"});
  }
}

TEST(AtomicFileTest, ReplacesTheTargetOfASymbolicLink) {
  TempDir folder;
  folder.Write("site/page.htm", kOriginal);
  std::filesystem::create_directory(folder / "links");
  std::filesystem::create_symlink("../site/page.htm", folder / "links/page.htm");
  ReplaceFileAtomically(folder / "links/page.htm", kReplacement);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "links/page.htm"));
  EXPECT_EQ(TempDir::Read(folder / "site/page.htm"), kReplacement);
  EXPECT_EQ(TempDir::Names(folder / "site"), Set{"page.htm"});
  EXPECT_EQ(TempDir::Names(folder / "links"), Set{"page.htm"});
}

TEST(AtomicFileTest, WritesEmptyAndLongNamedFiles) {
  TempDir folder;
  const std::string longName = std::string(250, 'n') + ".htm";
  folder.Write(longName, kOriginal);
  ReplaceFileAtomically(folder / longName, "");
  EXPECT_EQ(TempDir::Read(folder / longName), "");
  EXPECT_EQ(TempDir::Names(folder.Path()), Set{longName});
}

TEST(AtomicFileTest, FailsCleanlyWhereThereIsNoFileToReplace) {
  TempDir folder;
  folder.Write("file", kOriginal);
  std::filesystem::create_directory(folder / "folder");
  for (const std::string name : {"file/page.htm", "missing/page.htm", "missing.htm", "folder"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ReplaceFileAtomically(folder / name, kReplacement), Error);
    EXPECT_EQ(TempDir::Names(folder.Path()), (Set{"file", "folder"}));
    EXPECT_TRUE(TempDir::Names(folder / "folder").empty());
  }
}

}  // namespace
}  // namespace tervane::testing
