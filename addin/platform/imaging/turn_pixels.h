// Pixels turned upright as an EXIF orientation says, for imaging libraries
// that cannot turn a picture by a quarter themselves (Wine's flip-rotator
// only flips). No library, so the eight turns are tested everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

/// `pixels`, `width` x `height` of `bytesPerPixel` bytes each, rows packed,
/// as a browser shows a picture of EXIF orientation `orientation` (1 to 8;
/// any other value is 1): rows of the result are `height` pixels long for
/// orientations 5 to 8, `width` long otherwise.
std::string TurnPixels(std::string_view pixels, std::size_t width, std::size_t height,
                       std::size_t bytesPerPixel, std::uint32_t orientation);

}  // namespace tervane
