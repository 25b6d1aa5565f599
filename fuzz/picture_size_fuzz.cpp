// Picture files as anyone may have made them: the header reader reads no
// more than the limit wherever the header lies, answers the same when the
// file gives its bytes one at a time, and a size it finds is one a page can
// carry.
#include <algorithm>
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/picture_size.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::size_t given = 0;
  const auto readAtMost = [&](std::size_t most) {
    return [&, most](std::uint64_t offset, char* into, std::size_t length) {
      if (offset >= bytes.size()) return std::size_t{0};
      const std::size_t count = bytes.copy(into, std::min(length, most), offset);
      given += count;
      return count;
    };
  };
  const std::optional<tervane::PictureSize> read = tervane::ReadPictureSize(readAtMost(SIZE_MAX));
  Check(given <= tervane::kMaxPictureHeaderBytes, "at most the limit is read");

  given = 0;
  const std::optional<tervane::PictureSize> slowly = tervane::ReadPictureSize(readAtMost(1));
  Check(given <= tervane::kMaxPictureHeaderBytes, "at most the limit is read, byte by byte");
  Check(slowly == read, "short reads find the same");
  Check(tervane::PictureSizeOfBytes(bytes) == read, "the bytes at hand say the same");
  if (read) {
    Check(read->width >= 1 && read->width <= 0x7FFFFFFF, "a width a page can carry");
    Check(read->height >= 1 && read->height <= 0x7FFFFFFF, "a height a page can carry");
  }
  return 0;
}
