// GUID constants spelled as registry text, turned into GUID structures at
// compile time. MinGW cannot attach identifiers to our own classes with
// __declspec(uuid), so every identifier is a constant like these.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace tervane::win32 {

namespace detail {
constexpr std::uint32_t HexValue(std::string_view text) {
  std::uint32_t value = 0;
  for (char c : text) {
    value <<= 4;
    if (c >= '0' && c <= '9') {
      value |= static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      value |= static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      value |= static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      throw "not a hexadecimal digit";  // a compile error in constant evaluation
    }
  }
  return value;
}
}  // namespace detail

/// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as a GUID.
constexpr GUID GuidFromText(std::string_view text) {
  if (text.size() != 38 || text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
      text[24] != '-' || text[37] != '}') {
    throw "not a braced GUID";
  }
  GUID guid{};
  guid.Data1 = static_cast<unsigned long>(detail::HexValue(text.substr(1, 8)));
  guid.Data2 = static_cast<unsigned short>(detail::HexValue(text.substr(10, 4)));
  guid.Data3 = static_cast<unsigned short>(detail::HexValue(text.substr(15, 4)));
  guid.Data4[0] = static_cast<unsigned char>(detail::HexValue(text.substr(20, 2)));
  guid.Data4[1] = static_cast<unsigned char>(detail::HexValue(text.substr(22, 2)));
  for (int i = 0; i < 6; ++i) {
    guid.Data4[2 + i] = static_cast<unsigned char>(detail::HexValue(text.substr(25 + 2 * i, 2)));
  }
  return guid;
}

}  // namespace tervane::win32
