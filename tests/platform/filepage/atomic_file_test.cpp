#include "addin/platform/filepage/atomic_file.h"

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "addin/platform/error.h"
#include "tests/platform/filepage/page_files.h"

namespace tervane {
namespace {

const std::string kOriginal = "<p>old</p>\n";
const std::string kReplacement = "<p>new</p>\n";

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// Runs `body` in a child process (for limits and identities the test
// process must keep) and returns what it reported: the text of the Error
// it caught, "no error", or why it could not run.
std::string RunInChild(const std::function<void()>& body) {
  int channel[2];
  if (::pipe(channel) != 0) return "pipe failed";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::string report = "no error";
    try {
      body();
    } catch (const Error& error) {
      report = error.what();
    } catch (const std::exception& failure) {
      report = std::string("cannot run: ") + failure.what();
    }
    const ssize_t ignored = ::write(channel[1], report.data(), report.size());
    static_cast<void>(ignored);
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string report;
  char chunk[256];
  for (ssize_t count; (count = ::read(channel[0], chunk, sizeof chunk)) > 0;) {
    report.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "child died with status " + std::to_string(status);
  return report;
}

TEST(AtomicFileTest, ReplacesContentsAndKeepsPermissions) {
  for (const mode_t mode : {0600, 0640, 0755, 0604}) {
    SCOPED_TRACE(mode);
    TemporaryFolder folder;
    WriteFile(folder / "page.htm", kOriginal);
    ASSERT_EQ(::chmod((folder / "page.htm").c_str(), mode), 0);
    ReplaceFileAtomically(folder / "page.htm", kReplacement);
    EXPECT_EQ(ReadFile(folder / "page.htm"), kReplacement);
    EXPECT_EQ(ModeOf(folder / "page.htm"), mode);
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"page.htm"});
  }
}

TEST(AtomicFileTest, ReplacesTheTargetOfASymbolicLink) {
  TemporaryFolder folder;
  std::filesystem::create_directory(folder / "site");
  std::filesystem::create_directory(folder / "links");
  WriteFile(folder / "site/page.htm", kOriginal);
  std::filesystem::create_symlink("../site/page.htm", folder / "links/page.htm");
  ReplaceFileAtomically(folder / "links/page.htm", kReplacement);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "links/page.htm"));
  EXPECT_EQ(ReadFile(folder / "site/page.htm"), kReplacement);
  EXPECT_EQ(Names(folder / "site"), std::set<std::string>{"page.htm"});
  EXPECT_EQ(Names(folder / "links"), std::set<std::string>{"page.htm"});
}

TEST(AtomicFileTest, WritesEmptyAndLongNamedFiles) {
  TemporaryFolder folder;
  const std::string longName = std::string(250, 'n') + ".htm";
  WriteFile(folder / longName, kOriginal);
  ReplaceFileAtomically(folder / longName, "");
  EXPECT_EQ(ReadFile(folder / longName), "");
  EXPECT_EQ(Names(folder.Path()), std::set<std::string>{longName});
}

TEST(AtomicFileTest, FailsCleanlyWhereThereIsNoFileToReplace) {
  TemporaryFolder folder;
  WriteFile(folder / "file", kOriginal);
  std::filesystem::create_directory(folder / "folder");
  for (const std::string name : {"file/page.htm", "missing/page.htm", "missing.htm", "folder"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ReplaceFileAtomically(folder / name, kReplacement), Error);
    EXPECT_EQ(Names(folder.Path()), (std::set<std::string>{"file", "folder"}));
    EXPECT_TRUE(Names(folder / "folder").empty());
  }
}

// Root writes into any folder, so a root test process gives up its identity
// in the child before trying.
TEST(AtomicFileTest, FailsCleanlyInAFolderItCannotWrite) {
  TemporaryFolder folder;
  std::filesystem::create_directory(folder / "site");
  WriteFile(folder / "site/page.htm", kOriginal);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod((folder / "site/page.htm").c_str(), 0666), 0);
  ASSERT_EQ(::chmod((folder / "site").c_str(), 0555), 0);
  const std::string report = RunInChild([&] {
    if (::geteuid() == 0) {
      const uid_t nobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
        throw std::runtime_error("cannot give up root");
      }
    }
    ReplaceFileAtomically(folder / "site/page.htm", kReplacement);
  });
  if (report.starts_with("cannot run")) GTEST_SKIP() << report;
  EXPECT_NE(report.find("Permission denied"), std::string::npos) << report;
  EXPECT_NE(report.find(folder / "site/page.htm"), std::string::npos) << report;
  EXPECT_EQ(ReadFile(folder / "site/page.htm"), kOriginal);
  EXPECT_EQ(Names(folder / "site"), std::set<std::string>{"page.htm"});
}

TEST(AtomicFileTest, FailsCleanlyWhenAFileSizeLimitCutsTheWriteShort) {
  TemporaryFolder folder;
  WriteFile(folder / "page.htm", kOriginal);
  const std::string report = RunInChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
    ReplaceFileAtomically(folder / "page.htm", std::string(1 << 20, 'x'));
  });
  EXPECT_NE(report.find("File too large"), std::string::npos) << report;
  EXPECT_EQ(ReadFile(folder / "page.htm"), kOriginal);
  EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"page.htm"});
}

}  // namespace
}  // namespace tervane
