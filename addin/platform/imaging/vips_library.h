// libvips, loaded when the first thumbnail is made rather than when the
// program starts. It brings about a hundred libraries: linked directly, every
// run of `tervane` would load them (tens of milliseconds before a page is
// read), and the Debian package would have to depend on it rather than
// recommend it.
#pragma once

#include <vips/vips.h>

#include <string>

namespace tervane {

class VipsLibrary {
 public:
  /// The library, loaded and started once for the process, whichever
  /// thread asks first. Throws Error when it is not installed or cannot
  /// start; a later call tries again.
  static const VipsLibrary& Get();

  /// Loads and starts the library of file name `soname`; throws Error,
  /// naming the package to install, when it cannot.
  explicit VipsLibrary(const std::string& soname);
  ~VipsLibrary();
  VipsLibrary(const VipsLibrary&) = delete;
  VipsLibrary& operator=(const VipsLibrary&) = delete;

  /// The library's own file name on this system.
  static std::string SharedObjectName();

  // The functions used. Those with options take them as libvips' variable
  // arguments, ended by nullptr.
  decltype(&::g_free) gFree = nullptr;
  decltype(&::g_object_unref) gObjectUnref = nullptr;
  decltype(&::vips_error_buffer) errorBuffer = nullptr;
  decltype(&::vips_error_clear) errorClear = nullptr;
  decltype(&::vips_source_new_from_file) sourceNewFromFile = nullptr;
  decltype(&::vips_thumbnail_source) thumbnailSource = nullptr;
  decltype(&::vips_thumbnail_buffer) thumbnailBuffer = nullptr;
  decltype(&::vips_image_get_typeof) imageGetTypeof = nullptr;
  decltype(&::vips_image_guess_interpretation) imageGuessInterpretation = nullptr;
  decltype(&::vips_icc_transform) iccTransform = nullptr;
  decltype(&::vips_colourspace) colourspace = nullptr;
  decltype(&::vips_jpegsave_buffer) jpegsaveBuffer = nullptr;
  decltype(&::vips_pngsave_buffer) pngsaveBuffer = nullptr;

  /// The last line of libvips' error text, which it then forgets.
  std::string TakeError() const;

 private:
  void* handle_ = nullptr;
};

}  // namespace tervane
