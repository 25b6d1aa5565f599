// Writes a picture of the open window to TERVANE_SCREEN_FILE (a BMP; the
// test's script turns it into a PNG), for a person to look at. The script
// also runs it under a locale that is not Japanese, where the captions must
// still draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "addin/platform/win32/utf16.h"
#include "tests/win/support/window_picture.h"
#include "tests/win/window/window_fixture.h"

namespace tervane::testing {
namespace {

// The face of `control` has the Japanese character set and a glyph for each
// character of its caption, whatever the system's locale.
void ExpectCaptionDrawsInJapanese(HWND control) {
  const int length = ::GetWindowTextLengthW(control);
  std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(::GetWindowTextW(control, caption.data(), length + 1)));
  SCOPED_TRACE(win32::Narrow(caption));
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW logical{};
  ASSERT_NE(::GetObjectW(font, sizeof logical, &logical), 0);
  EXPECT_EQ(logical.lfCharSet, SHIFTJIS_CHARSET) << win32::Narrow(logical.lfFaceName);

  HDC dc = ::GetDC(control);
  HGDIOBJ previous = ::SelectObject(dc, font);
  EXPECT_EQ(::GetTextCharset(dc), SHIFTJIS_CHARSET);
  std::vector<WORD> glyphs(caption.size());
  ::GetGlyphIndicesW(dc, caption.c_str(), static_cast<int>(caption.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
  EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF}), 0);
  ::SelectObject(dc, previous);
  ::ReleaseDC(control, dc);
}

TEST_F(WindowTest, Screenshot) {
  for (HWND control : children_) ExpectCaptionDrawsInJapanese(control);

  const char* file = std::getenv("TERVANE_SCREEN_FILE");
  if (!file || !*file) GTEST_SKIP() << "TERVANE_SCREEN_FILE is not set";
  OpenFolder("img");
  Click("Filter0");
  SelectFiles({"a.jpg", "c.gif"});
  ::SetWindowPos(window_, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  ::SetForegroundWindow(window_);
  ::SetFocus(Control("File1"));
  ::RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  PumpMessages(500);
  EXPECT_TRUE(WriteBitmap(window_, win32::Widen(file)));
}

}  // namespace
}  // namespace tervane::testing
