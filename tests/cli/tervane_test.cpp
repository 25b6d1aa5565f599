// `tervane` end to end: the real program on pages and folders on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/codec/text_codec.h"
#include "tervane/version.h"
#include "tests/cli/tervane_fixture.h"

namespace tervane::testing {
namespace {

// One version, in the form each part shows it: the program, the window's
// notice, the add-in's version texts (and, checked with the packages, the
// package version).
TEST_F(TervaneTest, VersionIsTheOneEveryPartCarries) {
  EXPECT_STREQ(TERVANE_VERSION, "1.3.0");
  EXPECT_STREQ(TERVANE_FILE_VERSION_TEXT, "1.03");
  EXPECT_EQ(texts::kLabel5, "Tervane 2000/9 Ver1.3");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, {"--version", "link"}}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "tervane 1.3.0\n");
  }
}

TEST_F(TervaneTest, ListPrintsTheNamesOfTheChosenKinds) {
  Images("m", {"b.png", "A.jpg", "c.GIF", "d.htm", "e.url", "f.txt", "plain"});
  struct Case {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"list", "--folder", "m"}, "A.jpg\nb.png\nc.GIF\n"},
      {{"list", "--folder", "m", "--kinds", "shortcut,html-text"}, "d.htm\ne.url\nf.txt\n"},
      {{"list", "--folder", "m", "--kinds", "any"},
       "A.jpg\nb.png\nc.GIF\nd.htm\ne.url\nf.txt\nplain\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const Result r = Run(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
  }
}

