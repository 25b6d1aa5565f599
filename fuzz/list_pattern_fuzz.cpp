// List patterns and names: matching never fails, "*" and "*.*" match every
// name, a name matches itself in any ASCII letter case, and the list order
// is a strict weak order.
#include <cctype>
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/list_pattern.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts =
      tervane::fuzz::Split(std::string_view(reinterpret_cast<const char*>(data), size), '\n', 3);
  const std::string_view pattern = parts[0];
  const std::string_view name = parts[1];
  const std::string_view other = parts[2];

  tervane::FilePattern(pattern).Matches(name);
  Check(tervane::FilePattern("*").Matches(name), "'*' matches every name");
  Check(tervane::FilePattern("*.*").Matches(name), "'*.*' matches every name");

  const bool plain = name.find_first_of("*?;") == std::string_view::npos;
  if (plain && tervane::fuzz::IsUtf8(name)) {
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Check(tervane::FilePattern(upper).Matches(name), "a name matches itself in any case");
  }

  Check(!tervane::ListOrderLess(name, name), "the order is irreflexive");
  Check(!(tervane::ListOrderLess(name, other) && tervane::ListOrderLess(other, name)),
        "the order is asymmetric");
  if (name != other) {
    Check(tervane::ListOrderLess(name, other) || tervane::ListOrderLess(other, name),
          "different names are ordered");
  }
  return 0;
}
