#include "addin/platform/filepage/file_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/platform/error.h"
#include "tests/support/temp_dir.h"

namespace tervane::testing {
namespace {

const std::string kSjisNihon = "\x93\xFA\x96\x7B";  // 日本
const std::string kEucNihon = "\xC6\xFC\xCB\xDC";

const std::string kFirstMarkup = "<a href=\"写真.jpg\">写真.jpg</a><br>\r\n";
const std::string kSecondMarkup = "<img src=\"a&amp;b.png\"><br>\r\n";

// Both pieces of markup as the page's encoding writes them; in a page that
// does not say its encoding, in ASCII.
std::string InsertedBytes(Charset charset, bool declared) {
  if (!declared) {
    return "<a href=\"%E5%86%99%E7%9C%9F.jpg\">&#20889;&#30495;.jpg</a><br>\r\n" + kSecondMarkup;
  }
  std::string photo = "写真";
  if (charset == Charset::kCp932) photo = "\x8E\xCA\x90\x5E";
  if (charset == Charset::kEucJp) photo = "\xBC\xCC\xBF\xBF";
  return "<a href=\"" + photo + ".jpg\">" + photo + ".jpg</a><br>\r\n" + kSecondMarkup;
}

TEST(FilePageTest, InsertsBeforeTheBodyEndTagAndKeepsEveryOtherByte) {
  struct Case {
    std::string name;
    // The page, with "@@" where the markup belongs; at the end without one.
    std::string page;
    Charset charset;
    bool declared = true;
  };
  const Charset kUndeclaredAscii = Charset::kWindows1252;
  const std::vector<Case> cases = {
      {"utf-8", "<html><head><title>t</title></head>\r\n<body>\n<p>日本</p>\n@@</body>\n</html>\n",
       Charset::kUtf8, false},
      {"utf-8 with bom", "\xEF\xBB\xBF<html><body>日本@@</body></html>", Charset::kUtf8},
      {"shift_jis declared",
       "<html><head><meta charset=\"Shift_JIS\"><title>" + kSjisNihon +
           "</title></head><body>\x95\x5C\x83\x5C" + kSjisNihon + "@@</body></html>",
       Charset::kCp932},
      {"euc-jp declared",
       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">\n<body>" +
           kEucNihon + "\x8F\xB0\xA1@@</body>",
       Charset::kEucJp},
      {"cp932 undeclared", "<body><p>" + kSjisNihon + "\x82\xCC</p>@@</body>\r\n", Charset::kCp932,
       false},
      {"end tag inside a table cell", "<body><table><tr><td>x</body></td></tr></table>@@</body>",
       kUndeclaredAscii, false},
      {"upper-case end tag", "<HTML><BODY>x@@</BODY></HTML>", kUndeclaredAscii, false},
      {"no body end tag", "<html><body><p>x</p>\n</html>\n", kUndeclaredAscii, false},
      {"utf-8 declared with bad bytes", "<meta charset=utf-8><body>caf\xE9 \xFF\xE6\x97@@</body>",
       Charset::kUtf8},
      {"shift_jis declared with bad bytes",
       "<meta charset=sjis><body>\x81<\x80\xFD" + kSjisNihon + "\x93@@</body>", Charset::kCp932},
      {"lone carriage returns", "<body>a\rb\r\n@@</body>", kUndeclaredAscii, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The page with `inserted` where the markup belongs.
    const auto with = [&](const std::string& inserted) {
      const std::size_t mark = c.page.find("@@");
      if (mark == std::string::npos) return c.page + inserted;
      return std::string(c.page).replace(mark, 2, inserted);
    };
    const std::string page = with("");
    const std::string expected = with(InsertedBytes(c.charset, c.declared));
    TempDir folder;
    folder.Write("page.htm", page);

    const auto filePage = FilePage::Open(folder / "page.htm");
    EXPECT_EQ(filePage->PageCharset(), c.charset);
    EXPECT_EQ(filePage->Contents(), page);
    EXPECT_FALSE(filePage->Modified());
    filePage->InsertBeforeBodyEnd(kFirstMarkup);
    filePage->InsertBeforeBodyEnd(kSecondMarkup);
    EXPECT_TRUE(filePage->Modified());
    EXPECT_EQ(filePage->Contents(), expected);
    EXPECT_EQ(TempDir::Read(folder / "page.htm"), page) << "written before Save()";

    filePage->Save();
    EXPECT_EQ(TempDir::Read(folder / "page.htm"), expected);
    EXPECT_FALSE(filePage->Modified());

    // The next save adds after what the last one wrote.
    filePage->InsertBeforeBodyEnd("<br>");
    filePage->Save();
    EXPECT_EQ(TempDir::Read(folder / "page.htm"),
              with(InsertedBytes(c.charset, c.declared) + "<br>"));
  }
}

TEST(FilePageTest, ReadsTitleAndLinksAsTheDocumentHasThem) {
  struct Case {
    std::string name;
    std::string page;
    std::string title;
    std::vector<std::string> links;
  };
  const std::vector<Case> cases = {
      {"links and areas in order",
       "<title>  Top \n\t page </title><body><a href=\"a&amp;b.jpg\">1</a><a name=\"n\">no</a>"
       "<map><area href=\"m.htm\" shape=rect></map><A HREF='IMG/X.JPG'>2</A><a href>3</a>"
       "<a href=\"&#x5199;&#30495;.jpg\">4</a></body>",
       "Top page",
       {"a&b.jpg", "m.htm", "IMG/X.JPG", "", "写真.jpg"}},
      {"only html links of the document",
       "<body><svg><a href=\"s.svg\"><title>svg</title></a></svg>"
       "<template><a href=\"t.htm\">t</a></template><a href=\"d.htm\">d</a></body>",
       "",
       {"d.htm"}},
      {"the first title", "<title>one</title><title>two</title><a href=x>", "one", {"x"}},
      {"shift_jis",
       "<meta charset=shift_jis><title>" + kSjisNihon + "</title><a href=\"" + kSjisNihon +
           "/\x95\x5C.jpg\">x</a>",
       "日本",
       {"日本/表.jpg"}},
      {"euc-jp", "<meta charset=euc-jp><title>" + kEucNihon + "</title>", "日本", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    folder.Write("page.htm", c.page);
    const auto page = FilePage::Open(folder / "page.htm");
    EXPECT_EQ(page->Title(), c.title);
    EXPECT_EQ(page->LinkHrefs(), c.links);
  }
}

TEST(FilePageTest, LinksIncludeWhatWasInserted) {
  TempDir folder;
  folder.Write("page.htm",
               "<meta charset=shift_jis><title>t</title><body><a href=\"old.htm\">o</a></body>"
               "<!-- <a href=\"comment.htm\"> -->");
  const auto page = FilePage::Open(folder / "page.htm");
  page->InsertBeforeBodyEnd(kFirstMarkup);
  EXPECT_EQ(page->LinkHrefs(), (std::vector<std::string>{"old.htm", "写真.jpg"}));
  page->InsertBeforeBodyEnd("<a href=\"&quot;.htm\">q</a>");
  EXPECT_EQ(page->LinkHrefs(), (std::vector<std::string>{"old.htm", "写真.jpg", "\".htm"}));
  EXPECT_EQ(page->Title(), "t");
}

// The title after an insertion, and whether the page may be written: as the
// whole page, read again with the insertion, has them.
TEST(FilePageTest, TitleAndLinksAfterInsertingAreThoseOfThePageReadAgain) {
  const struct {
    std::string name;
    std::string page;
    std::string markup;
    std::string title;
    bool saved;
    std::size_t fullParses = 2;  // reading, then the page with the insertion
  } cases[] = {
      {"body closed clean", "<title>t</title><body><p>x</p></body>", kFirstMarkup, "t", true, 1},
      {"paragraph left open", "<title>t</title><body><p>x</body>", kFirstMarkup, "t", true},
      {"formatting left open", "<title>t</title><body><b><a href=q>x</body>", kSecondMarkup, "t",
       true},
      {"picture in svg", "<title>t</title><body><svg></body>", kFirstMarkup, "t", false},
      {"title inserted", "<body><p>x</p></body>", "<title>new</title>", "new", true},
      {"comment opened by the insertion hides a later link",
       "<title>t</title><body>x</body><a href=\"z.htm\">z</a>", "<br><!--", "t", false},
      {"title after the body", "<body>x</body><title>late", kFirstMarkup, "late", true, 1},
      {"page ends in a title", "<meta charset=utf-8><body>x<title>t", kFirstMarkup,
       "t<a href=\"写真.jpg\">写真.jpg</a><br>", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    folder.Write("page.htm", c.page);
    const auto page = FilePage::Open(folder / "page.htm");
    page->InsertBeforeBodyEnd(c.markup);
    EXPECT_EQ(page->Title(), c.title);
    if (c.saved) {
      EXPECT_NO_THROW(page->Save());
      EXPECT_EQ(TempDir::Read(folder / "page.htm"), page->Contents());
    } else {
      EXPECT_THROW(page->Save(), Error);
      EXPECT_EQ(TempDir::Read(folder / "page.htm"), c.page);
    }
    EXPECT_EQ(page->FullParses(), c.fullParses);
  }
}

// A name the encoding cannot hold goes in as references and percent-encoding,
// and reads back as the name.
TEST(FilePageTest, NameTheEncodingCannotHoldReadsBackAsWritten) {
  TempDir folder;
  folder.Write("page.htm", "<meta charset=shift_jis><body>" + kSjisNihon + "</body>");
  const auto page = FilePage::Open(folder / "page.htm");
  page->InsertBeforeBodyEnd("<a href=\"x.jpg\">x</a><a href=\"日é¥😀.jpg\">日é¥😀.jpg</a>");
  EXPECT_EQ(page->Contents(),
            "<meta charset=shift_jis><body>" + kSjisNihon +
                "<a href=\"x.jpg\">x</a><a href=\"\x93\xFA%C3%A9%C2%A5%F0%9F%98%80."
                "jpg\">\x93\xFA&#233;&#165;&#128512;.jpg</a></body>");
  EXPECT_EQ(page->LinkHrefs(), (std::vector<std::string>{"x.jpg", "日é¥😀.jpg"}));
}

TEST(FilePageTest, RefusesPagesItCannotRead) {
  TempDir folder;
  folder.Write("iso-2022-jp.htm", "<meta charset=iso-2022-jp><p>\x1B$B$3\x1B(B</p>");
  folder.Write("hz.htm", "<meta charset=hz-gb-2312><p>~{<:~}</p>");
  folder.Write("binary.htm", std::string("<p>\0\x01\x02</p>", 10));
  for (const std::string name : {"missing.htm", "iso-2022-jp.htm", "hz.htm", "binary.htm", ""}) {
    const std::string path = folder / name;
    try {
      FilePage::Open(path);
      ADD_FAILURE() << path << " was opened";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(FilePage::Open(folder / "missing.htm"), Error);
}

TEST(FilePageTest, AddressIsTheFileUrlOfThePathAsGiven) {
  TempDir folder;
  std::filesystem::create_directory(folder / "a b");
  folder.Write("a b/p%20q.htm", "<p>");
  std::filesystem::create_symlink("a b", folder / "link");
  const auto page = FilePage::Open(folder / "link/./p%20q.htm");
  EXPECT_EQ(page->Path(), folder / "link/./p%20q.htm");
  EXPECT_EQ(page->Url(), "file://" + folder.Path().string() + "/link/./p%20q.htm");

  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder / "a b");
  const auto relative = FilePage::Open("p%20q.htm");
  std::filesystem::current_path(previous);
  EXPECT_EQ(relative->Url(),
            "file://" + std::filesystem::canonical(folder / "a b").string() + "/p%20q.htm");
}

// Ten megabytes of Shift_JIS with a bad byte in every line: the end tag's
// place is mapped back through all of it.
TEST(FilePageTest, HandlesLargePages) {
  std::string line = "<p><a href=\"x.jpg\">";
  for (int i = 0; i < 50; ++i) line += kSjisNihon;
  line += "\x80</a></p>\n";
  std::string body;
  while (body.size() < (10u << 20)) body += line;
  const std::string page = "<meta charset=shift_jis><body>" + body + "</body></html>";
  TempDir folder;
  folder.Write("page.htm", page);
  const auto filePage = FilePage::Open(folder / "page.htm");
  filePage->InsertBeforeBodyEnd("<br>");
  EXPECT_EQ(filePage->Contents(), "<meta charset=shift_jis><body>" + body + "<br></body></html>");
}

}  // namespace
}  // namespace tervane::testing
