// `tervane sync` end to end: blocks of links kept in step with their folders
// on pages on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "addin/platform/codec/text_codec.h"
#include "tests/cli/tervane_fixture.h"

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;

std::string Block(const std::string& settings, const std::string& lines) {
  return "<!-- tervane " + settings + " -->\n" + lines + "<!-- /tervane -->";
}

std::string TextLinks(const std::string& folder, std::initializer_list<const char*> names) {
  std::string lines;
  for (const char* name : names) {
    lines += "<a href=\"" + folder + name + "\">" + name + "</a><br>\n";
  }
  return lines;
}

struct timespec ModificationTime(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mtim;
}

class SyncTest : public TervaneTest {
 protected:
  // A page whose body holds `body`, before a paragraph that must stay.
  std::string SitePage(const std::string& body) { return Page("<p>mine</p>\n" + body); }
};

// One page followed through the life of its folder: the first sync adds the
// block where `link` inserts; each later sync makes the block list the
// folder, and touches nothing when the folder did not change.
TEST_F(SyncTest, TheBlockFollowsItsFolder) {
  Images("site/img", {"b.jpg", "a.png"});
  const std::string page = dir.Write("site/p.htm", SitePage(""));
  const std::string settings = "folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"text\"";
  const std::string blockEnd = "\n<!-- /tervane -->\n";
  struct Case {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> args;
    std::string lines;
    bool written;
  } cases[] = {
      {"first sync", [] {}, {"--folder", "site/img"}, TextLinks("img/", {"a.png", "b.jpg"}), true},
      {"again, unchanged", [] {}, {}, TextLinks("img/", {"a.png", "b.jpg"}), false},
      {"again with the same settings",
       [] {},
       {"--folder", "site/img"},
       TextLinks("img/", {"a.png", "b.jpg"}),
       false},
      {"a file added",
       [&] { Images("site/img", {"c d.gif"}); },
       {},
       TextLinks("img/", {"a.png", "b.jpg", "c d.gif"}),
       true},
      {"a file removed",
       [&] { fs::remove(dir.Path() / "site/img/a.png"); },
       {},
       TextLinks("img/", {"b.jpg", "c d.gif"}),
       true},
      {"a file renamed",
       [&] { fs::rename(dir.Path() / "site/img/b.jpg", dir.Path() / "site/img/写真.jpg"); },
       {},
       TextLinks("img/", {"c d.gif", "写真.jpg"}),
       true},
      {"a file of another kind added",
       [&] { Images("site/img", {"notes.txt"}); },
       {},
       TextLinks("img/", {"c d.gif", "写真.jpg"}),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    const std::string before = TempDir::Read(page);
    const struct timespec time = ModificationTime(page);
    ::usleep(10 * 1000);
    std::vector<std::string> check = {"sync", "site/p.htm", "--check"};
    check.insert(check.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(Run(check).status, c.written ? 1 : 0);
    EXPECT_EQ(TempDir::Read(page), before);

    std::vector<std::string> args = {"sync", "site/p.htm"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(TempDir::Read(page), SitePage("\n" + Block(settings, c.lines)));
    const struct timespec after = ModificationTime(page);
    EXPECT_EQ(after.tv_sec == time.tv_sec && after.tv_nsec == time.tv_nsec, !c.written);
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
  EXPECT_EQ(TempDir::Names(dir.Path() / "site"), (std::set<std::string>{"img", "p.htm"}));

  // Other settings for the folder on the command line replace the block's.
  const Result r =
      Run({"sync", "site/p.htm", "--folder", "site/img", "--kinds", "gif-png", "--mode", "image"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(TempDir::Read(page),
            SitePage("\n" + Block("folder=\"img\" kinds=\"gif-png\" mode=\"image\"",
                                  "<img src=\"img/c d.gif\"><br>\n")));
}

// A page with CRLF line ends gets its block's lines with CRLF too.
TEST_F(SyncTest, ABlockTakesThePagesLineEnds) {
  Images("site", {"a.jpg", "b.jpg"});
  const std::string page = dir.Write("site/p.htm",
                                     "<html>\r\n<body>\r\n<!-- tervane folder=\".\" -->\r\n"
                                     "<!-- /tervane -->\r\n</body>\r\n</html>\r\n");
  const Result r = Run({"sync", "site/p.htm"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(TempDir::Read(page),
            "<html>\r\n<body>\r\n<!-- tervane folder=\".\" -->\r\n"
            "<a href=\"a.jpg\">a.jpg</a><br>\r\n<a href=\"b.jpg\">b.jpg</a><br>\r\n"
            "<!-- /tervane -->\r\n</body>\r\n</html>\r\n");
}

// Blocks the page describes itself, with different folders and modes, and
// markers where the parser finds no comment: each block is regenerated from
// its own settings, and every byte outside the blocks stays.
TEST_F(SyncTest, EveryBlockKeepsItsOwnSettings) {
  Images("site/img", {"a.jpg", "b.gif"});
  Images("site/docs", {"x.txt", "y.htm", "z.jpg"});
  const std::string decoys =
      "<script>var s = '<!-- tervane folder=\"nowhere\" -->';</script>\n"
      "<!-- an old block: <!-- tervane folder=\"nowhere\" --> -->\n"
      "<p title=\"<!-- /tervane -->\">attribute</p>\n"
      "<textarea><!-- tervane folder=\"nowhere\" --></textarea>\n"
      "<style>/* <!-- /tervane --> */</style>\n"
      "<?tervane folder=\"nowhere\"?>\n";
  const std::string first = "folder=\"img\" mode=\"image-link\"";
  const std::string second = "folder=\"docs/\"  kinds=\"html-text\"";
  // The same folder and kinds as the first block, right after it.
  const std::string third = "folder=\"./img\" mode=\"image\"";
  const std::string page = dir.Write(
      "site/p.htm", SitePage(decoys + "<div>" + Block(first, "<p>stale</p>\n") + "</div>\n" +
                             Block(third, "") + "<ul><li>" + Block(second, "") + "</li></ul>"));
  const Result r = Run({"sync", "site/p.htm"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      TempDir::Read(page),
      SitePage(decoys + "<div>" +
               Block(first,
                     "<a href=\"img/a.jpg\"><img src=\"img/a.jpg\"></a>\n"
                     "<a href=\"img/b.gif\"><img src=\"img/b.gif\"></a>\n") +
               "</div>\n" +
               Block(third, "<img src=\"img/a.jpg\"><br>\n<img src=\"img/b.gif\"><br>\n") +
               "<ul><li>" + Block(second, TextLinks("docs/", {"x.txt", "y.htm"})) + "</li></ul>"));
  EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);

  // The decoys alone are no block.
  const std::string only = dir.Write("site/decoys.htm", SitePage(decoys));
  const Result none = Run({"sync", "site/decoys.htm"});
  EXPECT_EQ(none.status, 3);
  EXPECT_NE(none.err.find("has no block"), std::string::npos) << none.err;
  EXPECT_EQ(TempDir::Read(only), SitePage(decoys));
}

// A page whose markers cannot be read, or whose block names a folder that
// does not exist, is not written at all, not even its other blocks; the
// message names the line.
TEST_F(SyncTest, UnreadableBlocksFailTheWholeRun) {
  Images("site/img", {"a.jpg"});
  const std::string good = Block("folder=\"img\"", "") + "\n";
  struct Case {
    std::string body;
    std::string errHas;
  } cases[] = {
      {good + "<!-- /tervane -->", "p.htm:7: a block end (<!-- /tervane -->) without a start"},
      {good + "<!-- tervane folder=\"img\" -->", "p.htm:7: the block that starts here has no end"},
      {"<!-- tervane folder=\"img\" -->\n" + good + "<!-- /tervane -->",
       "p.htm:6: a block starts inside the block of line 5"},
      {good + Block("folder=\"img\" colour=\"red\"", ""),
       "p.htm:7: cannot read the block's "
       "settings: unknown setting 'colour'"},
      {good + Block("mode=\"image\"", ""), "p.htm:7: cannot read the block's settings: no folder"},
      {good + Block("folder=\"img\" mode=\"bold\"", ""), "invalid mode 'bold'"},
      {good + Block("folder=\"img\" kinds=\"jpeg,\"", ""), "invalid kinds 'jpeg,'"},
      {good + Block("folder=img", ""), "'folder' needs a value in double quotes"},
      {good + Block("folder=\"img\" size", ""), "size and alt need mode"},
      {good + Block("folder=\"img\" lazy", ""), "lazy needs mode"},
      {good + Block("folder=\"img\" sort=\"date\"", ""), "invalid sort 'date'"},
      {good + Block("folder=\"img\" class=\"\"", ""), "the class is empty"},
      {good + Block("folder=\"img\" reverse=\"yes\"", ""), "'reverse' takes no value"},
      {good + Block("folder=\"img\" folder=\"img\"", ""), "'folder' is given twice"},
      {good + Block("folder=\"gone\"", ""), "p.htm:7: the block's folder does not exist: gone"},
      {"<select><option>" + good + "</select>", "would not be links"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const std::string before = SitePage(c.body);
    const std::string page = dir.Write("site/p.htm", before);
    const Result r = Run({"sync", "site/p.htm"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), before);
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 3);
  }
  const Result usage = Run({"sync", "site/p.htm", "--mode", "image"});
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("need --folder"), std::string::npos) << usage.err;
}

// Pages in Shift_JIS and EUC-JP, Japanese folder and file names: the block
// is read and written in the page's own encoding.
TEST_F(SyncTest, JapanesePagesStayInTheirEncoding) {
  Images("site/写真", {"夏.jpg", "冬.jpg"});
  for (const Charset charset : {Charset::kCp932, Charset::kEucJp}) {
    const std::string label = charset == Charset::kCp932 ? "Shift_JIS" : "EUC-JP";
    SCOPED_TRACE(label);
    const auto encoded = [&](const std::string& utf8) { return *Encode(charset, utf8); };
    const std::string head =
        "<meta charset=\"" + label + "\"><title>" + encoded("表題") + "</title>";
    const std::string settings = "folder=\"写真\" kinds=\"jpeg\" mode=\"text\"";
    const std::string page =
        dir.Write("site/p.htm", Page(encoded("<p>表</p>\n" + Block(settings, "")), head));
    const Result r = Run({"sync", "site/p.htm"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        TempDir::Read(page),
        Page(encoded("<p>表</p>\n" + Block(settings, TextLinks("写真/", {"冬.jpg", "夏.jpg"}))),
             head));
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
}

// Another writer holds the page: sync gives up after its wait and writes
// nothing; --check and --dry-run only read, and do not wait.
TEST_F(SyncTest, AHeldPageIsNotWritten) {
  Images("site", {"a.jpg"});
  const std::string before = Page(Block("folder=\".\"", ""));
  const std::string page = dir.Write("site/p.htm", before);
  const int held = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string errHas;
  } cases[] = {
      {{"sync", "site/p.htm"}, 3, "another program is writing it (gave up after 0.3 s)"},
      {{"sync", "site/p.htm", "--check"}, 1, "out of step"},
      {{"sync", "site/p.htm", "--dry-run"}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const Result r = Run(c.args, "export TERVANE_LOCK_TIMEOUT_MS=300;");
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), before);
  }
  ::close(held);
}

// --dry-run shows the change as a unified diff of the page's text (in
// UTF-8), hunk for hunk what diff -u shows, and writes nothing.
TEST_F(SyncTest, DryRunPrintsTheChangeAsADiff) {
  const std::string settings = "folder=\"img\" kinds=\"jpeg\" mode=\"text\"";
  const auto links = [](const std::string& names) {
    std::string lines;
    for (const char name : names) {
      const std::string file = std::string(1, name) + ".jpg";
      lines += "<a href=\"img/" + file + "\">" + file + "</a><br>\n";
    }
    return lines;
  };
  const struct {
    std::string before, after;
  } cases[] = {
      {"abcdefghij", "acdefghijk"},  // two hunks
      {"abcdefgh", "acdefghi"},      // changes six lines apart: one hunk
      {"", "ab"},
      {"abcdefghijklmnop", "p"},
      {"b", "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before + " -> " + c.after);
    fs::remove_all(dir.Path() / "site");
    for (const char name : c.after) Images("site/img", {(std::string(1, name) + ".jpg").c_str()});
    fs::create_directories(dir.Path() / "site/img");
    const std::string before = Page(Block(settings, links(c.before)));
    const std::string page = dir.Write("site/p.htm", before);
    dir.Write("after.htm", Page(Block(settings, links(c.after))));
    const Result r = Run({"sync", "site/p.htm", "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::system(("diff -u " + Quote(page) + " " + Quote(dir / "after.htm") + " | tail -n +3 >" +
                 Quote(io / "diff"))
                    .c_str());
    EXPECT_EQ(r.out, "--- " + page + "\n+++ " + page + "\n" + TempDir::Read(io / "diff"));
    EXPECT_EQ(TempDir::Read(page), before);
  }
}

// --size and --alt, for link and sync: the size comes from the picture's
// header; a picture whose header cannot be read gets none, and no failure.
TEST_F(SyncTest, PicturesCarryTheirSizeAndName) {
  const std::string png =
      std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x02\x80\0\0\x01\xE0", 24);
  const std::string gif = std::string("GIF89a\x03\0\x02\0", 10);
  dir.Write("site/img/a.png", png + "rest");
  dir.Write("site/img/b&c.gif", gif);
  dir.Write("site/img/cut.png", png.substr(0, 20));
  dir.Write("site/p.htm", Page(""));
  const std::string sized =
      "<img src=\"img/a.png\" width=\"640\" height=\"480\" alt=\"a\"><br>\n"
      "<img src=\"img/b&amp;c.gif\" width=\"3\" height=\"2\" alt=\"b&amp;c\"><br>\n"
      "<img src=\"img/cut.png\" alt=\"cut\"><br>\n";
  const Result linked = Run({"link", "site/p.htm", "--folder", "site/img", "--mode", "image",
                             "--size", "--alt", "--dry-run"});
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_EQ(linked.out, sized);
  const Result link = Run(
      {"link", "site/p.htm", "a.png", "--folder", "site/img", "--mode", "image-link", "--size"});
  EXPECT_EQ(link.status, 0) << link.err;
  std::string expected = Page("");
  expected.insert(expected.find("</body>"),
                  "<a href=\"img/a.png\"><img src=\"img/a.png\" width=\"640\" height=\"480\"></a>");
  EXPECT_EQ(TempDir::Read(dir / "site/p.htm"), expected);

  dir.Write("site/p.htm", Page(""));
  const Result synced =
      Run({"sync", "site/p.htm", "--folder", "site/img", "--mode", "image", "--size", "--alt"});
  EXPECT_EQ(synced.status, 0) << synced.err;
  EXPECT_EQ(
      TempDir::Read(dir / "site/p.htm"),
      Page("\n" + Block("folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"image\" size alt", sized)));
  EXPECT_EQ(Run({"link", "site/p.htm", "--size"}).status, 2);
}

}  // namespace
}  // namespace tervane::testing
