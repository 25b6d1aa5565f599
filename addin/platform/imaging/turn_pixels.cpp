#include "addin/platform/imaging/turn_pixels.h"

namespace tervane {

std::string TurnPixels(std::string_view pixels, std::size_t width, std::size_t height,
                       std::size_t bytesPerPixel, std::uint32_t orientation) {
  if (orientation < 2 || orientation > 8) return std::string(pixels);
  const bool quarter = orientation >= 5;
  const std::size_t outWidth = quarter ? height : width;
  const std::size_t outHeight = quarter ? width : height;
  std::string turned(pixels.size(), '\0');
  for (std::size_t y = 0; y < outHeight; ++y) {
    for (std::size_t x = 0; x < outWidth; ++x) {
      // The stored pixel shown at (x, y).
      std::size_t sx = x, sy = y;
      switch (orientation) {
        case 2:
          sx = width - 1 - x;
          break;
        case 3:
          sx = width - 1 - x;
          sy = height - 1 - y;
          break;
        case 4:
          sy = height - 1 - y;
          break;
        case 5:
          sx = y;
          sy = x;
          break;
        case 6:
          sx = y;
          sy = height - 1 - x;
          break;
        case 7:
          sx = width - 1 - y;
          sy = height - 1 - x;
          break;
        case 8:
          sx = width - 1 - y;
          sy = x;
          break;
      }
      turned.replace((y * outWidth + x) * bytesPerPixel, bytesPerPixel,
                     pixels.substr((sy * width + sx) * bytesPerPixel, bytesPerPixel));
    }
  }
  return turned;
}

}  // namespace tervane
