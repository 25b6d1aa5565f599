// Page addresses: the page base location derived from any address is a
// folder path in the platform's own form, or nothing.
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/page_location.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  using Kind = tervane::PageBaseLocation::Kind;

  const tervane::PageBaseLocation windows =
      tervane::DerivePageBaseLocation(address, tervane::PathStyle::kWindows);
  if (address.find("file:") == std::string_view::npos &&
      address.find("FILE:") == std::string_view::npos) {
    Check(windows.kind == Kind::kNotLocal, "no file address, no location");
  }
  if (windows.kind == Kind::kFolder) {
    const std::string& folder = windows.folder;
    Check(folder.find('/') == std::string::npos, "a Windows location has no '/'");
    Check(folder.find(':') != std::string::npos || folder.starts_with("\\\\"),
          "a Windows location starts with its drive or its share");
    Check(address.size() >= folder.size(), "the location comes from the address");
  }

  const tervane::PageBaseLocation posix =
      tervane::DerivePageBaseLocation(address, tervane::PathStyle::kPosix);
  if (posix.kind == Kind::kFolder) {
    const std::string& folder = posix.folder;
    Check(!folder.empty() && folder.front() == '/', "a POSIX location is absolute");
    Check(folder == "/" || folder.back() != '/', "only the root ends in '/'");
  }
  return 0;
}
