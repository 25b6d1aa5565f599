#include "addin/platform/filepage/page_on_disk.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "addin/platform/filepage/page_lock.h"
#include "tests/support/temp_dir.h"

namespace tervane::testing {
namespace {

using std::chrono::milliseconds;

// Another program changes the page after an operation has read it: the
// insertion reads the page again under the lock, and only keeping the
// insertions writes them, beside that program's link.
TEST(PageOnDiskTest, CreationWritesWhatTheLastWriterLeftPlusItsMarkup) {
  TempDir dir;
  const std::string path = dir.Write("page.htm", "<body></body>");
  PageOnDisk disk(path, milliseconds(0));
  const std::unique_ptr<HtmlDocument> document = disk.ActivePageWindow()->Document();
  EXPECT_EQ(document->LocationHref(), "file://" + path);
  dir.Write("page.htm", "<body><a href=\"x\">x</a></body>");

  document->Body()->InsertAdjacentHTML("BeforeEnd", "<br>");
  EXPECT_EQ(TempDir::Read(path), "<body><a href=\"x\">x</a></body>");
  {
    // Held by this operation until it ends: another writer cannot start.
    const std::unique_ptr<HtmlDocument> other = disk.ActivePageWindow()->Document();
    EXPECT_THROW(other->Body()->InsertAdjacentHTML("BeforeEnd", "<p>"), std::exception);
  }
  document->KeepInsertions();
  EXPECT_EQ(TempDir::Read(path), "<body><a href=\"x\">x</a><br></body>");

  const std::unique_ptr<HtmlLinkCollection> links = disk.ActivePageWindow()->Document()->Links();
  ASSERT_EQ(links->Length(), 1u);
  EXPECT_EQ(links->Href(0), "x");
  EXPECT_EQ(TempDir::Names(dir.Path()), std::set<std::string>{"page.htm"});

  std::filesystem::remove(path);
  EXPECT_EQ(disk.ActivePageWindow(), nullptr);
}

}  // namespace
}  // namespace tervane::testing
