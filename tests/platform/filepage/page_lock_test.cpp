// The page lock on the system's own files, the same test on POSIX systems
// and on Windows.
#include "addin/platform/filepage/page_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"

namespace tervane::testing {
namespace {

using std::chrono::milliseconds;

// Another writer replaces the page after a waiter opened it and before the
// waiter's lock is checked: the waiter lets go of the old file and holds the
// page now under the name, so that a third writer finds it held.
TEST(PageLockTest, ALockTakenOnAReplacedPageMovesToTheReplacement) {
  // A folder of its own, made here: another run of the test takes the next.
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  int number = 0;
  while (!std::filesystem::create_directory(temp / ("tervane-lock-" + std::to_string(number)))) {
    ++number;
  }
  const std::filesystem::path folder = temp / ("tervane-lock-" + std::to_string(number));
  const std::string page = (folder / "p.htm").string();
  std::ofstream(page, std::ios::binary) << "<p>old</p>";

  int tries = 0;
  {
    const PageLock lock(page, milliseconds(1000), [&] {
      if (++tries == 1) ReplaceFileAtomically(page, "<p>new</p>");
    });
    EXPECT_THROW(PageLock(page, milliseconds(0)), Error);
  }
  EXPECT_NO_THROW(PageLock(page, milliseconds(0)));  // let go with the lock
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace tervane::testing
