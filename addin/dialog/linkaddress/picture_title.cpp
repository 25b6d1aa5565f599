#include "addin/dialog/linkaddress/picture_title.h"

#include "addin/dialog/linkaddress/utf8.h"

namespace tervane {
namespace {

std::string FromLatin1(std::string_view text) {
  std::string utf8;
  for (const char c : text) AppendUtf8(static_cast<unsigned char>(c), utf8);
  return utf8;
}

// UTF-16LE up to its first NUL, unpaired surrogates as U+FFFD.
std::string FromUtf16Le(std::string_view bytes) {
  std::string utf8;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = static_cast<unsigned char>(bytes[i]) |
                    static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                           static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 3])) << 8;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), utf8);
        i += 2;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
    AppendUtf8(unit, utf8);
  }
  return utf8;
}

std::string Utf8OrLatin1(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : FromLatin1(bytes);
}

std::string IptcText(const PictureMetadata& m, const ShiftJisDecoder& shiftJis) {
  const std::string_view bytes = *m.iptcCaption;
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (m.iptcUtf8) return {};  // declared UTF-8 but is not: no text to trust
  if (std::optional<std::string> decoded = shiftJis(bytes)) return *decoded;
  return FromLatin1(bytes);
}

}  // namespace

std::string CleanTitle(std::string_view text) {
  // Runs of blanks and control characters become one space; bytes that are
  // no UTF-8 become U+FFFD.
  std::string line;
  bool pendingSpace = false;
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Step step = NextUtf8(text, i);
    const auto byte = static_cast<unsigned char>(text[i]);
    if (step.valid && step.length == 1 && (byte <= 0x20 || byte == 0x7F)) {
      pendingSpace = true;
      ++i;
      continue;
    }
    if (pendingSpace && !line.empty()) line += ' ';
    pendingSpace = false;
    line += step.valid ? text.substr(i, step.length) : std::string_view("\uFFFD");
    i += step.length;
  }
  // The ideographic space at either end.
  static constexpr std::string_view kIdeographic = "\u3000";
  std::string_view trimmed = line;
  for (;;) {
    if (trimmed.starts_with(kIdeographic)) {
      trimmed.remove_prefix(kIdeographic.size());
    } else if (trimmed.ends_with(kIdeographic)) {
      trimmed.remove_suffix(kIdeographic.size());
    } else if (trimmed.starts_with(' ')) {
      trimmed.remove_prefix(1);
    } else if (trimmed.ends_with(' ')) {
      trimmed.remove_suffix(1);
    } else {
      break;
    }
  }
  return std::string(trimmed);
}

std::optional<std::string> PictureTitle(const PictureMetadata& m, const ShiftJisDecoder& shiftJis) {
  const std::function<std::string()> sources[] = {
      [&] { return m.xmpTitle ? Utf8OrLatin1(*m.xmpTitle) : std::string(); },
      [&] { return m.xmpDescription ? Utf8OrLatin1(*m.xmpDescription) : std::string(); },
      [&] { return m.iptcCaption ? IptcText(m, shiftJis) : std::string(); },
      [&] { return m.exifDescription ? Utf8OrLatin1(*m.exifDescription) : std::string(); },
      [&] { return m.xpTitle ? FromUtf16Le(*m.xpTitle) : std::string(); },
      [&] { return m.pngTitle ? Utf8OrLatin1(*m.pngTitle) : std::string(); },
      [&] { return m.pngDescription ? Utf8OrLatin1(*m.pngDescription) : std::string(); },
  };
  for (const auto& source : sources) {
    std::string title = CleanTitle(source());
    if (!title.empty()) return title;
  }
  return std::nullopt;
}

}  // namespace tervane
