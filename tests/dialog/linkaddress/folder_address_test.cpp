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
      // The ends of each range that is encoded, between the code points beside them.
      {"", "\u0080\u009F\u00A0", "%C2%80%C2%9F\u00A0"},
      {"", "\uFDCF\uFDD0\uFDEF\uFDF0", "\uFDCF%EF%B7%90%EF%B7%AF\uFDF0"},
      {"", "\uFFFD\uFFFE\uFFFF\U00010000", "\uFFFD%EF%BF%BE%EF%BF%BF\U00010000"},
      {"", "\U0001FFFD\U0001FFFE\U0001FFFF", "\U0001FFFD%F0%9F%BF%BE%F0%9F%BF%BF"},
      {"", "\U0002FFFD\U0002FFFE\U0002FFFF", "\U0002FFFD%F0%AF%BF%BE%F0%AF%BF%BF"},
      {"", "\U0003FFFD\U0003FFFE\U0003FFFF", "\U0003FFFD%F0%BF%BF%BE%F0%BF%BF%BF"},
      {"", "\U0004FFFD\U0004FFFE\U0004FFFF", "\U0004FFFD%F1%8F%BF%BE%F1%8F%BF%BF"},
      {"", "\U0005FFFD\U0005FFFE\U0005FFFF", "\U0005FFFD%F1%9F%BF%BE%F1%9F%BF%BF"},
      {"", "\U0006FFFD\U0006FFFE\U0006FFFF", "\U0006FFFD%F1%AF%BF%BE%F1%AF%BF%BF"},
      {"", "\U0007FFFD\U0007FFFE\U0007FFFF", "\U0007FFFD%F1%BF%BF%BE%F1%BF%BF%BF"},
      {"", "\U0008FFFD\U0008FFFE\U0008FFFF", "\U0008FFFD%F2%8F%BF%BE%F2%8F%BF%BF"},
      {"", "\U0009FFFD\U0009FFFE\U0009FFFF", "\U0009FFFD%F2%9F%BF%BE%F2%9F%BF%BF"},
      {"", "\U000AFFFD\U000AFFFE\U000AFFFF", "\U000AFFFD%F2%AF%BF%BE%F2%AF%BF%BF"},
      {"", "\U000BFFFD\U000BFFFE\U000BFFFF", "\U000BFFFD%F2%BF%BF%BE%F2%BF%BF%BF"},
      {"", "\U000CFFFD\U000CFFFE\U000CFFFF", "\U000CFFFD%F3%8F%BF%BE%F3%8F%BF%BF"},
      {"", "\U000DFFFD\U000DFFFE\U000DFFFF", "\U000DFFFD%F3%9F%BF%BE%F3%9F%BF%BF"},
      {"", "\U000EFFFD\U000EFFFE\U000EFFFF", "\U000EFFFD%F3%AF%BF%BE%F3%AF%BF%BF"},
      {"", "\U000FFFFD\U000FFFFE\U000FFFFF", "\U000FFFFD%F3%BF%BF%BE%F3%BF%BF%BF"},
      {"", "\U0010FFFD\U0010FFFE\U0010FFFF", "\U0010FFFD%F4%8F%BF%BE%F4%8F%BF%BF"},
      {"",
       "\U00020000\U00030000\U00040000\U00050000\U00060000\U00070000\U00080000\U00090000\U000A0000"
       "\U000B0000\U000C0000\U000D0000\U000E0000\U000F0000\U00100000",
       "\U00020000\U00030000\U00040000\U00050000\U00060000\U00070000\U00080000\U00090000\U000A0000"
       "\U000B0000\U000C0000\U000D0000\U000E0000\U000F0000\U00100000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "folder '" << c.folder << "', name '" << c.name << "'");
    EXPECT_EQ(LinkAddress(c.folder, c.name), c.expected);
  }
}

}  // namespace
}  // namespace tervane
