// Decoding for reading only: text that must be parsed whatever bytes it holds,
// with a way back from a place in the decoded text to the byte it came from.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "addin/platform/codec/text_codec.h"

namespace tervane {

/// Decodes `bytes` into UTF-8 without failing. In UTF-8, what browsers
/// replace reads as U+FFFD: each ill-formed sequence as far as it could have
/// gone on (see NextUtf8). In the other charsets, each byte at which no valid
/// character begins reads as U+FFFD, and decoding goes on with the next byte
/// (in UTF-16, each such unit of two bytes).
std::string DecodeLenient(Charset charset, std::string_view bytes);

/// The number of leading bytes of `bytes` that DecodeLenient turns into the
/// first `decodedLength` bytes of its result. `decodedLength` must fall
/// between two characters of that result. Runs in time linear in the input
/// and in constant memory.
std::size_t LenientSourceLength(Charset charset, std::string_view bytes, std::size_t decodedLength);

}  // namespace tervane
