#include "addin/dialog/linkaddress/page_location.h"

#include <gtest/gtest.h>

#include <span>

namespace tervane {
namespace {

using Kind = PageBaseLocation::Kind;

struct LocationCase {
  std::string_view address;
  Kind kind;
  std::string_view folder;
};

void ExpectLocations(PathStyle style, std::span<const LocationCase> cases) {
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "page address '" << c.address << "'");
    const PageBaseLocation location = DerivePageBaseLocation(c.address, style);
    EXPECT_EQ(location.kind, c.kind);
    EXPECT_EQ(location.folder, c.folder);
  }
}

TEST(PageLocationTest, WindowsAddresses) {
  const LocationCase cases[] = {
      {"file:///C:/My Webs/sub/page.htm", Kind::kFolder, "C:\\My Webs\\sub"},
      {"FILE:///C:/WEB/INDEX.HTM", Kind::kFolder, "C:\\WEB"},
      {"file:///D:/index.htm", Kind::kFolder, "D:"},
      {"file:///C:/a%20b/p.htm", Kind::kFolder, "C:\\a%20b"},
      {"http://www.example.com/index.htm", Kind::kNotLocal, ""},
      {"File:///C:/x/p.htm", Kind::kNotLocal, ""},
      {"file://server/share/page.htm", Kind::kFolder, "\\\\server\\share"},
      {"file://nas/web/サイト/p.htm", Kind::kFolder, "\\\\nas\\web\\サイト"},
      {"file://///nas/web/p.htm", Kind::kFolder, "\\\\nas\\web"},
      {"FILE://NAS/WEB/A/P.HTM", Kind::kFolder, "\\\\NAS\\WEB\\A"},
      {"file://server/page.htm", Kind::kUnchanged, ""},
      {"file://server//page.htm", Kind::kUnchanged, ""},
      {"file:/server/share/page.htm", Kind::kUnchanged, ""},
      {"file://localhost/share/page.htm", Kind::kUnchanged, ""},
      {"file://localhost/C:/web/p.htm", Kind::kFolder, "C:\\web"},
      {"view-source:file:///C:/web/p.htm", Kind::kFolder, "C:\\web"},
      {"file:C:p.htm", Kind::kUnchanged, ""},
      {"file::/p.htm", Kind::kUnchanged, ""},
      {"file:///C:/web/p.htm?a=b/c", Kind::kFolder, "C:\\web\\p.htm?a=b"},
      {"FILE:///C:/web/file:x/p.htm", Kind::kUnchanged, ""},
      {"file:///C:/web/file:x/p.htm", Kind::kFolder, "C:\\web\\file:x"},
      {"file:///写:/web/p.htm", Kind::kFolder, "写:\\web"},
      {"file://host//:p.htm", Kind::kUnchanged, ""},
  };
  ExpectLocations(PathStyle::kWindows, cases);
}

TEST(PageLocationTest, PosixAddresses) {
  const LocationCase cases[] = {
      {"file:///home/u/web/page.htm", Kind::kFolder, "/home/u/web"},
      {"file:///index.htm", Kind::kFolder, "/"},
      {"file:///home//u//p.htm", Kind::kFolder, "/home//u"},
      {"file:////p.htm", Kind::kFolder, "/"},
      {"file://localhost/home/u/p.htm", Kind::kFolder, "/home/u"},
      {"file:///home/u/a%20b/#1 ?.htm", Kind::kFolder, "/home/u/a%20b"},
      {"file:///home/写真/p.htm", Kind::kFolder, "/home/写真"},
      {"https://example.com/p.htm", Kind::kNotLocal, ""},
      {"file://server/share/p.htm", Kind::kUnchanged, ""},
      {"file:/home/u/p.htm", Kind::kUnchanged, ""},
      {"file://", Kind::kUnchanged, ""},
  };
  ExpectLocations(PathStyle::kPosix, cases);
}

}  // namespace
}  // namespace tervane
