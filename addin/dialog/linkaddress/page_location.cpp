#include "addin/dialog/linkaddress/page_location.h"

#include <algorithm>
#include <utility>

#include "addin/dialog/linkaddress/ascii.h"

namespace tervane {
namespace {

PageBaseLocation Unchanged() { return {PageBaseLocation::Kind::kUnchanged, {}}; }

PageBaseLocation Folder(std::string folder) {
  return {PageBaseLocation::Kind::kFolder, std::move(folder)};
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A page on a network share: `rest` is "//server/share/.../page.htm" (some
// programs write more slashes in front of the server). Its folder is
// "\\server\share\...", the form the file system and the folder lists use.
PageBaseLocation ShareFolder(std::string_view rest) {
  const std::size_t server = rest.find_first_not_of('/');
  if (server == std::string_view::npos || server < 2) return Unchanged();
  rest.remove_prefix(server);
  const std::size_t serverEnd = rest.find('/');
  if (serverEnd == std::string_view::npos ||
      EqualsIgnoringAsciiCase(rest.substr(0, serverEnd), "localhost")) {
    return Unchanged();
  }
  const std::size_t shareEnd = rest.find('/', serverEnd + 1);
  if (shareEnd == std::string_view::npos || shareEnd == serverEnd + 1) return Unchanged();
  std::string folder = "\\\\" + std::string{rest.substr(0, rest.rfind('/'))};
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return Folder(std::move(folder));
}

// `rest` is what follows "file:". The drive letter is the character (not
// byte) in front of the first colon; a host such as //localhost/ before it
// is dropped with everything else in front of the drive.
PageBaseLocation WindowsFolder(std::string_view rest) {
  const std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return ShareFolder(rest);
  if (colon == 0) return Unchanged();
  std::size_t driveStart = colon - 1;
  while (driveStart > 0 && IsUtf8Continuation(rest[driveStart])) --driveStart;
  rest.remove_prefix(driveStart);
  const std::size_t lastSlash = rest.rfind('/');
  // No "/" after the drive, or a "/" standing where the drive letter should
  // be: no folder to take.
  if (lastSlash == std::string_view::npos || lastSlash == 0) return Unchanged();
  std::string folder{rest.substr(0, lastSlash)};
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return Folder(std::move(folder));
}

PageBaseLocation PosixFolder(std::string_view rest) {
  if (!rest.starts_with("//")) return Unchanged();
  rest.remove_prefix(2);
  const std::size_t pathStart = rest.find('/');
  if (pathStart == std::string_view::npos) return Unchanged();
  const std::string_view host = rest.substr(0, pathStart);
  if (!host.empty() && !EqualsIgnoringAsciiCase(host, "localhost")) return Unchanged();
  std::string_view folder = rest.substr(pathStart);
  folder = folder.substr(0, folder.rfind('/'));
  // "/a//p.htm" lies in "/a", as the file system sees it.
  while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
  return Folder(folder.empty() ? "/" : std::string{folder});
}

}  // namespace

PageBaseLocation DerivePageBaseLocation(std::string_view pageAddress, PathStyle style) {
  constexpr std::string_view kLowerPrefix = "file:";
  constexpr std::string_view kUpperPrefix = "FILE:";
  std::size_t prefix = pageAddress.find(kLowerPrefix);
  if (prefix == std::string_view::npos) prefix = pageAddress.find(kUpperPrefix);
  if (prefix == std::string_view::npos) return {PageBaseLocation::Kind::kNotLocal, {}};
  const std::string_view rest = pageAddress.substr(prefix + kLowerPrefix.size());
  return style == PathStyle::kWindows ? WindowsFolder(rest) : PosixFolder(rest);
}

}  // namespace tervane
