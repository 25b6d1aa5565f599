#include "addin/dialog/linkaddress/folder_address.h"

#include <gtest/gtest.h>

#include <span>

namespace tervane {
namespace {

struct FolderCase {
  std::string_view location;
  std::string_view material;
  std::string_view expected;
};

void ExpectFolderAddresses(PathStyle style, std::span<const FolderCase> cases) {
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "Location '" << c.location << "', folder '" << c.material << "'");
    EXPECT_EQ(FolderAddress(c.material, c.location, style), c.expected);
  }
}

TEST(FolderAddressTest, WindowsPaths) {
  const FolderCase cases[] = {
      {"C:\\web", "C:\\web", ""},
      {"C:\\web\\", "C:\\web\\img", "img/"},
      {"C:\\web", "C:\\web\\img\\icons", "img/icons/"},
      {"C:\\web\\docs", "C:\\web\\img", "../img/"},
      {"C:\\web\\docs\\2000", "C:\\web", "../../"},
      {"C:\\web", "C:\\", "../"},
      {"C:\\", "C:\\img", "img/"},
      {"C:\\web", "D:\\pics", "file:///D:/pics/"},
      {"", "C:\\web\\img", "file:///C:/web/img/"},
      {"c:\\web", "C:\\web\\img", "file:///C:/web/img/"},
      {"", "D:\\", "file:///D:/"},
      {"C:\\web\\\\", "C:\\web\\img", "../img/"},
      {"C:\\web", "C:\\Web\\img", "../Web/img/"},
      {"\\\\srv\\share", "\\\\srv\\share\\x", "x/"},
      {"C:\\web", "\\\\srv\\share\\x", "file://///srv/share/x/"},
      {"C:/web", "C:\\web\\img", "file:///C:/web/img/"},
      {"C:\\web", "C:\\web\\R&D 50%#1", "R&D 50%25%231/"},
      {"", "C:\\写真\\#1", "file:///C:/写真/%231/"},
  };
  ExpectFolderAddresses(PathStyle::kWindows, cases);
}

TEST(FolderAddressTest, PosixPaths) {
  const FolderCase cases[] = {
      {"/home/u/web", "/home/u/web", ""},
      {"/home/u/web/", "/home/u/web/img", "img/"},
      {"/home/u/web/docs", "/home/u/web/img", "../img/"},
      {"/home/u/web", "/srv/pics", "../../../srv/pics/"},
      {"/", "/x", "x/"},
      {"/home", "/", "../"},
      {"/", "/", ""},
      {"", "/home/u/img", "file:///home/u/img/"},
      {"", "/", "file:///"},
      {"web", "/home/u", "file:///home/u/"},
      {"/home/u", "/home/u/http:x", "./http:x/"},
      {"/home/u", "/home/u/a/b:c", "a/b:c/"},
      {"/home/u/a", "/home/u/b:c", "../b:c/"},
      {"/w", "/w/50% #1?", "50%25 %231%3F/"},
      {"", "/tmp/a?b", "file:///tmp/a%3Fb/"},
      {"/w", "/w/ lead/x", "%20lead/x/"},
  };
  ExpectFolderAddresses(PathStyle::kPosix, cases);
}

TEST(FolderAddressTest, LinkAddressEncodesTheNameAndGuardsAgainstSchemes) {
  const struct {
    std::string_view folder;
    std::string_view name;
    std::string_view expected;
  } cases[] = {
      {"", "a.jpg", "a.jpg"},
      {"img/", "a b#1?.jpg", "img/a b%231%3F.jpg"},
      {"", "100%.jpg", "100%25.jpg"},
      {"", "R&D 写真.jpg", "R&D 写真.jpg"},
      {"", "http:x.htm", "./http:x.htm"},
      {"img/", "c:x.htm", "img/c:x.htm"},
      {"./http:x/", "a.jpg", "./http:x/a.jpg"},
      {"file:///D:/pics/", "a.jpg", "file:///D:/pics/a.jpg"},
      {"file:///home/", "c:x.htm", "file:///home/c:x.htm"},
      {"", " a b .jpg ", "%20a b .jpg%20"},
      {"img/", "tab\there\x7f.jpg", "img/tab%09here%7F.jpg"},
      {"file:///home/", "z ", "file:///home/z%20"},
      {"", "g\uFFFF\uFDD0\uFFFD\u0089\u00A0.jpg", "g%EF%BF%BF%EF%B7%90\uFFFD%C2%89\u00A0.jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "folder '" << c.folder << "', name '" << c.name << "'");
    EXPECT_EQ(LinkAddress(c.folder, c.name), c.expected);
  }
}

}  // namespace
}  // namespace tervane
