// The link builder's window as a table: every control with its window class,
// style, caption and place in twips, in tab order (the order the controls
// are created in, which is the order Tab moves through them).
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

namespace tervane::win32 {

enum ControlId : int {
  kLabel4 = 1000,
  kLocation,
  kLocationSetBtn,
  kGetPageInfo,
  kLabel1,
  kDir1,
  kLabel2,
  kFile1,
  kLabel3,
  kFilter0,
  kFilter1,
  kFilter2,
  kFilter3,
  kImgModeFrame,
  kOptWithText,
  kOptWithImg,
  kOptImgOnly,
  kSelectAllBtn,
  kReverseExistLink,
  kOKButton,
  kDrive1,
  kCancelButton,
  kLabel5,
};

struct TwipsRect {
  int left, top, width, height;
};

struct ControlSpec {
  ControlId id;
  const wchar_t* windowClass;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  std::string_view caption;  // UTF-8
  TwipsRect place;           // client coordinates; the frame's for its options
  bool inFrame;
};

/// The client area of the window, in twips.
inline constexpr int kClientWidthTwips = 8325;
inline constexpr int kClientHeightTwips = 5265;

std::span<const ControlSpec> DialogControlSpecs();

/// Twips to pixels at `dpi` dots per inch.
inline int TwipsToPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

}  // namespace tervane::win32
