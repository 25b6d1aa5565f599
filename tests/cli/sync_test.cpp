// `tervane sync` end to end: blocks of links kept in step with their folders
// on pages on disk.
#include <gtest/gtest.h>
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

// `text` (UTF-8) as a page in UTF-16 that opens with its byte-order mark,
// as Notepad saves "Unicode".
std::string Utf16Page(Charset charset, const std::string& text) {
  return (charset == Charset::kUtf16Le ? "\xFF\xFE" : "\xFE\xFF") + *Encode(charset, text);
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
// folder, keeps what a person wrote in it, and touches nothing when the
// folder did not change.
TEST_F(SyncTest, TheBlockFollowsItsFolder) {
  Images("site/img", {"b.jpg", "a.png"});
  const std::string page = dir.Write("site/p.htm", SitePage(""));
  const std::string settings = "folder=\"img\" kinds=\"jpeg,gif-png\" mode=\"text\"";
  const auto edit = [&](const std::string& from, const std::string& to) {
    std::string text = TempDir::Read(page);
    text.replace(text.find(from), from.size(), to);
    dir.Write("site/p.htm", text);
  };
  const std::string walk = "<a href=\"img/c d.gif\">Our walk</a><br>\n";
  const std::string heading = "<h2>Walks</h2>\n";
  const std::string between = "<p>and then</p>\n";
  struct Case {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> args;
    std::string lines;
    bool written;
    std::string errHas = {};
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
      {"an item edited by hand",
       [&] { edit(">c d.gif</a>", ">Our walk</a>"); },
       {},
       walk + TextLinks("img/", {"写真.jpg"}),
       false},
      {"text of its own at the block's start",
       [&] { edit(settings + " -->\n", settings + " -->\n" + heading); },
       {},
       heading + walk + TextLinks("img/", {"写真.jpg"}),
       false},
      {"text of its own between two items",
       [&] { edit(walk, walk + between); },
       {},
       heading + walk + between + TextLinks("img/", {"写真.jpg"}),
       false},
      {"a file added before them",
       [&] { Images("site/img", {"0.png"}); },
       {},
       heading + TextLinks("img/", {"0.png"}) + walk + between + TextLinks("img/", {"写真.jpg"}),
       true},
      {"a file whose name is not UTF-8",
       [&] { Images("site/img", {"\xff.gif"}); },
       {},
       heading + TextLinks("img/", {"0.png"}) + walk + between + TextLinks("img/", {"写真.jpg"}),
       false,
       "p.htm:6: \\xFF.gif is left out of the block: its name is not valid UTF-8"},
      {"the edited item's file removed",
       [&] {
         fs::remove(dir.Path() / "site/img/\xff.gif");
         fs::remove(dir.Path() / "site/img/c d.gif");
         edit(between, "");
       },
       {},
       heading + TextLinks("img/", {"0.png", "写真.jpg"}),
       true,
       "p.htm:9: the item of c d.gif, edited by hand, goes with its file"},
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
    if (c.errHas.empty()) {
      EXPECT_EQ(r.err, "");
    }
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), SitePage("\n" + Block(settings, c.lines)));
    const struct timespec after = ModificationTime(page);
    EXPECT_EQ(after.tv_sec == time.tv_sec && after.tv_nsec == time.tv_nsec, !c.written);
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
  EXPECT_EQ(TempDir::Names(dir.Path() / "site"), (std::set<std::string>{"img", "p.htm"}));

  // Settings given for the folder on the command line replace the block's;
  // those not given stay as the block has them.
  const struct {
    std::vector<std::string> args;
    std::string settings, lines;
  } given[] = {
      {{"--kinds", "gif-png", "--mode", "image"},
       "kinds=\"gif-png\" mode=\"image\"",
       heading + "<img src=\"img/0.png\"><br>\n"},
      {{}, "kinds=\"gif-png\" mode=\"image\"", heading + "<img src=\"img/0.png\"><br>\n"},
      {{"--alt"},
       "kinds=\"gif-png\" mode=\"image\" alt",
       heading + "<img src=\"img/0.png\" alt=\"0\"><br>\n"},
  };
  for (const auto& g : given) {
    std::vector<std::string> args = {"sync", "site/p.htm", "--folder", "site/img"};
    args.insert(args.end(), g.args.begin(), g.args.end());
    SCOPED_TRACE(args.back());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TempDir::Read(page), SitePage("\n" + Block("folder=\"img\" " + g.settings, g.lines)));
  }
}

