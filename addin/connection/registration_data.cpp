#include "addin/connection/registration_data.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace tervane::registration {
namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" as the 16 bytes of a GUID: the
// first three groups little-endian, the last two in order.
std::array<std::uint8_t, 16> GuidBytes(std::string_view text) {
  std::string hex;
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) hex += c;
  }
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t i = 0; i < 16; ++i) {
    bytes[i] = static_cast<std::uint8_t>(std::strtoul(hex.substr(2 * i, 2).c_str(), nullptr, 16));
  }
  const auto swap = [&](std::size_t from, std::size_t count) {
    for (std::size_t i = 0; i < count / 2; ++i)
      std::swap(bytes[from + i], bytes[from + count - 1 - i]);
  };
  swap(0, 4);
  swap(4, 2);
  swap(6, 2);
  return bytes;
}

}  // namespace

std::string AddInKey() { return std::string(kHostKey) + "\\Addins\\" + std::string(kProgId); }

std::vector<std::string> OwnedKeys() {
  const std::string classes = "Software\\Classes\\";
  return {
      classes + "CLSID\\" + std::string(kClassId),
      classes + std::string(kProgId),
      classes + "TypeLib\\" + std::string(kTypeLibraryId),
      classes + "Interface\\" + std::string(kDefaultInterfaceId),
      AddInKey(),
  };
}

std::array<std::uint8_t, 20> DesignerInterfaceResource() {
  std::array<std::uint8_t, 20> resource{16, 0, 0, 0};
  const std::array<std::uint8_t, 16> guid = GuidBytes(kDefaultInterfaceId);
  std::copy(guid.begin(), guid.end(), resource.begin() + 4);
  return resource;
}

}  // namespace tervane::registration
