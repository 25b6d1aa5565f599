#include "addin/platform/codec/text_codec.h"

#include <array>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"

namespace tervane {

namespace {

struct Encoding {
  Charset charset;
  std::string_view name;
  std::string_view labels;  // lower case, separated by blanks
};

// The labels browsers accept for each encoding. Every Shift_JIS label means
// code page 932, which "cp932" names as well.
constexpr auto kEncodings = std::to_array<Encoding>({
    {Charset::kUtf8, "UTF-8",
     "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
    {Charset::kIbm866, "IBM866", "866 cp866 csibm866 ibm866"},
    {Charset::kIso8859_2, "ISO-8859-2",
     "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {Charset::kIso8859_3, "ISO-8859-3",
     "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {Charset::kIso8859_4, "ISO-8859-4",
     "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {Charset::kIso8859_5, "ISO-8859-5",
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 "
     "iso_8859-5:1988"},
    {Charset::kIso8859_6, "ISO-8859-6",
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
     "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {Charset::kIso8859_7, "ISO-8859-7",
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 "
     "iso_8859-7 iso_8859-7:1987 sun_eu_greek"},
    {Charset::kIso8859_8, "ISO-8859-8",
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 "
     "iso_8859-8 iso_8859-8:1988 visual"},
    {Charset::kIso8859_8I, "ISO-8859-8-I", "csiso88598i iso-8859-8-i logical"},
    {Charset::kIso8859_10, "ISO-8859-10",
     "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {Charset::kIso8859_13, "ISO-8859-13", "iso-8859-13 iso8859-13 iso885913"},
    {Charset::kIso8859_14, "ISO-8859-14", "iso-8859-14 iso8859-14 iso885914"},
    {Charset::kIso8859_15, "ISO-8859-15",
     "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {Charset::kIso8859_16, "ISO-8859-16", "iso-8859-16"},
    {Charset::kKoi8R, "KOI8-R", "cskoi8r koi koi8 koi8-r koi8_r"},
    {Charset::kKoi8U, "KOI8-U", "koi8-ru koi8-u"},
    {Charset::kMacintosh, "macintosh", "csmacintosh mac macintosh x-mac-roman"},
    {Charset::kWindows874, "windows-874",
     "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {Charset::kWindows1250, "windows-1250", "cp1250 windows-1250 x-cp1250"},
    {Charset::kWindows1251, "windows-1251", "cp1251 windows-1251 x-cp1251"},
    {Charset::kWindows1252, "windows-1252",
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 "
     "iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {Charset::kWindows1253, "windows-1253", "cp1253 windows-1253 x-cp1253"},
    {Charset::kWindows1254, "windows-1254",
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 "
     "latin5 windows-1254 x-cp1254"},
    {Charset::kWindows1255, "windows-1255", "cp1255 windows-1255 x-cp1255"},
    {Charset::kWindows1256, "windows-1256", "cp1256 windows-1256 x-cp1256"},
    {Charset::kWindows1257, "windows-1257", "cp1257 windows-1257 x-cp1257"},
    {Charset::kWindows1258, "windows-1258", "cp1258 windows-1258 x-cp1258"},
    {Charset::kXMacCyrillic, "x-mac-cyrillic", "x-mac-cyrillic x-mac-ukrainian"},
    {Charset::kGbk, "GBK",
     "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
    {Charset::kGb18030, "gb18030", "gb18030"},
    {Charset::kBig5, "Big5", "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {Charset::kEucJp, "EUC-JP", "cseucpkdfmtjapanese euc-jp x-euc-jp"},
    {Charset::kIso2022Jp, "ISO-2022-JP", "csiso2022jp iso-2022-jp"},
    {Charset::kCp932, "Shift_JIS",
     "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis cp932"},
    {Charset::kEucKr, "EUC-KR",
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 "
     "ksc_5601 windows-949"},
    {Charset::kReplacement, "replacement",
     "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement"},
    {Charset::kUtf16Be, "UTF-16BE", "unicodefffe utf-16be"},
    {Charset::kUtf16Le, "UTF-16LE",
     "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
    {Charset::kXUserDefined, "x-user-defined", "x-user-defined"},
});

bool IsAsciiWhitespace(char c) {
  return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool InList(std::string_view list, std::string_view lowerLabel) {
  while (!list.empty()) {
    const std::size_t blank = list.find(' ');
    if (list.substr(0, blank) == lowerLabel) return true;
    if (blank == std::string_view::npos) break;
    list.remove_prefix(blank + 1);
  }
  return false;
}

// The whole of `bytes` converted, or nullopt at the first invalid input.
std::optional<std::string> ConvertAll(Charset charset, CharsetConverter::Direction direction,
                                      std::string_view bytes) {
  CharsetConverter converter(charset, direction);
  std::string out;
  out.resize(bytes.size() * 2 + 16);
  std::size_t used = 0;
  for (;;) {
    std::size_t written = 0;
    const auto stop = converter.Convert(bytes, out.data() + used, out.size() - used, written);
    used += written;
    if (stop == CharsetConverter::Stop::kDone) break;
    if (stop == CharsetConverter::Stop::kInvalidInput) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::string_view CharsetName(Charset charset) {
  for (const Encoding& encoding : kEncodings) {
    if (encoding.charset == charset) return encoding.name;
  }
  return "UTF-8";
}

std::optional<Charset> CharsetFromLabel(std::string_view label) {
  while (!label.empty() && IsAsciiWhitespace(label.front())) label.remove_prefix(1);
  while (!label.empty() && IsAsciiWhitespace(label.back())) label.remove_suffix(1);
  std::string lower(label);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const Encoding& encoding : kEncodings) {
    if (InList(encoding.labels, lower)) return encoding.charset;
  }
  return std::nullopt;
}

bool IsWritable(Charset charset) {
  return charset != Charset::kIso2022Jp && charset != Charset::kReplacement &&
         charset != Charset::kXUserDefined;
}

bool IsAsciiCompatible(Charset charset) {
  return charset != Charset::kUtf16Be && charset != Charset::kUtf16Le;
}

std::optional<std::string> DecodeStrict(Charset charset, std::string_view bytes) {
  if (charset == Charset::kUtf8) {
    if (!IsValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  return ConvertAll(charset, CharsetConverter::Direction::kDecode, bytes);
}

std::optional<std::string> Encode(Charset charset, std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  if (charset == Charset::kUtf8) return std::string(utf8);
  auto encoded = ConvertAll(charset, CharsetConverter::Direction::kEncode, utf8);
  if (!encoded) return std::nullopt;
  // Browsers write no JIS X 0212 character (three bytes from 0x8F) in
  // EUC-JP, and Windows' code page has none.
  if (charset == Charset::kEucJp && encoded->find('\x8F') != std::string::npos) {
    return std::nullopt;
  }
  // Nor any of Big5's Hong Kong extensions, whose lead bytes are below 0xA1.
  if (charset == Charset::kBig5) {
    for (std::size_t i = 0; i < encoded->size(); ++i) {
      const auto byte = static_cast<unsigned char>((*encoded)[i]);
      if (byte < 0x80) continue;
      if (byte < 0xA1) return std::nullopt;
      ++i;
    }
  }
  // The system may write a few characters as their look-alikes (glibc writes
  // U+00A5 as the backslash byte in code page 932, U+301C as the byte pair
  // that reads back as U+FF5E). Such a character cannot be written: what a
  // reader finds is another one.
  if (DecodeStrict(charset, *encoded) != utf8) return std::nullopt;
  return encoded;
}

}  // namespace tervane