// A block's lines end as its start comment's line does, whatever the
// page's first line has; lines are counted at CR, LF and CR LF alike.
TEST_F(SyncTest, ABlockTakesItsLinesEnds) {
  Images("site", {"a.jpg", "b.jpg"});
  const std::string items = "<a href=\"a.jpg\">a.jpg</a><br>%<a href=\"b.jpg\">b.jpg</a><br>%";
  const auto ends = [](std::string text, const std::string& end) {
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
      text.replace(at, 1, end);
    }
    return text;
  };
  const std::string start = "<!-- tervane folder=\".\" -->";
  const std::string added = "<!-- tervane folder=\".\" kinds=\"jpeg,gif-png\" mode=\"text\" -->";
  struct Case {
    const char* what;
    std::string before;
    std::vector<std::string> args;
    std::string after;
    std::string errHas = {};
  } cases[] = {
      {"CR LF, the first line LF",
       ends("<html>\n<body>%" + start + "%<!-- /tervane -->%</body>%</html>%", "\r\n"),
       {},
       ends("<html>\n<body>%" + start + "%" + items + "<!-- /tervane -->%</body>%</html>%",
            "\r\n")},
      {"CR",
       ends("<html>%<body>%" + start + "%<!-- /tervane -->%</body>%</html>%", "\r"),
       {},
       ends("<html>%<body>%" + start + "%" + items + "<!-- /tervane -->%</body>%</html>%", "\r")},
      {"a new block, CR LF, the first line LF",
       ends("<html>\n<body>%<p>x</p>%</body>%</html>%", "\r\n"),
       {"--folder", "site"},
       ends("<html>\n<body>%<p>x</p>%" + added + "%" + items + "<!-- /tervane -->%</body>%</html>%",
            "\r\n")},
      {"UTF-16LE, CR LF, the first line LF",
       Utf16Page(Charset::kUtf16Le,
                 ends("<html>\n<body>%" + start + "%<!-- /tervane -->%</body>%</html>%", "\r\n")),
       {},
       Utf16Page(Charset::kUtf16Le, ends("<html>\n<body>%" + start + "%" + items +
                                             "<!-- /tervane -->%</body>%</html>%",
                                         "\r\n"))},
      // U+0D0A is written 0D 0A in UTF-16BE, 0A 0D in UTF-16LE: no line end.
      {"a new block, UTF-16BE, CR LF",
       Utf16Page(Charset::kUtf16Be, ends("<html>\n<body>%<p>\u0D0A</p>%</body>%</html>%", "\r\n")),
       {"--folder", "site"},
       Utf16Page(Charset::kUtf16Be, ends("<html>\n<body>%<p>\u0D0A</p>%" + added + "%" + items +
                                             "<!-- /tervane -->%</body>%</html>%",
                                         "\r\n"))},
      {"a fault on line 5 of a UTF-16LE page with all three",
       Utf16Page(Charset::kUtf16Le,
                 "<html>\r\n<body>\u0D0A\u010A\r<p>\n</p>\r\n<!-- /tervane -->\r"),
       {},
       "",
       "p.htm:5: a block end"},
      {"a fault on line 5 of a CR page",
       ends("<html>%<body>%<p>%</p>%<!-- /tervane -->%", "\r"),
       {},
       "",
       "p.htm:5: a block end"},
      {"a fault on line 5 of a page with all three",
       "<html>\r\n<body>\r<p>\n</p>\r\n<!-- /tervane -->\r",
       {},
       "",
       "p.htm:5: a block end"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string page = dir.Write("site/p.htm", c.before);
    std::vector<std::string> args = {"sync", "site/p.htm"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Run(args);
    EXPECT_EQ(r.status, c.errHas.empty() ? 0 : 3) << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(page), c.errHas.empty() ? c.after : c.before);
  }
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
                     "<p>stale</p>\n<a href=\"img/a.jpg\"><img src=\"img/a.jpg\"></a>\n"
                     "<a href=\"img/b.gif\"><img src=\"img/b.gif\"></a>\n") +
               "</div>\n" +
               Block(third, "<img src=\"img/a.jpg\"><br>\n<img src=\"img/b.gif\"><br>\n") +
               "<ul><li>" + Block(second, TextLinks("docs/", {"x.txt", "y.htm"})) + "</li></ul>"));
  EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);

  // --folder names a block's folder however the block writes it: the block
  // stays as it is.
  const std::string synced = TempDir::Read(page);
  for (const char* option : {"--check", "--dry-run"}) {
    SCOPED_TRACE(option);
    const Result same = Run({"sync", "site/p.htm", "--folder", "site/docs", option});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(Run({"sync", "site/p.htm", "--folder", "site/docs/", "--kinds", "html-text"}).status,
              0);
    EXPECT_EQ(TempDir::Read(page), synced);
  }
  // A folder name with a double quote is read back from the start comment.
  Images("site/say \"hi\"", {"a.jpg"});
  const std::string quoted = dir.Write("site/q.htm", SitePage(""));
  EXPECT_EQ(Run({"sync", "site/q.htm", "--folder", "site/say \"hi\""}).status, 0);
  EXPECT_NE(TempDir::Read(quoted).find("folder=\"say &quot;hi&quot;\""), std::string::npos);
  EXPECT_EQ(Run({"sync", "site/q.htm", "--check"}).status, 0);

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
      {good + Block("folder=\"img\" thumbs", ""), "thumbs needs mode"},
      {good + Block("folder=\"img\" mode=\"image\" thumbs=\"../t\"", ""),
       "thumbs=\"../t\" is no folder inside"},
      {good + Block("folder=\"img\" mode=\"image\" thumb-size=\"200\"", ""),
       "thumb-size needs thumbs"},
      {good + Block("folder=\"img\" mode=\"image\" thumbs thumb-size=\"8\"", ""),
       "thumb-size must be 16 to 4096"},
      {good + Block("folder=\"img\" mode=\"image\" thumbs thumb-size=\"2e3\"", ""),
       "invalid thumb-size '2e3'"},
      {good + Block("folder=\"gone\"", ""),
       "p.htm:7: the block's folder does not exist: gone (tried " + (dir / "site/gone") +
           ", from the page's folder)"},
      {"<select><option>" + good + "</select>", "would not be links"},
      {good + Block("folder=\"img\" alt", ""),
       "p.htm:7: cannot read the block's settings: size and alt"},
      {"<template>" + good + "</template>", "p.htm:5: a block inside a template"},
      {"<table>" + good + "</table>", "p.htm:5: a block directly inside a table"},
      {"<table><tr>" + good + "</tr></table>", "p.htm:5: a block directly inside a table"},
      // Text between an item and the item of a file that is gone: a caption of
      // the one or a heading of the other.
      {Block("folder=\"img\"", "<a href=\"img/gone.jpg\">gone.jpg</a><br>\n<p>Seen</p>\n" +
                                   TextLinks("img/", {"a.jpg"})),
       "p.htm:7: text of your own between items whose neighbours change"},
      {Block("folder=\"img\"",
             "<a href=\"img/a.jpg\">A</a><br>\n<a href=\"img/a.jpg\">B</a><br>\n"),
       "p.htm:7: a second edited line for a.jpg"},
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
  // --force writes the block anew, text of one's own and all.
  const Result forced = Run({"sync", "site/p.htm", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(TempDir::Read(dir / "site/p.htm"),
            SitePage(Block("folder=\"img\"", TextLinks("img/", {"a.jpg"}))));

  const std::string before = TempDir::Read(dir / "site/p.htm");
  const struct {
    std::vector<std::string> args;
    std::string errHas;
  } usage[] = {
      {{"--mode", "image"}, "need --folder"},
      {{"--size"}, "need --folder"},
      {{"--alt"}, "need --folder"},
      {{"--kinds", "jpeg"}, "need --folder"},
      {{"--dry-run", "--check"}, "--dry-run cannot be combined with --check"},
      {{"--folder", "site/img", "--size"}, "p.htm:5: --size, --alt and --thumbs need --mode"},
      {{"--folder", "site/img", "--mode", "image", "--thumb-size", "200"},
       "p.htm:5: with the settings given, thumb-size needs thumbs"},
  };
  for (const auto& u : usage) {
    std::vector<std::string> args = {"sync", "site/p.htm"};
    args.insert(args.end(), u.args.begin(), u.args.end());
    SCOPED_TRACE(args.back());
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(u.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(dir / "site/p.htm"), before);
  }
}

// Pages that others wrote: a block lists only folders inside the site (the
// current folder, or --site), resolved through symbolic links, and reads no
// file that a link leads out of it; the user's own --folder goes anywhere.
// Each row under sync, --check and --dry-run alike.
TEST_F(SyncTest, ABlockReachesOnlyIntoTheSite) {
  TempDir other;
  const std::string outside = other.Path().string();
  const std::string outsideName = other.Path().filename().string();
  other.Write("secret.jpg", "img");
  other.Write("away.url", "[InternetShortcut]\nURL=http://secret.example/\n");
  Images("shared", {"s.jpg"});
  Images("site/img", {"a.jpg"});
  fs::create_directory_symlink(outside, dir.Path() / "site/out");
  fs::create_symlink(other / "secret.jpg", dir.Path() / "site/img/link.jpg");
  fs::create_symlink(other / "away.url", dir.Path() / "site/img/away.url");
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x03\0\0\0\x02", 24);
  other.Write("big.png", png);
  fs::create_symlink(other / "big.png", dir.Path() / "site/img/big.png");
  struct Case {
    const char* what;
    std::string settings;
    std::vector<std::string> args;
    std::string lines;  // "" when refused
  } cases[] = {
      {"a folder beside the page's, inside the site",
       "folder=\"../shared\"",
       {},
       TextLinks("../shared/", {"s.jpg"})},
      {"a file linked from outside is listed, not read",
       "folder=\"img\" kinds=\"any\"",
       {},
       TextLinks("img/", {"a.jpg"}) + "<P>Unknown: \"img/away.url\"</p>\n" +
           TextLinks("img/", {"big.png", "link.jpg"})},
      {"... nor sized",
       "folder=\"img\" kinds=\"gif-png\" mode=\"image\" size",
       {},
       "<img src=\"img/big.png\"><br>\n"},
      {"--site takes the outside in",
       "folder=\"img\" kinds=\"gif-png\" mode=\"image\" size",
       {"--site", other.Path().parent_path().string()},
       "<img src=\"img/big.png\" width=\"3\" height=\"2\"><br>\n"},
      {"'..' out of the site", "folder=\"../../" + outsideName + "\"", {}, ""},
      {"an absolute folder", "folder=\"" + outside + "\"", {}, ""},
      {"/etc", "folder=\"/etc\" kinds=\"any\"", {}, ""},
      {"a symbolic link out of the site", "folder=\"out\"", {}, ""},
      {"--site as a relative path",
       "folder=\"img\"",
       {"--site", "site/img/.."},
       TextLinks("img/", {"a.jpg", "big.png", "link.jpg"})},
      {"--site elsewhere", "folder=\"img\"", {"--site", "shared"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = SitePage(Block(c.settings, ""));
    const std::string page = dir.Write("site/p.htm", before);
    for (const char* how : {"--check", "--dry-run", ""}) {
      SCOPED_TRACE(how);
      std::vector<std::string> args = {"sync", "site/p.htm"};
      if (*how) args.push_back(how);
      args.insert(args.end(), c.args.begin(), c.args.end());
      const Result r = Run(args);
      if (c.lines.empty()) {
        EXPECT_EQ(r.status, 3);
        EXPECT_NE(r.err.find("p.htm:5: the block's folder lies outside the site"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.find("secret"), std::string::npos) << r.err;
        EXPECT_EQ(TempDir::Read(page), before);
      } else if (std::string(how) == "--check") {
        EXPECT_EQ(r.status, 1) << r.err;
      } else if (*how) {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("+" + c.lines.substr(0, c.lines.find('\n'))), std::string::npos)
            << r.out;
      } else {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(TempDir::Read(page), SitePage(Block(c.settings, c.lines)));
      }
    }
  }
  // The user's own --folder may lie outside, and so may what it holds.
  dir.Write("site/p.htm", SitePage(""));
  const Result r = Run({"sync", "site/p.htm", "--folder", outside, "--kinds", "jpeg,shortcut"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(TempDir::Read(dir / "site/p.htm").find("<a href=\"http://secret.example/\">away</a>"),
            std::string::npos);
}

// Pages in UTF-16 (either byte order), Shift_JIS and EUC-JP, Japanese
// folder and file names: the block is read and written in the page's own
// encoding, an item edited by hand stays, and --force writes it anew.
TEST_F(SyncTest, JapanesePagesStayInTheirEncoding) {
  Images("site/写真", {"夏.jpg", "冬.jpg"});
  const std::string settings = "folder=\"写真\" kinds=\"jpeg\" mode=\"text\"";
  for (const Charset charset :
       {Charset::kUtf16Le, Charset::kUtf16Be, Charset::kCp932, Charset::kEucJp}) {
    const std::string label(CharsetName(charset));
    SCOPED_TRACE(label);
    const bool utf16 = !IsAsciiCompatible(charset);
    const std::string head =
        (utf16 ? "" : "<meta charset=\"" + label + "\">") + std::string("<title>表題</title>");
    const auto page = [&](const std::string& lines) {
      const std::string text = Page("<p>表</p>\n" + Block(settings, lines), head);
      return utf16 ? Utf16Page(charset, text) : *Encode(charset, text);
    };
    const std::string path = dir.Write("site/p.htm", page(""));
    const Result r = Run({"sync", "site/p.htm"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TempDir::Read(path), page(TextLinks("写真/", {"冬.jpg", "夏.jpg"})));
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);

    // The first item sets the indentation of new ones.
    const std::string edited = "\t <a href=\"写真/冬.jpg\">冬の写真</a><br>\n";
    dir.Write("site/p.htm", page(edited + TextLinks("写真/", {"夏.jpg"})));
    Images("site/写真", {"春.jpg"});
    const Result shown = Run({"sync", "site/p.htm", "--dry-run"});
    EXPECT_NE(shown.out.find("\n+\t <a href=\"写真/春.jpg\">春.jpg</a><br>\n"), std::string::npos)
        << shown.out;
    EXPECT_EQ(Run({"sync", "site/p.htm"}).status, 0);
    EXPECT_EQ(TempDir::Read(path), page(edited + TextLinks("写真/", {"夏.jpg"}) + "\t " +
                                        TextLinks("写真/", {"春.jpg"})));
    EXPECT_EQ(Run({"sync", "site/p.htm", "--force"}).status, 0);
    EXPECT_EQ(TempDir::Read(path), page(TextLinks("写真/", {"冬.jpg", "夏.jpg", "春.jpg"})));
    fs::remove(dir.Path() / "site/写真/春.jpg");
    EXPECT_EQ(Run({"sync", "site/p.htm"}).status, 0);
  }
  // A name the page's encoding cannot hold goes in as a character reference
  // in the text and UTF-8 percent-encoded in the address, and the next run
  // finds its link again.
  Images("site/写真", {"한.jpg"});
  const Result linked = Run({"sync", "site/p.htm"});
  ASSERT_EQ(linked.status, 0) << linked.err;
  EXPECT_NE(
      TempDir::Read((dir.Path() / "site/p.htm").string()).find("%ED%95%9C.jpg\">&#54620;.jpg</a>"),
      std::string::npos);
  EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
}

// --dry-run shows the change as a unified diff of the page's text (in
// UTF-8, whatever the page's encoding), hunk for hunk what diff -u shows of
// that text, which patch applies to it; it writes nothing.
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
    bool finalNewline = true;
    Charset charset = Charset::kUtf8;
  } cases[] = {
      {"abcdefghij", "acdefghijk"},  // two hunks
      {"abcdefghij", "acdefghijk", true, Charset::kUtf16Le},
      {"abc", "a", false, Charset::kUtf16Be},
      {"abcdefgh", "acdefghi"},  // changes six lines apart: one hunk
      {"", "ab"},
      {"abcdefghijklmnop", "p"},
      {"b", "a"},
      {"ab", "abc", false},
      {"abc", "a", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before + " -> " + c.after + " in " + std::string(CharsetName(c.charset)));
    fs::remove_all(dir.Path() / "site");
    for (const char name : c.after) Images("site/img", {(std::string(1, name) + ".jpg").c_str()});
    fs::create_directories(dir.Path() / "site/img");
    const auto page = [&](const std::string& names) {
      std::string text = Page(Block(settings, links(names)));
      if (!c.finalNewline) text.pop_back();
      return text;
    };
    const std::string before = page(c.before);
    const std::string bytes = c.charset == Charset::kUtf8 ? before : Utf16Page(c.charset, before);
    const std::string path = dir.Write("site/p.htm", bytes);
    const std::string text = dir.Write("before.htm", before);
    dir.Write("after.htm", page(c.after));
    const Result r = Run({"sync", "site/p.htm", "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::system(("diff -u " + Quote(text) + " " + Quote(dir / "after.htm") + " | tail -n +3 >" +
                 Quote(io / "diff"))
                    .c_str());
    EXPECT_EQ(r.out, "--- " + path + "\n+++ " + path + "\n" + TempDir::Read(io / "diff"));
    EXPECT_EQ(TempDir::Read(path), bytes);
    dir.Write("printed.diff", r.out);
    EXPECT_EQ(std::system(("patch -s -o " + Quote(dir / "patched.htm") + " " + Quote(text) + " <" +
                           Quote(dir / "printed.diff"))
                              .c_str()),
              0);
    EXPECT_EQ(TempDir::Read(dir / "patched.htm"), page(c.after));
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

  // A block for files the page has links to already says where they are.
  const std::string linkedBefore = TempDir::Read(dir / "site/p.htm");
  const auto pageWith = [](std::string page, const std::string& block) {
    return page.insert(page.find("</body>"), block + "\n");
  };
  const std::string kinds = "folder=\"img\" kinds=\"jpeg,gif-png\" ";
  std::string joined = TextLinks("img/", {"a.png", "b&amp;c.gif", "cut.png"});
  std::erase(joined, '\n');
  const struct {
    std::string before;
    std::vector<std::string> args;
    std::string after;
    std::string errHas = {};
  } synced[] = {
      {linkedBefore,
       {"--mode", "image", "--size", "--alt"},
       pageWith(linkedBefore, Block(kinds + "mode=\"image\" size alt", sized)),
       "p.htm:5: the new block lists again files this line links to or shows: a.png"},
      {Page(""),
       {"--mode", "image", "--alt"},
       pageWith(Page(""), Block(kinds + "mode=\"image\" alt",
                                "<img src=\"img/a.png\" alt=\"a\"><br>\n"
                                "<img src=\"img/b&amp;c.gif\" alt=\"b&amp;c\"><br>\n"
                                "<img src=\"img/cut.png\" alt=\"cut\"><br>\n"))},
      {Page(""),
       {},
       pageWith(Page(""), Block(kinds + "mode=\"text\"",
                                TextLinks("img/", {"a.png", "b&amp;c.gif", "cut.png"})))},
      {Page(""),
       {"--mode", "image-link"},
       pageWith(Page(""), Block(kinds + "mode=\"image-link\"",
                                "<a href=\"img/a.png\"><img src=\"img/a.png\"></a>\n"
                                "<a href=\"img/b&amp;c.gif\"><img src=\"img/b&amp;c.gif\"></a>\n"
                                "<a href=\"img/cut.png\"><img src=\"img/cut.png\"></a>\n"))},
      // Comments put around the links `link` wrote, all on one line: one item
      // a line.
      {Page(Block("folder=\"img\"", joined + "\n")),
       {},
       Page(Block("folder=\"img\"", TextLinks("img/", {"a.png", "b&amp;c.gif", "cut.png"})))},
  };
  for (const auto& c : synced) {
    std::vector<std::string> args = {"sync", "site/p.htm", "--folder", "site/img"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(c.after);
    dir.Write("site/p.htm", c.before);
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    if (c.errHas.empty()) {
      EXPECT_EQ(r.err, "");
    }
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    EXPECT_EQ(TempDir::Read(dir / "site/p.htm"), c.after);
    EXPECT_EQ(Run({"sync", "site/p.htm", "--check"}).status, 0);
  }
  EXPECT_EQ(Run({"link", "site/p.htm", "--size"}).status, 2);
}

}  // namespace
}  // namespace tervane::testing
