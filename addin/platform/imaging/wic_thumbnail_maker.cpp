// The Windows Imaging Component does the work (windowscodecs.dll, part of
// every Windows from XP SP3 on, created through COM so that nothing is
// imported from it): a decoder, a colour transform to sRGB where the picture
// carries a colour profile, a scaler, and an encoder that is given pixels
// only, never metadata. The EXIF orientation is read by our own header
// reader and applied by TurnPixels: Wine's flip-rotator cannot rotate.
// WIC 1 decodes a JPEG at its full size before scaling it.
#include <objidl.h>
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include "addin/platform/imaging/thumbnail_maker.h"
#include "addin/platform/imaging/turn_pixels.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {
namespace {

using Microsoft::WRL::ComPtr;

// Failures inside one picture: they make its outcome, not an exception.
class PictureFailure {
 public:
  PictureFailure(HRESULT hr, const char* step) : hr_(hr), step_(step) {}
  std::string Text() const { return std::string(step_) + ": " + win32::SystemMessage(hr_); }

 private:
  HRESULT hr_;
  const char* step_;
};

void Check(HRESULT hr, const char* step) {
  if (FAILED(hr)) throw PictureFailure(hr, step);
}

}  // namespace

struct ThumbnailMaker::State {
  ~State() {
    factory.Reset();
    if (uninitialize) CoUninitialize();
  }
  bool uninitialize = false;
  ComPtr<IWICImagingFactory> factory;

  // `source` in a bitmap of its own, read once.
  ComPtr<IWICBitmapSource> Held(IWICBitmapSource* source) {
    ComPtr<IWICBitmap> bitmap;
    Check(factory->CreateBitmapFromSource(source, WICBitmapCacheOnLoad, bitmap.GetAddressOf()),
          "cannot hold the picture");
    return bitmap;
  }

  ComPtr<IWICBitmapSource> Converted(IWICBitmapSource* source, const WICPixelFormatGUID& format) {
    WICPixelFormatGUID own{};
    Check(source->GetPixelFormat(&own), "cannot read the pixel format");
    if (IsEqualGUID(own, format)) return source;
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.GetAddressOf()), "no format converter");
    Check(converter->Initialize(source, format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "cannot convert the pixels");
    return converter;
  }

  // The frame's pixels in sRGB when it carries a colour profile and the
  // system can transform it; otherwise as they are.
  ComPtr<IWICBitmapSource> InSrgb(IWICBitmapFrameDecode* frame, IWICBitmapSource* pixels,
                                  const WICPixelFormatGUID& format) {
    IWICColorContext* contexts[1] = {};
    ComPtr<IWICColorContext> own;
    if (FAILED(factory->CreateColorContext(own.GetAddressOf()))) return pixels;
    contexts[0] = own.Get();
    UINT count = 0;
    if (FAILED(frame->GetColorContexts(1, contexts, &count)) || count == 0) return pixels;
    ComPtr<IWICColorContext> srgb;
    ComPtr<IWICColorTransform> transform;
    if (FAILED(factory->CreateColorContext(srgb.GetAddressOf())) ||
        FAILED(srgb->InitializeFromExifColorSpace(1)) ||
        FAILED(factory->CreateColorTransformer(transform.GetAddressOf())) ||
        FAILED(transform->Initialize(pixels, own.Get(), srgb.Get(), format))) {
      return pixels;
    }
    return transform;
  }

  ComPtr<IWICBitmapSource> Scaled(IWICBitmapSource* source, UINT width, UINT height) {
    UINT w = 0, h = 0;
    Check(source->GetSize(&w, &h), "cannot read the size");
    if (w == width && h == height) return source;
    ComPtr<IWICBitmapScaler> scaler;
    Check(factory->CreateBitmapScaler(scaler.GetAddressOf()), "no scaler");
    Check(scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant),
          "cannot scale the picture");
    return scaler;
  }

  // `source` upright, as EXIF orientation `orientation` says; its pixels
  // have `bytesPerPixel` bytes.
  ComPtr<IWICBitmapSource> Upright(IWICBitmapSource* source, std::uint32_t orientation,
                                   UINT bytesPerPixel) {
    if (orientation < 2 || orientation > 8) return source;
    UINT width = 0, height = 0;
    Check(source->GetSize(&width, &height), "cannot read the size");
    WICPixelFormatGUID format{};
    Check(source->GetPixelFormat(&format), "cannot read the pixel format");
    std::string pixels(std::size_t{width} * height * bytesPerPixel, '\0');
    Check(source->CopyPixels(nullptr, width * bytesPerPixel, static_cast<UINT>(pixels.size()),
                             reinterpret_cast<BYTE*>(pixels.data())),
          "cannot read the pixels");
    std::string turned = TurnPixels(pixels, width, height, bytesPerPixel, orientation);
    const bool quarter = orientation >= 5;
    const UINT outWidth = quarter ? height : width;
    const UINT outHeight = quarter ? width : height;
    ComPtr<IWICBitmap> bitmap;
    Check(factory->CreateBitmapFromMemory(outWidth, outHeight, format, outWidth * bytesPerPixel,
                                          static_cast<UINT>(turned.size()),
                                          reinterpret_cast<BYTE*>(turned.data()),
                                          bitmap.GetAddressOf()),
          "cannot turn the picture");
    return bitmap;
  }

  std::string Encoded(IWICBitmapSource* source, PictureFormat format) {
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()), "no memory stream");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(
              format == PictureFormat::kJpeg ? GUID_ContainerFormatJpeg : GUID_ContainerFormatPng,
              nullptr, encoder.GetAddressOf()),
          "no encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "cannot start the encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> properties;
    Check(encoder->CreateNewFrame(frame.GetAddressOf(), properties.GetAddressOf()),
          "cannot start a frame");
    if (format == PictureFormat::kJpeg && properties) {
      PROPBAG2 option{};
      option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
      VARIANT value;
      VariantInit(&value);
      value.vt = VT_R4;
      value.fltVal = 0.8f;
      properties->Write(1, &option, &value);  // the encoder's default where refused
    }
    Check(frame->Initialize(properties.Get()), "cannot start the frame");
    UINT width = 0, height = 0;
    Check(source->GetSize(&width, &height), "cannot read the size");
    Check(frame->SetSize(width, height), "cannot size the frame");
    WICPixelFormatGUID wanted{};
    Check(source->GetPixelFormat(&wanted), "cannot read the pixel format");
    WICPixelFormatGUID taken = wanted;
    Check(frame->SetPixelFormat(&taken), "cannot set the pixel format");
    const ComPtr<IWICBitmapSource> pixels = Converted(source, taken);
    Check(frame->WriteSource(pixels.Get(), nullptr), "cannot encode the picture");
    Check(frame->Commit(), "cannot finish the frame");
    Check(encoder->Commit(), "cannot finish the file");
    HGLOBAL memory = nullptr;
    Check(GetHGlobalFromStream(stream.Get(), &memory), "no memory behind the stream");
    STATSTG status{};
    Check(stream->Stat(&status, STATFLAG_NONAME), "cannot measure the file");
    const auto* bytes = static_cast<const char*>(GlobalLock(memory));
    if (!bytes) throw PictureFailure(HRESULT_FROM_WIN32(GetLastError()), "cannot read the file");
    std::string file(bytes, static_cast<std::size_t>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return file;
  }
};