TEST_F(TervaneTest, LinkWritesBeforeTheBodyEndAndReportsTheCount) {
  Images("site/img", {"a.jpg", "b b.png", "a&b.jpg", "#1.gif", "写真.jpg"});
  const std::string before = Page("<p>hello</p>");
  const std::string page = dir.Write("site/index.html", before);
  const Result r = Run({"link", "site/index.html", "--folder", "site/img"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string markup =
      "<a href=\"img/%231.gif\">#1.gif</a><br>"
      "<a href=\"img/a&amp;b.jpg\">a&amp;b.jpg</a><br>"
      "<a href=\"img/a.jpg\">a.jpg</a><br>"
      "<a href=\"img/b b.png\">b b.png</a><br>"
      "<a href=\"img/写真.jpg\">写真.jpg</a><br>";
  std::string expected = before;
  expected.insert(expected.find("</body>"), markup);
  EXPECT_EQ(TempDir::Read(page), expected);
  EXPECT_EQ(r.out, "アクティブなページ T(URL:file://" + page +
                       ")にリンクを追加\n\n5個のアイテムを追加しました。\n");
}

TEST_F(TervaneTest, DryRunPrintsTheMarkupAndLeavesThePageAlone) {
  Images("site", {"a.jpg", "b.jpg"});
  const std::string before = Page("");
  const std::string page = dir.Write("site/p.htm", before);
  struct Case {
    std::vector<std::string> extra;
    std::string out;
  } cases[] = {
      {{"--mode", "image-link"},
       "<a href=\"a.jpg\"><img src=\"a.jpg\"></a>\n<a href=\"b.jpg\"><img src=\"b.jpg\"></a>\n"},
      {{"b.jpg", "--mode", "image"}, "<img src=\"b.jpg\"><br>\n"},
      {{"a.jpg", "--base", "/"},
       "<a href=\"" + (dir.Path() / "site").string().substr(1) + "/a.jpg\">a.jpg</a><br>\n"},
      {{"a.jpg", "--base", ""},
       "<a href=\"file://" + (dir.Path() / "site").string() + "/a.jpg\">a.jpg</a><br>\n"},
      {{"a.jpg", "--base", "site/sub"}, "<a href=\"../a.jpg\">a.jpg</a><br>\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"link", "site/p.htm", "--dry-run"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    SCOPED_TRACE(c.extra.front());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(TempDir::Read(page), before);
  }
}

TEST_F(TervaneTest, CheckAndMissingUseTheLinksAlreadyInThePage) {
  Images("site/img", {"a.jpg", "b.jpg", "c.jpg"});
  const std::string page = dir.Write(
      "site/p.htm", Page("<a href=\"img/b.jpg\">b</a><map><area href=\"img/c.jpg\"></map>"));

  const Result check = Run({"check", "site/p.htm", "--folder", "site/img"});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(
      check.out,
      "b.jpg\nc.jpg\nアクティブなページ T(URL:file://" + page +
          ")のリンクを検査\n\n参照ディレクトリ img/にリンクされているファイルが2個あります。\n");

  const Result missing =
      Run({"link", "site/p.htm", "--folder", "site/img", "--missing", "--dry-run"});
  EXPECT_EQ(missing.status, 0) << missing.err;
  EXPECT_EQ(missing.out, "<a href=\"img/a.jpg\">a.jpg</a><br>\n");

  ASSERT_EQ(Run({"link", "site/p.htm", "--folder", "site/img", "--missing"}).status, 0);
  const Result again = Run({"link", "site/p.htm", "--folder", "site/img", "--missing"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "ファイルが選択されていません。\n");
  EXPECT_EQ(again.out, "");
}

TEST_F(TervaneTest, ShiftJisPagesAreWrittenInShiftJis) {
  Images("site", {"写真 1.jpg", "a&b.jpg"});
  const std::string head = "<meta charset=\"Shift_JIS\"><title>\x83\x65\x83\x58\x83\x67</title>";
  const std::string before = Page("<p>\x95\x5c</p>", head);  // 表: its second byte is "\"
  const std::string page = dir.Write("site/sjis.htm", before);
  const Result r = Run({"link", "site/sjis.htm"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected = before;
  expected.insert(expected.find("</body>"), *Encode(Charset::kCp932,
                                                    "<a href=\"a&amp;b.jpg\">a&amp;b.jpg</a><br>"
                                                    "<a href=\"写真 1.jpg\">写真 1.jpg</a><br>"));
  EXPECT_EQ(TempDir::Read(page), expected);
  EXPECT_NE(r.out.find("アクティブなページ テスト(URL:"), std::string::npos);

  // A name Shift_JIS cannot hold is refused, and the page stays as it was.
  Images("site", {"한.jpg"});
  const std::string written = TempDir::Read(page);
  const Result refused = Run({"link", "site/sjis.htm", "한.jpg"});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("エラーが発生しました\n"), std::string::npos);
  EXPECT_NE(refused.err.find("Shift_JIS"), std::string::npos) << refused.err;
  EXPECT_EQ(TempDir::Read(page), written);
}

TEST_F(TervaneTest, FailuresSayWhatWentWrongAndLeaveThePageAlone) {
  Images("site", {"a.jpg"});
  const std::string before = Page("");
  const std::string page = dir.Write("site/p.htm", before);
  dir.Write("site/bom16.htm", "\xff\xfe<\0h\0");
  dir.Write("site/open-comment.htm", "<html><body><p>x</p><!-- </body></html>");
  // A folder that exists but cannot be read. Root reads any folder: as root,
  // those rows run the program as another user.
  const std::filesystem::path locked = dir.Path() / "site" / "locked";
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  const std::string otherUser =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errHas;
    std::string shell = {};
  } cases[] = {
      {{"link", "site/p.htm", "--frobnicate"}, 2, "frobnicate"},
      {{"link", "site/p.htm", "nothere.jpg"}, 2, "nothere.jpg"},
      {{"link", "site/p.htm", "a.jpg", "--missing"}, 2, "--missing"},
      {{"link", "site/p.htm", "--kinds", "jpeg,"}, 2, "--kinds"},
      {{"link", "site/p.htm", "--kinds", "any,jpeg"}, 2, "--kinds"},
      {{"link", "site/p.htm", "--mode", "bold"}, 2, "--mode"},
      {{"link", "site/p.htm", "--thumbs"}, 2, "--thumbs need --mode"},
      {{"link", "site/p.htm", "--mode", "image", "--thumbs=../t"}, 2, "inside the material"},
      {{"link", "site/p.htm", "--mode", "image", "--thumb-size", "200"}, 2, "needs --thumbs"},
      {{"link", "site/p.htm", "--mode", "image", "--thumbs", "--thumb-size", "8"}, 2, "range"},
      {{"sync", "site/p.htm", "--mode", "image", "--thumbs"}, 2, "need --folder"},
      {{"link", "site/none.htm", "--folder", "nowhere"}, 2, "nowhere"},
      {{"link", "site/none.htm"}, 3, "none.htm"},
      {{"link", "site/bom16.htm"}, 3, "bom16.htm"},
      {{"link", "site/open-comment.htm"}, 3, "inside a comment"},
      {{"check", "site/p.htm", "--folder", "site/p.htm"}, 2, "p.htm"},
      {{"list", "--folder", "site/locked"}, 2, "locked", otherUser},
      {{"link", "site/p.htm", "--folder", "site/locked"}, 3, "locked", otherUser},
      {{}, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.back());
    const Result r = Run(c.args, c.shell);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(TempDir::Read(page), before);
  }
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

// Real faults while the page is written: the program says what failed, the
// page is byte for byte as it was, and nothing is left beside it.
TEST_F(TervaneTest, FaultsWhileWritingLoseNothing) {
  Images("site", {"a.jpg"});
  const std::string before = Page(std::string(64 * 1024, 'x'));
  const std::string page = dir.Write("site/p.htm", before);
  // A read-only folder stops everyone but root: as root, the program runs as
  // another user, for whom the folder is read-only.
  const bool root = ::geteuid() == 0;
  const std::string otherUser = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  struct Case {
    const char* what;
    std::string shell;
    std::string page;
    std::function<void()> arrange;
    std::string errHas;
  } cases[] = {
      {"file-size limit", "ulimit -f 16;", "site/p.htm", [] {}, "File too large"},
      {"file-size limit, SIGXFSZ ignored", "trap '' XFSZ; ulimit -f 16;", "site/p.htm", [] {},
       "File too large"},
      {"read-only folder", otherUser, "site/p.htm",
       [&] {
         std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
         std::filesystem::permissions(dir.Path() / "site", std::filesystem::perms(0555));
       },
       "Permission denied"},
      {"no such folder", "", "site/gone/p.htm", [] {}, "gone/p.htm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    const Result r = Run({"link", c.page}, c.shell);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() / "site"), {}), 2);
    std::filesystem::permissions(dir.Path() / "site", std::filesystem::perms(0755));
  }
}

// Runs started together on one page, half of them through a symbolic link to
// it: each waits for the page, reads it as the run before left it, and adds
// its own link, so every link is there exactly once and every run says so.
TEST_F(TervaneTest, ParallelRunsOnOnePageLoseNoLink) {
  // Under a checker each run is slow enough that forty would outlast the
  // wait; a few, with a longer wait, still meet on the page.
  const char* wrapper = std::getenv("TERVANE_WRAPPER");
  const int runs = wrapper ? 6 : 40;
  const std::string page = dir.Write("site/p.html", Page(""));
  std::filesystem::create_symlink("p.html", dir.Path() / "site/alias.html");
  // Run i links f<i>.jpg; the even runs go through the symbolic link.
  const std::string one =
      (wrapper ? "TERVANE_LOCK_TIMEOUT_MS=600000 " + std::string(wrapper) : "") + " " +
      Quote(TERVANE_BINARY) + " link $page f$i.jpg --folder img" + " >/dev/null 2>>" +
      Quote(io / "err") + " || echo $i >>" + Quote(io / "failed");
  const std::string script =
      "cd " + Quote(dir / "site") + " && for i in $(seq 1 " + std::to_string(runs) +
      "); do page=p.html; [ $((i % 2)) = 0 ] && page=alias.html; (" + one + ") & done; wait";
  for (int i = 1; i <= runs; ++i) dir.Write("site/img/f" + std::to_string(i) + ".jpg", "img");

  ASSERT_EQ(std::system(script.c_str()), 0);
  EXPECT_EQ(TempDir::Read(io / "failed"), "");
  EXPECT_EQ(TempDir::Read(io / "err"), "");
  const std::string written = TempDir::Read(page);
  for (int i = 1; i <= runs; ++i) {
    const std::string link = "<a href=\"img/f" + std::to_string(i) + ".jpg\">";
    const std::size_t first = written.find(link);
    EXPECT_NE(first, std::string::npos) << link;
    EXPECT_EQ(written.find(link, first + 1), std::string::npos) << link;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "site/alias.html"));
  EXPECT_EQ(TempDir::Names(dir.Path() / "site"),
            (std::set<std::string>{"alias.html", "img", "p.html"}));
}

// Another writer holds the page (here the test, with flock, as a run of
// tervane does): `link` gives up after the wait it was given, says why and
// leaves the page alone; `check` and --dry-run only read, and do not wait.
TEST_F(TervaneTest, AHeldPageIsNotWrittenAndStillRead) {
  Images("site", {"a.jpg"});
  const std::string before = Page("");
  const std::string page = dir.Write("site/p.htm", before);
  const int held = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errHas;
  } cases[] = {
      {{"link", "site/p.htm"},
       3,
       "tervane: cannot write " + page + ": another program is writing it (gave up after 0.3 s)"},
      {{"link", "site/p.htm", "--dry-run"}, 0, ""},
      {{"check", "site/p.htm"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const Result r = Run(c.args, "export TERVANE_LOCK_TIMEOUT_MS=300;");
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), before);
    EXPECT_EQ(TempDir::Names(dir.Path() / "site"), (std::set<std::string>{"a.jpg", "p.htm"}));
  }
  ::close(held);
}

// The page a run waits on is replaced by the writer it waits for: the run
// goes on to wait for the page now under the name, which the next writer
// (here the test) holds, instead of writing over that writer's work.
TEST_F(TervaneTest, ARunWaitingOnAReplacedPageWaitsOnItsReplacement) {
  Images("site", {"a.jpg"});
  const std::string page = dir.Write("site/p.htm", Page(""));
  const int old = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(old, LOCK_EX), 0);
  const pid_t run = ::fork();
  ASSERT_GE(run, 0);
  if (run == 0) {
    // The lock belongs to the open file, which the copy of `old` would keep.
    ::close(old);
    ::_exit(Run({"link", "site/p.htm"}, "export TERVANE_LOCK_TIMEOUT_MS=1500;").status);
  }
  // Lets the run open the page and start waiting; if it starts later, it
  // waits on the replacement from the start, which it must do as well.
  ::usleep(300 * 1000);
  const std::string replacement = Page("<p>new</p>");
  dir.Write("site/new.htm", replacement);
  std::filesystem::rename(dir / "site/new.htm", page);
  const int current = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(current, LOCK_EX), 0);
  ::close(old);

  int status = 0;
  ASSERT_EQ(::waitpid(run, &status, 0), run);
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(TempDir::Read(page), replacement);
  ::close(current);
}

// A writer killed while it holds the page leaves no lock behind: the next run
// writes at once, within its usual wait.
TEST_F(TervaneTest, AWriterKilledWhileHoldingThePageLeavesNoLock) {
  Images("site", {"a.jpg"});
  const std::string page = dir.Write("site/p.htm", Page(""));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const int fd = ::open(page.c_str(), O_RDONLY);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(1);
    if (::write(ready[1], "h", 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char signal = 0;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(::kill(holder, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);

  const Result r = Run({"link", "site/p.htm"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(TempDir::Read(page).find("<a href=\"a.jpg\">"), std::string::npos);
}

}  // namespace
}  // namespace tervane::testing
