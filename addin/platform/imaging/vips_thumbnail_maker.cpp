// libvips does the work (loaded when first needed: vips_library.h):
// vips_thumbnail shrinks while it loads (a JPEG by 1/2, 1/4 or 1/8 inside
// libjpeg) and applies the orientation; the colour conversion to sRGB runs
// on the thumbnail's pixels only.
#include "addin/platform/imaging/thumbnail_maker.h"
#include "addin/platform/imaging/vips_library.h"

namespace tervane {
namespace {

// One reference to a VipsImage (or any GObject).
template <typename T>
class Ref {
 public:
  Ref() = default;
  ~Ref() {
    if (object_) VipsLibrary::Get().gObjectUnref(object_);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T** Out() { return &object_; }
  T* Get() const { return object_; }

 private:
  T* object_ = nullptr;
};

}  // namespace

struct ThumbnailMaker::State {
  explicit State(const VipsLibrary& library) : vips(library) {}
  const VipsLibrary& vips;
};

ThumbnailMaker::ThumbnailMaker() : state_(std::make_unique<State>(VipsLibrary::Get())) {}

ThumbnailMaker::~ThumbnailMaker() = default;

ThumbnailMaker::Outcome ThumbnailMaker::Make(const std::string& path, std::uint32_t,
                                             const std::vector<PictureSize>& sizes,
                                             PictureFormat format) {
  const VipsLibrary& vips = state_->vips;
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
      *file.Out() = vips.sourceNewFromFile(path.c_str());
      if (!file.Get() ||
          vips.thumbnailSource(file.Get(), thumbnail.Out(), width, "height", height, "size",
                               VIPS_SIZE_FORCE, "fail_on", VIPS_FAIL_ON_ERROR, nullptr) != 0) {
        return {{}, vips.TakeError()};
      }
    } else {
      // The file stays where it is until this thumbnail is encoded.
      std::string& largest = outcome.files.front();
      if (vips.thumbnailBuffer(largest.data(), largest.size(), thumbnail.Out(), width, "height",
                               height, "size", VIPS_SIZE_FORCE, nullptr) != 0) {
        return {{}, vips.TakeError()};
      }
    }
    // Colours to sRGB: from the picture's own profile where it has one (a
    // transform of the few pixels left), and a CMYK picture without one by
    // libvips' own CMYK profile. Others are taken to be sRGB already.
    Ref<VipsImage> converted;
    VipsImage* image = thumbnail.Get();
    if (vips.imageGetTypeof(image, VIPS_META_ICC_NAME) != 0) {
      if (vips.iccTransform(image, converted.Out(), "srgb", "embedded", TRUE, "intent",
                            VIPS_INTENT_PERCEPTUAL, nullptr) != 0) {
        return {{}, vips.TakeError()};
      }
      image = converted.Get();
    } else if (vips.imageGuessInterpretation(image) == VIPS_INTERPRETATION_CMYK) {
      if (vips.colourspace(image, converted.Out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
        return {{}, vips.TakeError()};
      }
      image = converted.Get();
    }
    void* bytes = nullptr;
    std::size_t length = 0;
    const int failed = format == PictureFormat::kJpeg
                           ? vips.jpegsaveBuffer(image, &bytes, &length, "Q", 80, "strip", TRUE,
                                                 "optimize_coding", TRUE, nullptr)
                           : vips.pngsaveBuffer(image, &bytes, &length, "strip", TRUE, nullptr);
    if (failed != 0) return {{}, vips.TakeError()};
    outcome.files.emplace_back(static_cast<const char*>(bytes), length);
    vips.gFree(bytes);
  }
  return outcome;
}

}  // namespace tervane