ThumbnailMaker::ThumbnailMaker() : state_(std::make_unique<State>()) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  state_->uninitialize = SUCCEEDED(init);  // RPC_E_CHANGED_MODE: COM is already there
  win32::ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory,
                                        reinterpret_cast<void**>(state_->factory.GetAddressOf())),
                       "cannot start the Windows Imaging Component");
}

ThumbnailMaker::~ThumbnailMaker() = default;

ThumbnailMaker::Outcome ThumbnailMaker::Make(const std::string& path, std::uint32_t orientation,
                                             const std::vector<PictureSize>& sizes,
                                             PictureFormat format) {
  Outcome outcome;
  if (sizes.empty()) return outcome;
  try {
    State& s = *state_;
    ComPtr<IWICBitmapDecoder> decoder;
    Check(s.factory->CreateDecoderFromFilename(win32::Widen(path).c_str(), nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand,
                                               decoder.GetAddressOf()),
          "cannot decode the picture");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.GetAddressOf()), "cannot decode the first frame");
    const WICPixelFormatGUID pixelFormat =
        format == PictureFormat::kJpeg ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat32bppBGRA;
    // Scaled before it is turned: the sizes are those of the picture as
    // shown, so a quarter turn swaps them here.
    const bool quarter = orientation >= 5 && orientation <= 8;
    const UINT bytesPerPixel = format == PictureFormat::kJpeg ? 3 : 4;
    const ComPtr<IWICBitmapSource> pixels = s.Converted(frame.Get(), pixelFormat);
    const ComPtr<IWICBitmapSource> srgb = s.InSrgb(frame.Get(), pixels.Get(), pixelFormat);
    ComPtr<IWICBitmapSource> largest;
    for (const PictureSize& size : sizes) {
      const UINT width = quarter ? size.height : size.width;
      const UINT height = quarter ? size.width : size.height;
      ComPtr<IWICBitmapSource> scaled =
          s.Held(s.Scaled(largest ? largest.Get() : srgb.Get(), width, height).Get());
      if (!largest) largest = scaled;
      const ComPtr<IWICBitmapSource> upright = s.Upright(scaled.Get(), orientation, bytesPerPixel);
      outcome.files.push_back(s.Encoded(upright.Get(), format));
    }
  } catch (const PictureFailure& failure) {
    return {{}, failure.Text()};
  }
  return outcome;
}

}  // namespace tervane
