// Shortcut files as anyone may have written them: the address read from any
// bytes is UTF-8 without NUL, and a file that is not text gives none.
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/shortcut.h"
#include "addin/platform/codec/text_codec.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto decodeAnsi = [](std::string_view ansi) -> std::optional<std::string> {
    if (tervane::IsValidUtf8(ansi)) return std::string(ansi);
    return tervane::DecodeStrict(tervane::Charset::kCp932, ansi);
  };
  const std::string url = tervane::ShortcutUrlFromBytes(bytes, decodeAnsi);
  Check(tervane::fuzz::IsUtf8(url), "the address is UTF-8");
  Check(url.find('\0') == std::string::npos, "the address holds no NUL");
  Check(url.size() <= bytes.size() * 3, "the address is no longer than its text");
  if (!url.empty()) Check(bytes.find("=") != std::string_view::npos, "an address comes from a key");
  // A script address has its scheme before the first ":", and a browser
  // reads the same scheme with blanks and controls in front of it.
  if (tervane::RunsAsScript(url)) {
    Check(url.find(':') != std::string::npos, "a script address has a scheme");
    Check(tervane::RunsAsScript(" \t\x01" + url), "blanks in front run the same script");
  }

  if (const auto decoded = tervane::DecodeUtf7(bytes)) {
    Check(tervane::fuzz::IsUtf8(*decoded), "UTF-7 decodes to UTF-8");
  }
  return 0;
}
