// Opening pictures that others put in a folder: only regular files on a file
// system that stores them open, opening never blocks, and reading stops at
// the budget wherever the offsets lie.
#include "addin/platform/filepage/picture_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace tervane {
namespace {

using testing::TempDir;

TEST(PictureFileTest, OpensOnlyRegularFilesThatAreStored) {
  TempDir dir;
  const std::string picture = dir.Write("a.png", "0123456789");
  ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder.png");
  const struct {
    const char* what;
    std::string target;  // the picture is a symbolic link to it
    bool opens;
  } cases[] = {
      {"regular file", picture, true},
      {"FIFO without a writer", dir / "fifo.png", false},
      {"device whose reads block", "/dev/ptmx", false},
      {"endless device", "/dev/zero", false},
      {"file of /proc", "/proc/version", false},
      {"file of /proc that consumes what is read", "/proc/kmsg", false},
      {"file of /sys", "/sys/kernel/uevent_seqnum", false},
      {"folder", dir / "folder.png", false},
      {"missing", dir / "gone.png", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string link = dir / "link.png";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(c.target, link);
    const std::unique_ptr<PictureFile> file = PictureFile::Open(link, 4);
    EXPECT_EQ(file != nullptr, c.opens);
  }
  // Opened directly, not through a link, the same.
  EXPECT_EQ(PictureFile::Open(dir / "fifo.png", 4), nullptr);
  EXPECT_EQ(PictureFile::Open("/proc/self/status", 4), nullptr);
}

TEST(PictureFileTest, ReadsAtAnyOffsetWithinItsBudget) {
  TempDir dir;
  const std::unique_ptr<PictureFile> file = PictureFile::Open(dir.Write("a.png", "0123456789"), 6);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Size(), 10u);
  const struct {
    std::uint64_t offset;
    std::size_t length;
    std::string got;
  } reads[] = {
      {7, 2, "78"},      {8, 5, "89"},  // to the end of the file
      {1u << 30, 4, ""},                // beyond it
      {0, 4, "01"},                     // the budget of 6 is spent
      {3, 1, ""},
  };
  for (const auto& r : reads) {
    SCOPED_TRACE(r.offset);
    std::string into(r.length, '\0');
    into.resize(file->ReadAt(r.offset, into.data(), r.length));
    EXPECT_EQ(into, r.got);
  }
  EXPECT_EQ(file->BytesRead(), 6u);
}

}  // namespace
}  // namespace tervane
