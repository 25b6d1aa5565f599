// Folder addresses from two paths, in both path styles: a folder seen from
// itself has the empty address; every other address is "/"-separated and ends
// in "/"; a name's "%", "#" and "?" never reach it unencoded.
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/folder_address.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

namespace {

void CheckStyle(std::string_view material, std::string_view base, tervane::PathStyle style) {
  const std::string address = tervane::FolderAddress(material, base, style);
  if (!address.empty()) Check(address.back() == '/', "a folder address ends in '/'");
  if (style == tervane::PathStyle::kWindows) {
    Check(address.find('\\') == std::string::npos, "no '\\' in an address");
  }
  Check(address.find('#') == std::string::npos && address.find('?') == std::string::npos,
        "'#' and '?' are encoded");

  // A Windows path made of one separator has no components at all, so it
  // shares none with itself.
  if (!tervane::RemoveTrailingSeparator(material, style).empty() ||
      (style == tervane::PathStyle::kPosix && !material.empty())) {
    Check(tervane::FolderAddress(material, material, style).empty(),
          "a folder seen from itself has the empty address");
  }
  const std::string link = tervane::LinkAddress(address, base);
  Check((link.size() >= address.size() && link.compare(0, address.size(), address) == 0) ||
            link.rfind("./", 0) == 0,
        "a link address starts with its folder's address");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts =
      tervane::fuzz::Split(std::string_view(reinterpret_cast<const char*>(data), size), '\n', 2);
  CheckStyle(parts[0], parts[1], tervane::PathStyle::kWindows);
  CheckStyle(parts[0], parts[1], tervane::PathStyle::kPosix);
  return 0;
}
