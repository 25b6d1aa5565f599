// What other people made, at its worst: one row per bad input, grouped by
// the reader that meets it, each with the behaviour chosen for it — a link
// written correctly, or a clear error and an untouched page.
#include <sys/stat.h>

#include <filesystem>

#include "tests/cli/tervane_fixture.h"

namespace tervane::testing {
namespace {

class BadInputTest : public TervaneTest {
 protected:
  // Links a.jpg into a page with the given bytes; the page afterwards.
  std::string LinkInto(const std::string& bytes, Result& result) {
    const std::string page = dir.Write("site/p.htm", bytes);
    result = Run({"link", "site/p.htm", "a.jpg"});
    return TempDir::Read(page);
  }
};

constexpr const char* kLink = "<a href=\"a.jpg\">a.jpg</a><br>";

TEST_F(BadInputTest, Pages) {
  Images("site", {"a.jpg"});
  struct Case {
    const char* what;
    std::string page;
    std::string after;  // "" when refused: then the page is unchanged
    const char* errHas;
  };
  const std::string big(50u << 20, 'x');
  const Case cases[] = {
      {"empty", "", kLink, ""},
      {"binary",
       std::string("\x7F"
                   "ELF\0\x01\xFF\xFE\x00",
                   9),
       "", "p.htm: not a text page (it holds NUL bytes)"},
      {"no body", "<p>text", std::string("<p>text") + kLink, ""},
      {"end tag in comment, script and attribute",
       "<body><!--</body>--><script>'</body>'</script><p title='</body>'></body>",
       std::string("<body><!--</body>--><script>'</body>'</script><p title='</body>'>") + kLink +
           "</body>",
       ""},
      {"two body end tags", "<body>a</body>b</body>",
       std::string("<body>a</body>b") + kLink + "</body>", ""},
      {"50 MB", "<body>" + big + "</body>", "", "too large"},
      {"a link short of 32 MiB, which the next run could not read",
       "<body>" + std::string((32u << 20) - 20, 'x') + "</body>", "", "larger than the 32 MiB"},
      {"undeclared Shift_JIS", "<body>\x95\x5c</body>",
       std::string("<body>\x95\x5c") + kLink + "</body>", ""},
      {"declared UTF-8, Shift_JIS bytes", "<meta charset=utf-8><body>\x95\x5c</body>",
       std::string("<meta charset=utf-8><body>\x95\x5c") + kLink + "</body>", ""},
      {"ends inside a comment", "<body><!-- note", "", "inside a comment"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result r;
    const std::string after = LinkInto(c.page, r);
    if (c.after.empty()) {
      EXPECT_EQ(r.status, 3);
      EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
      EXPECT_TRUE(after == c.page) << "the page changed";
    } else {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(after, c.after);
    }
  }
}

TEST_F(BadInputTest, ShortcutFiles) {
  struct Case {
    const char* what;
    std::string contents;
    std::string markup;
    bool runsAScript = false;  // refused with a word on standard error
  };
  const std::string placeholder = "<P>Unknown: \"s.url\"</p>";
  const Case cases[] = {
      {"no section", "URL=http://a/\n", placeholder},
      {"no key", "[InternetShortcut]\nIconIndex=0\n", placeholder},
      {"other letter case", "[internetshortcut]\nurl=http://a/\n",
       "<a href=\"http://a/\">s</a><br>"},
      {"blanks around =", "[InternetShortcut]\n URL = http://a/ \n",
       "<a href=\"http://a/\">s</a><br>"},
      {"quoted value", "[InternetShortcut]\nURL=\"http://a/\"\n",
       "<a href=\"http://a/\">s</a><br>"},
      {"byte-order mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://a/\n",
       "<a href=\"http://a/\">s</a><br>"},
      {"NUL byte", std::string("[InternetShortcut]\nURL=http://a/\0\n", 34), placeholder},
      {"100 MB", "[InternetShortcut]\nURL=http://a/\n" + std::string(100u << 20, ' '), placeholder},
      {"double quote in the address", "[InternetShortcut]\nURL=http://a/\"><script>x</script>\n",
       "<a href=\"http://a/&quot;&gt;&lt;script&gt;x&lt;/script&gt;\">s</a><br>"},
      // Addresses a browser would run as a script, in the spellings it
      // still runs.
      {"javascript:", "[InternetShortcut]\nURL=javascript:alert(document.cookie)\n", placeholder,
       true},
      {"letter case", "[InternetShortcut]\nURL=JavaScript:alert(1)\n", placeholder, true},
      {"controls in front", "[InternetShortcut]\nURL=\x01\x02javascript:alert(1)\n", placeholder,
       true},
      {"a tab inside the scheme", "[InternetShortcut]\nURL=java\tscript:alert(1)\n", placeholder,
       true},
      {"vbscript:", "[InternetShortcut]\nURL=vbscript:msgbox(1)\n", placeholder, true},
      {"data:", "[InternetShortcut]\nURL=data:text/html,<script>alert(1)</script>\n", placeholder,
       true},
      {"in the Unicode twin",
       "[InternetShortcut]\nURL=http://a/\n[InternetShortcut.W]\nURL=javascript:x\n", placeholder,
       true},
      {"an entity in the text, written escaped", "[InternetShortcut]\nURL=jav&#x61;script:x\n",
       "<a href=\"jav&amp;#x61;script:x\">s</a><br>"},
      {"ordinary schemes link", "[InternetShortcut]\nURL=mailto:a@example.jp?subject=javascript:\n",
       "<a href=\"mailto:a@example.jp?subject=javascript:\">s</a><br>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.Write("site/s.url", c.contents);
    dir.Write("site/p.htm", "<body></body>");
    const Result r = Run({"link", "site/p.htm", "s.url", "--kinds", "shortcut", "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.markup + "\n");
    EXPECT_EQ(r.err, c.runsAScript ? "tervane: " + (dir / "site/s.url") +
                                         ": not linked, its address would run a script "
                                         "(javascript:, vbscript: or data:); written as a "
                                         "shortcut without an address\n"
                                   : "");
  }
}

// A picture or a shortcut in a folder that others fill may be a link to
// something that is no stored file: neither --size nor the shortcut reader
// hangs on it or reads it (strace watches every read of the target), and the
// pictures beside it keep their size.
TEST_F(BadInputTest, PicturesThatAreNoStoredFiles) {
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x03\0\0\0\x02", 24);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const struct {
    const char* what;
    std::string target;
    bool listed;  // files of /proc and /sys claim to be regular files
  } cases[] = {
      {"a FIFO", dir / "fifo", false},
      {"a device whose reads block", "/dev/ptmx", false},
      {"a file of /proc", "/proc/version", true},
      {"a file of /sys", "/sys/kernel/uevent_seqnum", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir / "site");
    dir.Write("site/img/a.png", png);
    std::filesystem::create_symlink(c.target, dir / "site/img/x.png");
    std::filesystem::create_symlink(c.target, dir / "site/img/x.url");
    const std::string sized = "<img src=\"img/a.png\" width=\"3\" height=\"2\"><br>\n";
    const std::string unsized =
        c.listed ? "<img src=\"img/x.png\"><br>\n<P>Unknown: \"img/x.url\"</p>\n" : "";
    dir.Write("site/p.htm",
              Page("<!-- tervane folder=\"img\" kinds=\"shortcut,gif-png\" mode=\"image\" size "
                   "-->\n" +
                   sized + unsized + "<!-- /tervane -->"));
    // LeakSanitizer cannot work under ptrace: a sanitized build leaves leak
    // checking to the runs without strace.
    const std::string watch =
        "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 "
        "timeout 20 strace -f -qq -e trace=read,pread64,readv,preadv -P " +
        Quote(c.target) + " -o " + Quote(io / "trace");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"link", "site/p.htm", "--folder", "site/img", "--kinds", "shortcut,gif-png", "--mode",
              "image", "--size", "--dry-run"},
             {"sync", "site/p.htm", "--check"}}) {
      SCOPED_TRACE(args[0]);
      const Result r = Run(args, watch);
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(TempDir::Read(io / "trace"), "");
      if (args[0] == "link") {
        EXPECT_EQ(r.out, sized + unsized);
      }
    }
  }
}

TEST_F(BadInputTest, Names) {
  struct Case {
    std::string name;
    std::string markup;  // "" when the name is not listed
  };
  const Case cases[] = {
      {"a b.jpg", "<a href=\"a b.jpg\">a b.jpg</a><br>"},
      {" edge .jpg", "<a href=\"%20edge .jpg\"> edge .jpg</a><br>"},
      {"R&D.jpg", "<a href=\"R&amp;D.jpg\">R&amp;D.jpg</a><br>"},
      {"#1.jpg", "<a href=\"%231.jpg\">#1.jpg</a><br>"},
      {"50%.jpg", "<a href=\"50%25.jpg\">50%.jpg</a><br>"},
      {"say \"hi\".jpg", "<a href=\"say &quot;hi&quot;.jpg\">say &quot;hi&quot;.jpg</a><br>"},
      {"写真.jpg", "<a href=\"写真.jpg\">写真.jpg</a><br>"},
      {"bad\xFF.jpg", ""},
  };
  dir.Write("site/p.htm", "<body></body>");
  for (const Case& c : cases) dir.Write("site/" + c.name, "img");
  const Result r = Run({"link", "site/p.htm", "--dry-run"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.markup.empty()) {
      EXPECT_EQ(r.out.find(c.name), std::string::npos);
    } else {
      EXPECT_NE(r.out.find(c.markup + "\n"), std::string::npos) << r.out;
    }
  }
}

}  // namespace
}  // namespace tervane::testing
