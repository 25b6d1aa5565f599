// libvips does the work: vips_thumbnail shrinks while it loads (a JPEG by
// 1/2, 1/4 or 1/8 inside libjpeg), applies the orientation and converts a
// picture with an embedded profile (CMYK ones too) to sRGB.
#include <vips/vips.h>

#include "addin/platform/error.h"
#include "addin/platform/imaging/thumbnail_maker.h"

namespace tervane {
namespace {

// One reference to a VipsImage (or any GObject).
template <typename T>
class Ref {
 public:
  Ref() = default;
  ~Ref() {
    if (object_) g_object_unref(object_);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T** Out() { return &object_; }
  T* Get() const { return object_; }

 private:
  T* object_ = nullptr;
};

std::string TakeError() {
  std::string text = vips_error_buffer();
  vips_error_clear();
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  const std::size_t lastLine = text.rfind('\n');
  return lastLine == std::string::npos ? text : text.substr(lastLine + 1);
}

}  // namespace

struct ThumbnailMaker::State {};

ThumbnailMaker::ThumbnailMaker() : state_(std::make_unique<State>()) {
  // VIPS_INIT may be called more than once; later calls do nothing.
  if (VIPS_INIT("tervane") != 0) {
    throw Error(kErrDeviceUnavailable, "cannot start libvips: " + TakeError());
  }
  // Its warnings (a profile that does not fit, a JPEG cut short) are no
  // user's concern: a picture that cannot be decoded fails with an error.
  g_log_set_handler(
      "VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
      [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  // Every picture is read once: a cache of operations would only hold
  // memory.
  vips_cache_set_max(0);
}

ThumbnailMaker::~ThumbnailMaker() = default;

ThumbnailMaker::Outcome ThumbnailMaker::Make(const std::string& path, std::uint32_t,
                                             const std::vector<PictureSize>& sizes,
                                             PictureFormat format) {
  Outcome outcome;
  if (sizes.empty()) return outcome;
  // The largest first, straight from the file; a truncated or damaged file
  // fails rather than coming out grey.
  // A source, not a file name: libvips would read "[...]" in a name as
  // options.
  Ref<VipsSource> file;
  *file.Out() = vips_source_new_from_file(path.c_str());
  if (!file.Get()) {
    outcome.problem = TakeError();
    return outcome;
  }
  Ref<VipsImage> largest;
  if (vips_thumbnail_source(file.Get(), largest.Out(), static_cast<int>(sizes[0].width), "height",
                            static_cast<int>(sizes[0].height), "size", VIPS_SIZE_FORCE,
                            "export_profile", "srgb", "fail_on", VIPS_FAIL_ON_ERROR,
                            nullptr) != 0) {
    outcome.problem = TakeError();
    return outcome;
  }
  // The smaller ones from the largest, held in memory once decoded.
  Ref<VipsImage> decoded;
  *decoded.Out() = vips_image_copy_memory(largest.Get());
  if (!decoded.Get()) {
    outcome.problem = TakeError();
    return outcome;
  }
  // A CMYK picture without a profile of its own is converted too.
  Ref<VipsImage> srgb;
  const VipsInterpretation space = vips_image_guess_interpretation(decoded.Get());
  if (space == VIPS_INTERPRETATION_CMYK &&
      vips_colourspace(decoded.Get(), srgb.Out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
    outcome.problem = TakeError();
    return outcome;
  }
  VipsImage* source = srgb.Get() ? srgb.Get() : decoded.Get();
  for (const PictureSize& size : sizes) {
    Ref<VipsImage> scaled;
    VipsImage* image = source;
    if (size.width != static_cast<std::uint32_t>(vips_image_get_width(source)) ||
        size.height != static_cast<std::uint32_t>(vips_image_get_height(source))) {
      const double hscale = static_cast<double>(size.width) / vips_image_get_width(source);
      const double vscale = static_cast<double>(size.height) / vips_image_get_height(source);
      if (vips_resize(source, scaled.Out(), hscale, "vscale", vscale, nullptr) != 0) {
        outcome.problem = TakeError();
        return {};
      }
      image = scaled.Get();
    }
    void* bytes = nullptr;
    std::size_t length = 0;
    const int failed = format == PictureFormat::kJpeg
                           ? vips_jpegsave_buffer(image, &bytes, &length, "Q", 80, "strip", TRUE,
                                                  "optimize_coding", TRUE, nullptr)
                           : vips_pngsave_buffer(image, &bytes, &length, "strip", TRUE, nullptr);
    if (failed != 0) {
      Outcome failure;
      failure.problem = TakeError();
      return failure;
    }
    outcome.files.emplace_back(static_cast<const char*>(bytes), length);
    g_free(bytes);
  }
  return outcome;
}

}  // namespace tervane
