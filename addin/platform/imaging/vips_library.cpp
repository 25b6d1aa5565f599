#include "addin/platform/imaging/vips_library.h"

#include <dlfcn.h>

#include "addin/platform/error.h"

namespace tervane {
namespace {

// The interface the headers describe, by libtool's rule the number in the
// library's file name and its Debian package's name: current less age.
constexpr int kInterface = VIPS_LIBRARY_CURRENT - VIPS_LIBRARY_AGE;

// A symbol of `handle` (or of a library it needs) as the type of `into`.
template <typename Function>
void Resolve(void* handle, const std::string& soname, const char* name, Function& into) {
  into = reinterpret_cast<Function>(dlsym(handle, name));
  if (!into) {
    throw Error(kErrDeviceUnavailable,
                "thumbnails need libvips, and " + soname + " has no " + name);
  }
}

}  // namespace

std::string VipsLibrary::SharedObjectName() { return "libvips.so." + std::to_string(kInterface); }

const VipsLibrary& VipsLibrary::Get() {
  static const VipsLibrary library(SharedObjectName());
  return library;
}

VipsLibrary::VipsLibrary(const std::string& soname) {
  handle_ = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    throw Error(kErrDeviceUnavailable,
                "thumbnails need libvips (" + soname + ", Debian's package libvips" +
                    std::to_string(kInterface) +
                    "), which cannot be loaded: " + (why ? why : "not found"));
  }
  // Once libvips has started, its threads may run its code: it stays.
  bool started = false;
  try {
    decltype(&::vips_version) version = nullptr;
    decltype(&::vips_init) init = nullptr;
    decltype(&::vips_cache_set_max) cacheSetMax = nullptr;
    decltype(&::g_log_set_handler) logSetHandler = nullptr;
    Resolve(handle_, soname, "vips_version", version);
    Resolve(handle_, soname, "vips_init", init);
    Resolve(handle_, soname, "vips_cache_set_max", cacheSetMax);
    Resolve(handle_, soname, "g_log_set_handler", logSetHandler);
    Resolve(handle_, soname, "g_free", gFree);
    Resolve(handle_, soname, "g_object_unref", gObjectUnref);
    Resolve(handle_, soname, "vips_error_buffer", errorBuffer);
    Resolve(handle_, soname, "vips_error_clear", errorClear);
    Resolve(handle_, soname, "vips_source_new_from_file", sourceNewFromFile);
    Resolve(handle_, soname, "vips_thumbnail_source", thumbnailSource);
    Resolve(handle_, soname, "vips_thumbnail_buffer", thumbnailBuffer);
    Resolve(handle_, soname, "vips_image_get_typeof", imageGetTypeof);
    Resolve(handle_, soname, "vips_image_guess_interpretation", imageGuessInterpretation);
    Resolve(handle_, soname, "vips_icc_transform", iccTransform);
    Resolve(handle_, soname, "vips_colourspace", colourspace);
    Resolve(handle_, soname, "vips_jpegsave_buffer", jpegsaveBuffer);
    Resolve(handle_, soname, "vips_pngsave_buffer", pngsaveBuffer);
    // What VIPS_INIT checks: the interface the headers describe.
    if (version(3) - version(5) != kInterface) {
      throw Error(kErrDeviceUnavailable, "cannot start libvips: " + soname +
                                             " is another version than the one Tervane was "
                                             "built for");
    }
    started = true;
    if (init("tervane") != 0)
      throw Error(kErrDeviceUnavailable, "cannot start libvips: " + TakeError());
    // Its warnings (a profile that does not fit, a JPEG cut short) are no
    // user's concern: a picture that cannot be decoded fails with an error.
    logSetHandler(
        "VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
        [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    // Every picture is read once: a cache of operations would only hold
    // memory.
    cacheSetMax(0);
  } catch (...) {
    if (!started) dlclose(handle_);
    throw;
  }
}

// libvips stays loaded until the process ends: its threads and types
// outlive any one use.
VipsLibrary::~VipsLibrary() = default;

std::string VipsLibrary::TakeError() const {
  std::string text = errorBuffer();
  errorClear();
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  // Another thread's failure may have taken the text first.
  if (text.empty()) return "libvips gave no reason";
  const std::size_t lastLine = text.rfind('\n');
  return lastLine == std::string::npos ? text : text.substr(lastLine + 1);
}

}  // namespace tervane
