#include "addin/platform/codec/lenient_decode.h"

#include <algorithm>
#include <array>
#include <limits>

#include "addin/dialog/linkaddress/utf8.h"
#include "addin/platform/codec/charset_converter.h"

namespace tervane {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Both walks below decode until the output reaches `limit` bytes, append the
// output to `out` unless it is null, and return how many input bytes they
// consumed. Decoding and mapping back share them, so they cannot disagree.

std::size_t WalkUtf8(std::string_view bytes, std::size_t limit, std::string* out) {
  std::size_t pos = 0;
  std::size_t produced = 0;
  while (pos < bytes.size()) {
    const Utf8Step step = NextUtf8(bytes, pos);
    if (!step.valid) {
      if (limit - produced < kReplacement.size()) break;
      if (out != nullptr) out->append(kReplacement);
      produced += kReplacement.size();
      pos += step.length;
      continue;
    }
    std::size_t length = step.length;
    // A run of valid characters is copied in one piece.
    std::size_t end = pos;
    while (length != 0 && length <= limit - produced) {
      end += length;
      produced += length;
      length = end < bytes.size() ? Utf8CharLength(bytes, end) : 0;
    }
    if (end == pos) break;
    if (out != nullptr) out->append(bytes.substr(pos, end - pos));
    pos = end;
  }
  return pos;
}

std::size_t WalkConverter(Charset charset, std::string_view bytes, std::size_t limit,
                          std::string* out) {
  CharsetConverter converter(charset, CharsetConverter::Direction::kDecode);
  std::array<char, 64 * 1024> chunk;
  std::string_view rest = bytes;
  std::size_t produced = 0;
  while (!rest.empty() && produced < limit) {
    const std::size_t room = std::min(chunk.size(), limit - produced);
    std::size_t written = 0;
    const auto stop = converter.Convert(rest, chunk.data(), room, written);
    if (out != nullptr) out->append(chunk.data(), written);
    produced += written;
    if (stop == CharsetConverter::Stop::kOutputFull) {
      if (written == 0) break;  // the bound falls inside a character
      continue;
    }
    if (stop == CharsetConverter::Stop::kInvalidInput) {
      if (limit - produced < kReplacement.size()) break;
      if (out != nullptr) out->append(kReplacement);
      produced += kReplacement.size();
      // A UTF-16 unit that starts no character is two bytes.
      rest.remove_prefix(IsAsciiCompatible(charset) ? 1 : std::min<std::size_t>(2, rest.size()));
      converter.Reset();
    }
  }
  return bytes.size() - rest.size();
}

}  // namespace

std::string DecodeLenient(Charset charset, std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  if (charset == Charset::kUtf8) {
    WalkUtf8(bytes, kNoLimit, &out);
  } else {
    WalkConverter(charset, bytes, kNoLimit, &out);
  }
  return out;
}

std::size_t LenientSourceLength(Charset charset, std::string_view bytes,
                                std::size_t decodedLength) {
  if (charset == Charset::kUtf8) return WalkUtf8(bytes, decodedLength, nullptr);
  return WalkConverter(charset, bytes, decodedLength, nullptr);
}

}  // namespace tervane
