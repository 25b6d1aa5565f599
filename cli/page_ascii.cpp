#include "cli/page_ascii.h"

#include <algorithm>

#include "addin/platform/error.h"

namespace tervane::cli {

PageAscii::PageAscii(Charset charset) {
  std::string all;
  for (int c = 1; c < 128; ++c) all += static_cast<char>(c);
  if (!IsAsciiCompatible(charset)) {
    // One conversion for all of them: each comes out as one unit.
    const std::optional<std::string> encoded = Encode(charset, all);
    if (!encoded || encoded->size() % all.size() != 0) {
      throw Error(kErrInvalidCall, "cannot write ASCII in " + std::string(CharsetName(charset)));
    }
    width_ = encoded->size() / all.size();
    all = *encoded;
  }
  for (std::size_t c = 1; c < units_.size(); ++c) units_[c] = all.substr((c - 1) * width_, width_);
}

std::string PageAscii::Bytes(std::string_view ascii) const {
  std::string bytes;
  bytes.reserve(ascii.size() * width_);
  for (const char c : ascii) bytes += units_[static_cast<unsigned char>(c) & 0x7F];
  return bytes;
}

bool PageAscii::At(std::string_view text, std::size_t at, std::string_view ascii) const {
  if (at > text.size() || text.size() - at < ascii.size() * width_) return false;
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    if (!IsAnyOf(text, at + i * width_, ascii.substr(i, 1))) return false;
  }
  return true;
}

std::size_t PageAscii::Find(std::string_view text, std::string_view ascii, std::size_t from) const {
  const std::string bytes = Bytes(ascii);
  for (std::size_t at = text.find(bytes, from); at != text.npos; at = text.find(bytes, at + 1)) {
    // In UTF-16 the bytes may also stand astride two units.
    if (at % width_ == 0) return at;
  }
  return text.npos;
}

std::size_t PageAscii::FindAnyOf(std::string_view text, std::string_view characters,
                                 std::size_t from) const {
  if (width_ == 1) return text.find_first_of(characters, from);
  for (std::size_t at = from; at + width_ <= text.size(); at += width_) {
    if (IsAnyOf(text, at, characters)) return at;
  }
  return text.npos;
}

std::size_t PageAscii::FindLastOf(std::string_view text, std::string_view characters,
                                  std::size_t before) const {
  if (width_ == 1) return before == 0 ? text.npos : text.find_last_of(characters, before - 1);
  for (std::size_t at = std::min(before, text.size()) / width_ * width_; at >= width_;) {
    at -= width_;
    if (IsAnyOf(text, at, characters)) return at;
  }
  return text.npos;
}

bool PageAscii::IsAnyOf(std::string_view text, std::size_t at, std::string_view characters) const {
  if (at > text.size() || text.size() - at < width_) return false;
  if (width_ == 1) return characters.find(text[at]) != characters.npos;
  for (const char c : characters) {
    if (text.compare(at, width_, units_[static_cast<unsigned char>(c) & 0x7F]) == 0) return true;
  }
  return false;
}

}  // namespace tervane::cli
