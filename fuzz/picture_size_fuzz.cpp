// Picture files as anyone may have made them: the header reader asks for no
// more than the limit, answers the same for a prefix as for the whole once it
// has an answer, and a size it finds is one a page can carry.
#include <algorithm>
#include <cstdint>
#include <string>

#include "addin/dialog/linkaddress/picture_size.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;
using State = tervane::PictureHeader::State;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::size_t given = 0;
  const std::optional<tervane::PictureSize> read =
      tervane::ReadPictureSize([&](char* into, std::size_t length) {
        const std::size_t count = std::min(length, bytes.size() - given);
        std::copy_n(bytes.data() + given, count, into);
        given += count;
        return count;
      });
  Check(given <= tervane::kMaxPictureHeaderBytes, "at most the limit is read");

  const tervane::PictureHeader whole =
      tervane::ReadPictureHeader(bytes.substr(0, tervane::kMaxPictureHeaderBytes));
  Check(read.has_value() == (whole.state == State::kSize), "reading in steps finds the same");
  if (whole.state == State::kSize) {
    Check(*read == whole.size, "reading in steps finds the same size");
    Check(whole.size.width >= 1 && whole.size.width <= 0x7FFFFFFF, "a width a page can carry");
    Check(whole.size.height >= 1 && whole.size.height <= 0x7FFFFFFF, "a height a page can carry");
    // The bytes the steps read are enough on their own.
    const tervane::PictureHeader prefix = tervane::ReadPictureHeader(bytes.substr(0, given));
    Check(prefix.state == State::kSize && prefix.size == whole.size, "the header read suffices");
  }
  if (whole.state == State::kNeedMore) {
    Check(whole.needed > bytes.size() && whole.needed <= tervane::kMaxPictureHeaderBytes,
          "more means more, within the limit");
  }
  return 0;
}
