// libvips does the work: vips_thumbnail shrinks while it loads (a JPEG by
// 1/2, 1/4 or 1/8 inside libjpeg) and applies the orientation; the colour
// conversion to sRGB runs on the thumbnail's pixels only.
#include <vips/vips.h>

#include <string>

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
  // Another thread's failure may have taken the text first.
  if (text.empty()) return "libvips gave no reason";
  return lastLine == std::string::npos ? text : text.substr(lastLine + 1);
}

}  // namespace

struct ThumbnailMaker::State {};

ThumbnailMaker::ThumbnailMaker() : state_(std::make_unique<State>()) {
  // Once for the process, whichever thread comes first: makers may work on
  // several threads at a time, and libvips' start is not safe to race.
  static const std::string failure = [] {
    if (VIPS_INIT("tervane") != 0) return "cannot start libvips: " + TakeError();
    // Its warnings (a profile that does not fit, a JPEG cut short) are no
    // user's concern: a picture that cannot be decoded fails with an error.
    g_log_set_handler(
        "VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
        [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    // Every picture is read once: a cache of operations would only hold
    // memory.
    vips_cache_set_max(0);
    return std::string();
  }();
  if (!failure.empty()) throw Error(kErrDeviceUnavailable, failure);
}

ThumbnailMaker::~ThumbnailMaker() = default;

ThumbnailMaker::Outcome ThumbnailMaker::Make(const std::string& path, std::uint32_t,
                                             const std::vector<PictureSize>& sizes,
                                             PictureFormat format) {
  Outcome outcome;
  // The largest straight from the file, the others from the largest's
  // encoded file: decoding 640 x 480 pixels again costs less than holding
  // them, and lets the first file be encoded while the picture is decoded.
  for (const PictureSize& size : sizes) {
    Ref<VipsImage> thumbnail;
    const int width = static_cast<int>(size.width);
    const int height = static_cast<int>(size.height);
    if (outcome.files.empty()) {
      // A source, not a file name: libvips would read "[...]" in a name as
      // options. A damaged file fails rather than coming out grey.
      Ref<VipsSource> file;
      *file.Out() = vips_source_new_from_file(path.c_str());
      if (!file.Get() ||
          vips_thumbnail_source(file.Get(), thumbnail.Out(), width, "height", height, "size",
                                VIPS_SIZE_FORCE, "fail_on", VIPS_FAIL_ON_ERROR, nullptr) != 0) {
        return {{}, TakeError()};
      }
    } else {
      // The file stays where it is until this thumbnail is encoded.
      std::string& largest = outcome.files.front();
      if (vips_thumbnail_buffer(largest.data(), largest.size(), thumbnail.Out(), width, "height",
                                height, "size", VIPS_SIZE_FORCE, nullptr) != 0) {
        return {{}, TakeError()};
      }
    }
    // Colours to sRGB: from the picture's own profile where it has one (a
    // transform of the few pixels left), and a CMYK picture without one by
    // libvips' own CMYK profile. Others are taken to be sRGB already.
    Ref<VipsImage> converted;
    VipsImage* image = thumbnail.Get();
    if (vips_image_get_typeof(image, VIPS_META_ICC_NAME) != 0) {
      if (vips_icc_transform(image, converted.Out(), "srgb", "embedded", TRUE, "intent",
                             VIPS_INTENT_PERCEPTUAL, nullptr) != 0) {
        return {{}, TakeError()};
      }
      image = converted.Get();
    } else if (vips_image_guess_interpretation(image) == VIPS_INTERPRETATION_CMYK) {
      if (vips_colourspace(image, converted.Out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
        return {{}, TakeError()};
      }
      image = converted.Get();
    }
    void* bytes = nullptr;
    std::size_t length = 0;
    const int failed = format == PictureFormat::kJpeg
                           ? vips_jpegsave_buffer(image, &bytes, &length, "Q", 80, "strip", TRUE,
                                                  "optimize_coding", TRUE, nullptr)
                           : vips_pngsave_buffer(image, &bytes, &length, "strip", TRUE, nullptr);
    if (failed != 0) return {{}, TakeError()};
    outcome.files.emplace_back(static_cast<const char*>(bytes), length);
    g_free(bytes);
  }
  return outcome;
}

}  // namespace tervane
