#include "addin/dialog/linkaddress/path_style.h"

#include <gtest/gtest.h>

#include "addin/dialog/linkaddress/folder_address.h"

namespace tervane {
namespace {

TEST(PathStyleTest, PathHelpers) {
  const struct {
    PathStyle style;
    std::string_view text;
    std::string_view drive;
    std::string_view withoutSeparator;
    std::string_view joined;  // text joined with "a.url"
  } cases[] = {
      {PathStyle::kWindows, "c:\\web", "c:", "c:\\web", "c:\\web\\a.url"},
      {PathStyle::kWindows, "D:\\", "D:", "D:", "D:\\a.url"},
      {PathStyle::kWindows, "C:\\web\\\\", "C:", "C:\\web\\", "C:\\web\\\\a.url"},
      {PathStyle::kWindows, "", "", "", "\\a.url"},
      {PathStyle::kPosix, "/home/u/", "/", "/home/u", "/home/u/a.url"},
      {PathStyle::kPosix, "/", "/", "", "/a.url"},
      {PathStyle::kPosix, "/a\\b", "/", "/a\\b", "/a\\b/a.url"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.style == PathStyle::kWindows ? "Windows" : "POSIX")
                                    << " '" << c.text << "'");
    EXPECT_EQ(DriveSpecification(c.text, c.style), c.drive);
    EXPECT_EQ(RemoveTrailingSeparator(c.text, c.style), c.withoutSeparator);
    EXPECT_EQ(JoinPath(c.text, "a.url", c.style), c.joined);
  }
}

}  // namespace
}  // namespace tervane
