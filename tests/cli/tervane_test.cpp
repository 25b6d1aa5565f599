// `tervane` end to end: the real program on pages and folders on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/codec/text_codec.h"
#include "tervane/version.h"
#include "tests/cli/tervane_fixture.h"
#include "tests/support/page_encoding_rows.h"

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
}

// Every encoding a browser reads, declared in every way: the page gains the
// four links and not one other byte changes, and the links are found again;
// sync writes the same links in a block and finds them again.
TEST_F(TervaneTest, PagesInEveryEncodingGainTheirLinksAndNothingElse) {
  for (const std::string& name : EncodingRowNames()) dir.Write("site/" + name, "img");
  for (const PageEncodingRow& row : PageEncodingRows()) {
    SCOPED_TRACE(row.what);
    const std::string page = dir.Write("site/p.htm", row.page);
    const Result linked = Run({"link", "site/p.htm"});
    ASSERT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(TempDir::Read(page), PageWithLinks(row));
    const Result checked = Run({"check", "site/p.htm"});
    EXPECT_NE(checked.out.find("ファイルが4個あります。"), std::string::npos) << checked.out;
    const Result missing = Run({"link", "site/p.htm", "--missing"});
    EXPECT_EQ(missing.status, 1) << missing.err;

    // Under a checker (valgrind) each run takes seconds: sync there on the
    // UTF-16 pages alone, whose characters are units of two bytes.
    if (std::getenv("TERVANE_WRAPPER") != nullptr && !row.what.starts_with("UTF-16")) continue;
    dir.Write("site/p.htm", row.page);
    const Result synced = Run({"sync", "site/p.htm", "--folder", "site"});
    ASSERT_EQ(synced.status, 0) << synced.err;
    EXPECT_EQ(
        TempDir::Read(page),
        PageWithBlock(row, "<!-- tervane folder=\".\" kinds=\"jpeg,gif-png\" mode=\"text\" -->"));
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
}

TEST_F(TervaneTest, FailuresSayWhatWentWrongAndLeaveThePageAlone) {
  Images("site", {"a.jpg"});
  const std::string before = Page("");
  const std::string page = dir.Write("site/p.htm", before);
  dir.Write("site/iso2022.htm", "<meta charset=iso-2022-jp><body>\x1B$B$3\x1B(B</body>");
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
      {{"link", "site/p.htm", "--thumbs"}, 2, "--thumbs and --lazy need --mode"},
      {{"link", "site/p.htm", "--mode", "image", "--thumbs=../t"}, 2, "inside the material"},
      {{"link", "site/p.htm", "--mode", "image", "--thumb-size", "200"}, 2, "needs --thumbs"},
      {{"link", "site/p.htm", "--mode", "image", "--thumbs", "--thumb-size", "8"}, 2, "range"},
      {{"sync", "site/p.htm", "--mode", "image", "--thumbs"}, 2, "need --folder"},
      {{"link", "site/none.htm", "--folder", "nowhere"},
       2,
       "folder not found: nowhere (tried " + (dir / "nowhere") + ", from the current folder)"},
      {{"link", "site/none.htm"},
       3,
       "tervane: cannot read " + (dir / "site/none.htm") + ": No such file or directory\n"},
      {{"link", "site/iso2022.htm"}, 3, "ISO-2022-JP"},
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
  // another user, for whom the folder is read-only and the page writable.
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
         std::filesystem::permissions(page, std::filesystem::perms(0666));
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
    EXPECT_EQ(r.err.find(": Cannot"), std::string::npos) << r.err;  // the page named once
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
// tervane does): `link` and `sync` give up after the wait they were given,
// say why and leave the page alone; `check`, --check and --dry-run only
// read, and do not wait.
TEST_F(TervaneTest, AHeldPageIsNotWrittenAndStillRead) {
  Images("site", {"a.jpg"});
  const std::string before = Page("<!-- tervane folder=\".\" -->\n<!-- /tervane -->");
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
      {{"sync", "site/p.htm"},
       3,
       "tervane: cannot write " + page + ": another program is writing it (gave up after 0.3 s)"},
      {{"sync", "site/p.htm", "--check"}, 1, "out of step"},
      {{"sync", "site/p.htm", "--dry-run"}, 0, ""},
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
  // Held before it takes the page's name, so that the run never finds it free.
  const int current = ::open((dir / "site/new.htm").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(current, LOCK_EX), 0);
  std::filesystem::rename(dir / "site/new.htm", page);
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

// Other programs at the page while a run writes it: an editor that saves
// (here a hook the program runs just before it replaces the page, which
// saves the page the first `n` times), a signal that ends the run, another
// user of the page's group. The other program's save is kept, the page is
// old or new and whole, and nothing is left beside it.
TEST_F(TervaneTest, ARunKeepsWhatOtherProgramsDoToThePage) {
  Images("site", {"a.jpg"});
  const std::string link = "<a href=\"a.jpg\">a.jpg</a><br>";
  const bool root = ::geteuid() == 0;
  // Appends a line to the page the first `n` times it is about to be replaced.
  const auto saves = [&](int n) {
    return "export TERVANE_TEST_BEFORE_REPLACE='n=$(cat " + io / "saves" +
           " 2>/dev/null || echo 0); echo $((n + 1)) >" + io / "saves" + "; [ $n -lt " +
           std::to_string(n) + " ] && echo \"<p>saved $n</p>\" >>\"$TERVANE_PAGE\"; true';";
  };
  const auto signal = [](const char* name) {
    return std::string("export TERVANE_TEST_BEFORE_REPLACE='kill -") + name + " $PPID';";
  };
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string shell;
    int status;  // -2: ended by the signal
    std::string errHas;
    std::vector<std::string> pageHas;  // empty: the page is as it was
    bool needsRoot = false;
    // Under a checker (valgrind) each run takes many seconds: that pass
    // runs one row of each kind, the plain pass all of them.
    bool underChecker = true;
  } cases[] = {
      {"an editor saves during link",
       {"link", "site/p.htm"},
       saves(1),
       0,
       "",
       {"<p>saved 0</p>", link}},
      {"an editor saves during sync",
       {"sync", "site/p.htm", "--folder", "site"},
       saves(2),
       0,
       "",
       {"<p>saved 0</p>", "<p>saved 1</p>", "<!-- tervane folder=\".\"", link}},
      {"an editor saves at every try",
       {"link", "site/p.htm"},
       saves(99),
       3,
       "another program changed it 5 times",
       {"<p>saved 4</p>"},
       false,
       false},
      {"SIGINT", {"link", "site/p.htm"}, signal("INT"), -2, "", {}, false, false},
      {"SIGTERM", {"sync", "site/p.htm", "--folder", "site"}, signal("TERM"), -2, "", {}},
      {"SIGHUP", {"link", "site/p.htm"}, signal("HUP"), -2, "", {}, false, false},
      {"SIGPIPE", {"link", "site/p.htm"}, signal("PIPE"), -2, "", {}, false, false},
      {"a FIFO passed by mistake",
       {"check", "site/fifo.htm"},
       "timeout 300",
       3,
       "not a regular file",
       {}},
      {"a FIFO passed by mistake to sync",
       {"sync", "site/fifo.htm", "--folder", "site"},
       "timeout 300",
       3,
       "not a regular file",
       {},
       false,
       false},
      {"a team member who does not own the page",
       {"link", "site/p.htm"},
       "setpriv --reuid=4242 --regid=4242 --groups=4343",
       0,
       "",
       {link},
       true},
  };
  const bool underChecker = std::getenv("TERVANE_WRAPPER") != nullptr;
  std::string notRun;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (underChecker && !c.underChecker) continue;
    if (c.needsRoot && !root) {
      notRun += std::string("\n  ") + c.what;
      continue;
    }
    std::filesystem::remove(io / "saves");
    const std::string before = Page("<p>mine</p>");
    const std::string page = dir.Write("site/p.htm", before);
    std::filesystem::remove(dir / "site/fifo.htm");
    ASSERT_EQ(::mkfifo((dir / "site/fifo.htm").c_str(), 0644), 0);
    if (c.needsRoot) {
      std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
      std::filesystem::permissions(dir.Path() / "site", std::filesystem::perms(0777));
      ASSERT_EQ(::chown(page.c_str(), 4001, 4343), 0);
      std::filesystem::permissions(page, std::filesystem::perms(0664));
    }
    const Result r = Run(c.args, c.shell);
    if (c.status == -2) {
      EXPECT_NE(r.status, 0);
      EXPECT_NE(r.status, 3);
    } else {
      EXPECT_EQ(r.status, c.status) << r.err;
    }
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    const std::string after = TempDir::Read(page);
    if (c.pageHas.empty()) {
      EXPECT_EQ(after, before);
    }
    for (const std::string& piece : c.pageHas) {
      EXPECT_NE(after.find(piece), std::string::npos) << piece << " in\n" << after;
    }
    EXPECT_EQ(TempDir::Names(dir.Path() / "site"),
              (std::set<std::string>{"a.jpg", "fifo.htm", "p.htm"}));
    if (c.needsRoot) {
      struct stat info {};
      ASSERT_EQ(::stat(page.c_str(), &info), 0);
      EXPECT_EQ(info.st_uid, 4001u);
      EXPECT_EQ(info.st_gid, 4343u);
      EXPECT_EQ(info.st_mode & 07777, 0664u);
    }
  }
  if (!notRun.empty()) GTEST_SKIP() << "Rows that run as another user need root:" << notRun;
}

}  // namespace
}  // namespace tervane::testing
