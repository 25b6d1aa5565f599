// What the page on disk keeps whatever else touches it, one row per case, run
// on POSIX systems and (the rows that exist there) on Windows under Wine: a
// link inserted and saved as `tervane link` and TervaneWindow.exe save it,
// then the page's bytes and what it is besides them, as the system's own
// tools (getfacl, getfattr, stat) report it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_on_disk.h"

#ifdef _WIN32
#include <windows.h>

#include "addin/platform/filepage/atomic_file_win32.h"
#else
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "<html><body>old</body></html>\n";
const std::string kNew = "<html><body>old<br></body></html>\n";
const std::string kTheirs = "<html><body>theirs, saved meanwhile</body></html>\n";
const std::string kTheirsAndOurs = "<html><body>theirs, saved meanwhile<br></body></html>\n";

// A folder of its own under the system's temporary folder, on both systems.
class Folder {
 public:
  Folder() {
    const fs::path temp = fs::temp_directory_path();
    for (int number = 0;; ++number) {
      path_ = temp / ("tervane-cases-" + std::to_string(number));
      if (fs::create_directory(path_)) break;
    }
  }
  ~Folder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return (path_ / name).string();
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The save of `tervane link`: read, insert, write back.
void InsertAndSave(const std::string& page) {
  const std::unique_ptr<FilePage> file = FilePage::Open(page);
  file->InsertBeforeBodyEnd("<br>");
  file->Save();
}

// The save of TervaneWindow.exe, which redoes its insertions on a page that
// another program saved meanwhile.
void InsertOnDisk(const std::string& page) {
  PageOnDisk disk(page, std::chrono::milliseconds(1000));
  const std::unique_ptr<HtmlDocument> document = disk.ActivePageWindow()->Document();
  document->Body()->InsertAdjacentHTML("BeforeEnd", "<br>");
  document->KeepInsertions();
}

// Another program's save, in place, the first `times` times the page is
// about to be replaced; every other save one byte longer, so that two saves
// within one tick of the file system's clock differ all the same.
void TheyAlsoSave(int times) {
  auto saves = std::make_shared<int>(0);
  SetBeforeReplaceHook([saves, times](const std::string& target) {
    if (*saves >= times) return;
    std::ofstream(target, std::ios::binary) << kTheirs << std::string(*saves % 2, '\n');
    ++*saves;
  });
}

#ifdef _WIN32

DWORD replaceFailure = 0;

// ReplaceFileW failing as it does when another program holds a file: 1175
// and 1176 (with a backup name) leave both files where they were; 1177 has
// moved the page to the backup name and could not move the new file in.
BOOL WINAPI FailingReplaceFile(LPCWSTR replaced, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) {
  if (replaceFailure == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileW(replaced, backup);
  ::SetLastError(replaceFailure);
  return FALSE;
}

void ReplaceFails(DWORD error) {
  replaceFailure = error;
  win32::replaceFile = FailingReplaceFile;
}

#else

// The output of one of the system's tools.
std::string Tool(const std::string& command) {
  std::string output;
  if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
    char chunk[4096];
    while (const std::size_t count = std::fread(chunk, 1, sizeof chunk, pipe)) {
      output.append(chunk, count);
    }
    ::pclose(pipe);
  }
  return output;
}

// What stat, getfacl and getfattr say the page is, besides its bytes.
std::string WhatItIs(const std::string& page) {
  return Tool("stat -c 'owner %u group %g mode %a links %h' '" + page + "'; getfacl -pcn '" + page +
              "'; getfattr --absolute-names -d '" + page + "' | tail -n +2");
}

// Runs `prepare`, then `write`, in a child process; 0 when `write` wrote,
// 1 when it threw, 2 when `prepare` failed.
int InChild(const std::function<bool()>& prepare, const std::function<void()>& write) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (!prepare()) ::_exit(2);
    try {
      write();
    } catch (...) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// As user 4242 of group 4242, also in group 4343.
bool BecomeTeamMember() {
  const gid_t team = 4343;
  return ::setgroups(1, &team) == 0 && ::setresgid(4242, 4242, 4242) == 0 &&
         ::setresuid(4242, 4242, 4242) == 0;
}

// A page in a folder everyone may write, with the owner and mode given and
// the team's group.
std::function<void(Folder&, const std::string&)> TeamPage(uid_t owner, mode_t mode) {
  return [=](Folder& folder, const std::string& page) {
    ::chmod(folder.Path().c_str(), 0777);
    ::chown(page.c_str(), owner, 4343);
    ::chmod(page.c_str(), mode);
  };
}

// The save of `tervane link` by a team member, which exits with `status`.
std::function<void(const std::string&)> SavedByTeamMember(int status) {
  return [=](const std::string& page) {
    EXPECT_EQ(InChild(BecomeTeamMember, [&] { InsertAndSave(page); }), status);
  };
}

// Seeing `source` mounted on `page`: a file mounted on its own, which no
// rename may replace, as in a container.
bool MountOnItsOwn(const std::string& source, const std::string& page) {
  return ::unshare(CLONE_NEWNS) == 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount(source.c_str(), page.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

// A file-size limit that the old page fits and the new one does not, set
// just before the page is written.
bool LimitWritesToTheOldSize() {
  std::signal(SIGXFSZ, SIG_IGN);
  SetBeforeReplaceHook([](const std::string&) {
    const rlimit limit{kOld.size(), kOld.size()};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  return true;
}

#endif

TEST(PageFileCasesTest, WhatThePageKeepsWhateverElseTouchesIt) {
  struct Case {
    const char* what;
    // Makes the page at the path given, and what the write meets there.
    std::function<void(Folder&, const std::string& page)> arrange;
    std::function<void(const std::string& page)> write = InsertAndSave;
    // Part of the Error's text; empty when the write succeeds.
    std::string errHas = {};
    std::string after = kNew;
    // The names in the folder afterwards.
    std::set<std::string> names = {"p.htm"};
    // Whether the page is, besides its bytes, as before the write.
    bool keepsWhatItIs = true;
    bool needsRoot = false;
  };
  const std::size_t limit = std::size_t{32} << 20;
  const Case cases[] = {
      {"a page without anything special", [](Folder&, const std::string&) {}},
      {"another program saves while the page is written: the save is kept",
       [](Folder&, const std::string&) { TheyAlsoSave(1); }, InsertAndSave,
       "another program changed it", kTheirs},
      {"the same, the window's save: it is redone on their page",
       [](Folder&, const std::string&) { TheyAlsoSave(1); }, InsertOnDisk, "", kTheirsAndOurs},
      {"the same, saved again at every try: given up",
       [](Folder&, const std::string&) { TheyAlsoSave(99); }, InsertOnDisk,
       "another program changed it", kTheirs},
      {"a page that would grow past what is read", [](Folder&, const std::string&) {},
       [&](const std::string& page) { FilePage::Open(page)->Replace(std::string(limit + 1, 'x')); },
       "larger than the 32 MiB read", kOld},
#ifdef _WIN32
      {"a read-only page",
       [](Folder&, const std::string& page) {
         ::SetFileAttributesW(fs::path(page).c_str(), FILE_ATTRIBUTE_READONLY);
       },
       InsertAndSave, "it is read-only", kOld},
      {"a device name", [](Folder&, const std::string&) {},
       [](const std::string&) { InsertAndSave("NUL"); }, "not a regular file", kOld},
      {"ReplaceFileW fails with 1175: the page stays",
       [](Folder&, const std::string&) { ReplaceFails(ERROR_UNABLE_TO_REMOVE_REPLACED); },
       InsertAndSave, "replacing it", kOld},
      {"ReplaceFileW fails with 1176: the page stays",
       [](Folder&, const std::string&) { ReplaceFails(ERROR_UNABLE_TO_MOVE_REPLACEMENT); },
       InsertAndSave, "replacing it", kOld},
      {"ReplaceFileW fails with 1177: the new page goes in from where it is",
       [](Folder&, const std::string&) { ReplaceFails(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2); }},
#else
      {"a read-only page", [](Folder&, const std::string& page) { ::chmod(page.c_str(), 0444); },
       InsertAndSave, "it is read-only", kOld},
      {"a FIFO",
       [](Folder&, const std::string& page) {
         ::unlink(page.c_str());
         ::mkfifo(page.c_str(), 0644);
       },
       InsertAndSave, "not a regular file", ""},
      {"a device", [](Folder&, const std::string&) {},
       [](const std::string&) { InsertAndSave("/dev/zero"); }, "not a regular file", kOld},
      {"a second hard link, which gets the new page too",
       [](Folder& folder, const std::string& page) {
         fs::create_hard_link(page, folder.Path() / "q.htm");
       },
       [](const std::string& page) {
         InsertAndSave(page);
         EXPECT_EQ(Read(fs::path(page).replace_filename("q.htm").string()), kNew);
       },
       "",
       kNew,
       {"p.htm", "q.htm"}},
      {"a write in place cut short: the old page is put back",
       [](Folder& folder, const std::string& page) {
         fs::create_hard_link(page, folder.Path() / "q.htm");
       },
       [](const std::string& page) {
         EXPECT_EQ(InChild(LimitWritesToTheOldSize, [&] { InsertAndSave(page); }), 1);
       },
       "",
       kOld,
       {"p.htm", "q.htm"}},
      {"an ACL and extended attributes",
       [](Folder&, const std::string& page) {
         Tool("setfacl -m u:4242:rw,g:4343:r '" + page + "' && setfattr -n user.origin -v kept '" +
              page + "'");
       }},
      {"a page of the team's group, saved by a member who is not its owner",
       TeamPage(4001, 0664),
       SavedByTeamMember(0),
       "",
       kNew,
       {"p.htm"},
       true,
       true},
      {"a member's own page of the team's group",
       TeamPage(4242, 0640),
       SavedByTeamMember(0),
       "",
       kNew,
       {"p.htm"},
       true,
       true},
      {"a page the user may not write",
       TeamPage(4001, 0644),
       SavedByTeamMember(1),
       "",
       kOld,
       {"p.htm"},
       true,
       true},
      {"a file mounted on its own name, where renaming is refused (EBUSY)",
       [](Folder& folder, const std::string&) { folder.Write("source.htm", kOld); },
       [](const std::string& page) {
         const std::string source = fs::path(page).replace_filename("source.htm").string();
         EXPECT_EQ(
             InChild([&] { return MountOnItsOwn(source, page); }, [&] { InsertAndSave(page); }), 0);
         EXPECT_EQ(Read(source), kNew);
       },
       "",
       kOld,
       {"p.htm", "source.htm"},
       true,
       true},
#endif
  };
  std::string notRun;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
#ifndef _WIN32
    if (c.needsRoot && ::geteuid() != 0) {
      notRun += std::string("\n  ") + c.what;
      continue;
    }
#endif
    Folder folder;
    const std::string page = folder.Write("p.htm", kOld);
    c.arrange(folder, page);
#ifndef _WIN32
    const std::string before = fs::exists(page) ? WhatItIs(page) : "";
#endif
    try {
      c.write(page);
      EXPECT_EQ(c.errHas, "") << "no error";
    } catch (const Error& error) {
      EXPECT_NE(c.errHas, "") << error.what();
      EXPECT_NE(std::string(error.what()).find(c.errHas), std::string::npos) << error.what();
    }
    SetBeforeReplaceHook({});
#ifdef _WIN32
    win32::replaceFile = ::ReplaceFileW;
    ::SetFileAttributesW(fs::path(page).c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    if (c.keepsWhatItIs && !before.empty()) {
      EXPECT_EQ(WhatItIs(page), before);
    }
#endif
    if (!c.after.empty()) {
      const std::string after = Read(page);
      EXPECT_TRUE(after == c.after) << after.substr(0, 200);
    }
    EXPECT_EQ(folder.Names(), c.names);
  }
  if (!notRun.empty()) GTEST_SKIP() << "Rows that act as another user need root:" << notRun;
}

}  // namespace
}  // namespace tervane::testing
