#include "addin/dialog/linkaddress/markup.h"

#include <gtest/gtest.h>

namespace tervane {
namespace {

TEST(MarkupTest, FileForms) {
  const struct {
    DisplayMode mode;
    std::string_view address;
    std::string_view name;
    std::string_view expected;
  } cases[] = {
      {DisplayMode::kTextLink, "img/a.jpg", "a.jpg", R"(<a href="img/a.jpg">a.jpg</a><br>)"},
      {DisplayMode::kImageLink, "img/a.jpg", "a.jpg",
       R"(<a href="img/a.jpg"><img src="img/a.jpg"></a>)"},
      {DisplayMode::kImageOnly, "img/a.jpg", "a.jpg", R"(<img src="img/a.jpg"><br>)"},
      {DisplayMode::kTextLink, "a&b.jpg", "a&b.jpg",
       R"(<a href="a&amp;b.jpg">a&amp;b.jpg</a><br>)"},
      {DisplayMode::kTextLink, "R&D&copy.jpg", "R&D&copy.jpg",
       R"(<a href="R&amp;D&amp;copy.jpg">R&amp;D&amp;copy.jpg</a><br>)"},
      {DisplayMode::kImageLink, "x\"<y>.gif", "x\"<y>.gif",
       R"(<a href="x&quot;&lt;y&gt;.gif"><img src="x&quot;&lt;y&gt;.gif"></a>)"},
      {DisplayMode::kTextLink, "写真 %231.jpg", "写真 #1.jpg",
       R"(<a href="写真 %231.jpg">写真 #1.jpg</a><br>)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(c.mode) << ", address '"
                                    << c.address << "', name '" << c.name << "'");
    EXPECT_EQ(FileMarkup(c.mode, c.address, c.name), c.expected);
  }
}

TEST(MarkupTest, ShortcutForms) {
  const struct {
    std::string_view url;
    std::string_view name;
    std::string_view expected;
  } cases[] = {
      {"http://example.com/", "news.url", R"(<a href="http://example.com/">news</a><br>)"},
      {"http://example.com/", "News.URL", R"(<a href="http://example.com/">News</a><br>)"},
      {"http://e.com/?a=1&b=\"2\"", "Q&A.url",
       R"(<a href="http://e.com/?a=1&amp;b=&quot;2&quot;">Q&amp;A</a><br>)"},
      {"http://e.com/", "ニュース.url", R"(<a href="http://e.com/">ニュース</a><br>)"},
      {"http://e.com/", ".url", R"(<a href="http://e.com/"></a><br>)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "url '" << c.url << "', name '" << c.name << "'");
    EXPECT_EQ(ShortcutMarkup(c.url, c.name), c.expected);
  }
}

TEST(MarkupTest, PlaceholderKeepsItsQuotes) {
  EXPECT_EQ(PlaceholderMarkup("img/empty.url"), R"(<P>Unknown: "img/empty.url"</p>)");
  EXPECT_EQ(PlaceholderMarkup("a&b.url"), R"(<P>Unknown: "a&amp;b.url"</p>)");
}

// Picture attributes go after src, in the img element only; the alt text
// is the name without its extension, escaped like the link text.
TEST(MarkupTest, PictureAttributes) {
  const PictureSize size{640, 480};
  const struct {
    std::string_view markup;
    std::optional<PictureSize> size;
    std::optional<std::string_view> altOf;
    std::string_view expected;
  } cases[] = {
      {R"(<img src="a.jpg"><br>)", size, std::nullopt,
       R"(<img src="a.jpg" width="640" height="480"><br>)"},
      {R"(<a href="a.jpg"><img src="a.jpg"></a>)", size, "a.jpg",
       R"(<a href="a.jpg"><img src="a.jpg" width="640" height="480" alt="a"></a>)"},
      {R"(<img src="x&quot;&gt;.gif"><br>)", std::nullopt, "R&D \"<x>\".tar.gif",
       R"(<img src="x&quot;&gt;.gif" alt="R&amp;D &quot;&lt;x&gt;&quot;.tar"><br>)"},
      {R"(<img src=".png"><br>)", std::nullopt, ".png", R"(<img src=".png" alt=".png"><br>)"},
      {R"(<img src="写真">)", std::nullopt, "写真", R"(<img src="写真" alt="写真">)"},
      {R"(<a href="http://e/">news</a><br>)", size, "news.url",
       R"(<a href="http://e/">news</a><br>)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.markup);
    std::optional<std::string_view> alt;
    if (c.altOf) alt = NameWithoutExtension(*c.altOf);
    EXPECT_EQ(WithImageAttributes(c.markup, c.size, alt), c.expected);
  }
}

// A thumbnail takes the img's src; the link keeps leading to the original.
TEST(MarkupTest, Thumbnails) {
  const struct {
    std::string_view markup, thumbnail;
    std::optional<std::string_view> thumbnail2x;
    std::string_view expected;
  } cases[] = {
      {R"(<a href="a.jpg"><img src="a.jpg"></a>)", "t/a.jpg.2x1.jpg", "t/a.jpg.4x2.jpg",
       R"(<a href="a.jpg"><img src="t/a.jpg.2x1.jpg" srcset="t/a.jpg.4x2.jpg 2x" width="2" height="1"></a>)"},
      {R"(<img src="a&amp;b.gif"><br>)", "t/a&b.gif.2x1.png", std::nullopt,
       R"(<img src="t/a&amp;b.gif.2x1.png" width="2" height="1"><br>)"},
      {R"(<img src="x y,1.jpg"><br>)", ",t/x y,1.jpg.2x1.jpg", ",t/x y,1\"\t.jpg.4x2.jpg",
       R"(<img src=",t/x y,1.jpg.2x1.jpg" srcset="%2Ct/x%20y%2C1&quot;%09.jpg.4x2.jpg 2x" width="2" height="1"><br>)"},
      {R"(<a href="http://e/">news</a><br>)", "t", "t", R"(<a href="http://e/">news</a><br>)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.markup);
    EXPECT_EQ(WithThumbnail(c.markup, c.thumbnail, c.thumbnail2x, {2, 1}), c.expected);
  }
}

}  // namespace
}  // namespace tervane
