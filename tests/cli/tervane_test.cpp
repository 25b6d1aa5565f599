// `tervane` end to end: the real program on pages and folders on disk.
#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
}  // namespace tervane::testing
