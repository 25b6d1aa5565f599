// Picture files as anyone may have made them: the metadata reader reads no
// more than its limit, and the title it gives is one line of UTF-8 with
// nothing but blanks at neither end.
#include <algorithm>
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/picture_metadata.h"
#include "addin/dialog/linkaddress/picture_order.h"
#include "addin/dialog/linkaddress/picture_title.h"
#include "addin/dialog/linkaddress/utf8.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::size_t read = 0;
  const tervane::PictureMetadata metadata =
      tervane::ReadPictureMetadata([&](std::uint64_t offset, char* into, std::size_t length) {
        if (offset >= bytes.size()) return std::size_t{0};
        const std::size_t count = std::min<std::uint64_t>(length, bytes.size() - offset);
        std::copy_n(bytes.data() + offset, count, into);
        read += count;
        return count;
      });
  Check(read <= tervane::kMaxPictureMetadataBytes, "at most the limit is read");

  // Shift_JIS stands in as "every byte is a character", which is enough to
  // reach the rule's every branch.
  const std::optional<std::string> title =
      tervane::PictureTitle(metadata, [](std::string_view text) -> std::optional<std::string> {
        if (text.size() % 2) return std::nullopt;
        return std::string(text.size() / 2, 'j');
      });
  if (title) {
    Check(!title->empty() && tervane::IsValidUtf8(*title), "a title is UTF-8");
    Check(std::none_of(title->begin(), title->end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
          "a title is one line without control characters");
    Check(title->front() != ' ' && title->back() != ' ', "a title has no blanks at its ends");
    Check(tervane::CleanTitle(*title) == *title, "a title is clean");
  }
  if (metadata.taken) {
    if (const std::optional<std::string> key = tervane::TimeKey(*metadata.taken)) {
      Check(key->size() >= 19 && (*key)[4] == ':', "a time key has the date's form");
    }
  }
  return 0;
}
