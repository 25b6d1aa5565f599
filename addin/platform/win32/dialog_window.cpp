#include "addin/platform/win32/dialog_window.h"

#include <mutex>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/accessible_name.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/later_functions.h"
#include "addin/platform/win32/utf16.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::win32 {
namespace {

// Not WS_CLIPCHILDREN: the frame paints no background of its own.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Faces that draw Japanese, best first: those of Japanese Windows, then
// those that Japanese fonts bring to other systems and to Wine.
constexpr const wchar_t* kJapaneseFaces[] = {
    L"MS UI Gothic", L"MS PGothic", L"MS Gothic", L"Meiryo UI",
    L"Yu Gothic UI", L"IPAPGothic", L"IPAGothic",
};
constexpr int kFontPoints = 9;
// Declared for Windows 8.1 on; older systems never send it.
constexpr UINT kWmDpiChanged = 0x02E0;

class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

int ScreenDpi() { return ::GetDeviceCaps(ScreenDc().get(), LOGPIXELSY); }

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Keeps the first face listed, leaving out the vertical-writing ("@") faces.
int CALLBACK NoteFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM face) {
  if (font->lfFaceName[0] == L'@') return 1;
  ::lstrcpynW(reinterpret_cast<wchar_t*>(face), font->lfFaceName, LF_FACESIZE);
  return 0;
}

bool HasJapaneseFace(HDC dc, const wchar_t* face) {
  LOGFONTW probe{};
  probe.lfCharSet = SHIFTJIS_CHARSET;
  ::lstrcpynW(probe.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  ::EnumFontFamiliesExW(dc, &probe, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// A face that draws Japanese whatever the system's locale: a preferred one,
// else any face with the Japanese character set. None: the stock GUI font
// is used.
UniqueFont JapaneseFont(int dpi) {
  const ScreenDc screen;
  wchar_t face[LF_FACESIZE] = {};
  for (const wchar_t* preferred : kJapaneseFaces) {
    if (!HasJapaneseFace(screen.get(), preferred)) continue;
    ::lstrcpynW(face, preferred, LF_FACESIZE);
    break;
  }
  if (face[0] == L'\0') {
    LOGFONTW any{};
    any.lfCharSet = SHIFTJIS_CHARSET;
    ::EnumFontFamiliesExW(screen.get(), &any, NoteFirstFace, reinterpret_cast<LPARAM>(face), 0);
  }
  if (face[0] == L'\0') return {};
  return UniqueFont(::CreateFontW(-::MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

// The character height of the user's message font at `dpi`, in pixels; 0
// when the system does not say. The structure is the size XP knows (the
// build's WINVER leaves out the later iPaddedBorderWidth), which later
// systems accept too. The system gives the font at the DPI that
// GetDeviceCaps reports on the same thread, and it is scaled from there.
int MessageFontHeight(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return 0;
  const LONG height = metrics.lfMessageFont.lfHeight;
  return ::MulDiv(static_cast<int>(height < 0 ? -height : height), dpi, ScreenDpi());
}

// The DPI the window is laid out at: the monitor's `dpi`, raised where the
// user's message font is larger than the window's own 9 points, so that
// the controls grow with the text the user asked for. The layout is fixed
// in twips, so text and places scale together.
int LayoutDpi(int dpi) {
  const int own = ::MulDiv(kFontPoints, dpi, 72);
  const int message = MessageFontHeight(dpi);
  return message > own ? ::MulDiv(dpi, message, own) : dpi;
}

UniqueIcon LoadIconSized(HINSTANCE module, int metricX, int metricY) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(kDialogIconId),
                                                    IMAGE_ICON, ::GetSystemMetrics(metricX),
                                                    ::GetSystemMetrics(metricY), LR_DEFAULTCOLOR)));
}

// A control's place in pixels at `dpi`; the options' places count from
// their frame's.
RECT PixelPlace(const ControlSpec& spec, const ControlSpec* frame, int dpi) {
  TwipsRect place = spec.place;
  if (spec.inFrame && frame) {
    place.left += frame->place.left;
    place.top += frame->place.top;
  }
  int height = TwipsToPixels(place.height, dpi);
  // A combo box's height is that of its open list; the closed box takes
  // the height its font gives it.
  if (spec.id == kDrive1) height *= 10;
  const int left = TwipsToPixels(place.left, dpi);
  const int top = TwipsToPixels(place.top, dpi);
  return {left, top, left + TwipsToPixels(place.width, dpi), top + height};
}

// Gives the window the client area of the layout at `dpi`, keeping its
// frame as the system draws it.
void SizeClientArea(HWND window, int dpi) {
  RECT outer{}, inner{};
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &inner);
  const int width =
      TwipsToPixels(kClientWidthTwips, dpi) + (outer.right - outer.left) - inner.right;
  const int height =
      TwipsToPixels(kClientHeightTwips, dpi) + (outer.bottom - outer.top) - inner.bottom;
  ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TextHeight(HWND window, HFONT font) {
  HDC dc = ::GetDC(window);
  HGDIOBJ previous = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return metrics.tmHeight;
}

}  // namespace

namespace {

// Window classes belong to the process, connection objects to the host: the
// class stays registered while any view factory of the module uses it.
std::mutex classMutex;
long classUses = 0;

}  // namespace

void RegisterDialogWindowClass(HINSTANCE module) {
  const std::lock_guard lock(classMutex);
  if (classUses++ > 0) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DialogWindow::WindowProc;
  windowClass.hInstance = module;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kDialogWindowClass;
  ::RegisterClassExW(&windowClass);
}

void UnregisterDialogWindowClass(HINSTANCE module) {
  const std::lock_guard lock(classMutex);
  if (--classUses > 0) return;
  ::UnregisterClassW(kDialogWindowClass, module);
}

DialogWindow::DialogWindow(HINSTANCE module, DriveSystem& drives, FileSystem& files,
                           MessageBoxes& boxes, DialogEvents& events, EventOwner* owner)
    : events_(events),
      boxes_(boxes),
      owner_(owner),
      dpi_(LayoutDpi(ScreenDpi())),
      font_(JapaneseFont(dpi_)),
      bigIcon_(LoadIconSized(module, SM_CXICON, SM_CYICON)),
      smallIcon_(LoadIconSized(module, SM_CXSMICON, SM_CYSMICON)) {
  // The window and its controls are made per-monitor aware, in a host that
  // is not as well; the system then sends WM_DPICHANGED to the window.
  const PerMonitorDpiForThread perMonitor;
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  window_.reset(::CreateWindowExW(0, kDialogWindowClass, Widen(texts::kAppTitle).c_str(),
                                  kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, module, nullptr));
  if (!window_) ThrowLastError("CreateWindowExW");
  // The monitor the window opens on may have a DPI of its own.
  if (const int dpi = LayoutDpi(WindowDpi(window_.get())); dpi != dpi_) {
    dpi_ = dpi;
    font_ = JapaneseFont(dpi_);
  }
  SizeClientArea(window_.get(), dpi_);
  if (bigIcon_) ::SendMessageW(window_.get(), WM_SETICON, ICON_BIG, (LPARAM)bigIcon_.get());
  if (smallIcon_) ::SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, (LPARAM)smallIcon_.get());

  navigation_ = std::make_unique<KeyboardNavigation>(window_.get());
  CreateControls(Font());

  const std::string start = drives.CurrentFolder();
  location_ = std::make_unique<Win32TextBox>(Child(kLocation));
  for (int i = 0; i < 4; ++i) {
    filter_[i] = std::make_unique<Win32CheckBox>(Child(ControlId(kFilter0 + i)), events, i);
    controls_.Filter[i] = filter_[i].get();
  }
  const std::array<HWND, 3> group{Child(kOptWithText), Child(kOptWithImg), Child(kOptImgOnly)};
  for (int i = 0; i < 3; ++i) options_[i] = std::make_unique<Win32OptionButton>(group[i], group);
  drive1_ = std::make_unique<Win32DriveList>(Child(kDrive1), drives, events, start);
  dir1_ = std::make_unique<Win32DirList>(Child(kDir1), files, events, start);
  file1_ = std::make_unique<Win32FileList>(Child(kFile1), files, start);
  controls_.Location = location_.get();
  controls_.OptWithText = options_[0].get();
  controls_.OptWithImg = options_[1].get();
  controls_.OptImgOnly = options_[2].get();
  controls_.Drive1 = drive1_.get();
  controls_.Dir1 = dir1_.get();
  controls_.File1 = file1_.get();

  // Messages reach the handlers only once every control exists.
  ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  keyHook_.reset(::SetWindowsHookExW(WH_GETMESSAGE, KeyHook, nullptr, ::GetCurrentThreadId()));
}

DialogWindow::~DialogWindow() {
  *alive_ = false;
  if (window_) {
    ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    ClearAccessibleName(Child(kDrive1));
  }
  window_.reset();
}

// Children are created in tab order: Tab follows the order of creation.
void DialogWindow::CreateControls(HFONT font) {
  const ControlSpec* frame = nullptr;
  for (const ControlSpec& spec : DialogControlSpecs()) {
    if (spec.id == kImgModeFrame) frame = &spec;
    const RECT place = PixelPlace(spec, frame, dpi_);
    HWND child =
        ::CreateWindowExW(spec.exStyle, spec.windowClass, Widen(spec.caption).c_str(),
                          WS_CHILD | WS_VISIBLE | spec.style, place.left, place.top,
                          place.right - place.left, place.bottom - place.top, window_.get(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), nullptr, nullptr);
    if (!child) ThrowLastError("CreateWindowExW");
    children_[spec.id - kLabel4] = child;
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    navigation_->Attach(child);
  }

  ::SendMessageW(Child(kDir1), LB_SETITEMHEIGHT, 0, TextHeight(Child(kDir1), font) + 2);
  // The drive list follows the buttons in Tab order, away from its label.
  SetAccessibleName(Child(kDrive1), kDrive1AccessibleName);
}

HFONT DialogWindow::Font() const {
  return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void DialogWindow::Relayout(int dpi) {
  dpi_ = dpi;
  UniqueFont font = JapaneseFont(dpi_);
  if (font) std::swap(font, font_);  // the old font lives until the controls let it go
  const ControlSpec* frame = nullptr;
  for (const ControlSpec& spec : DialogControlSpecs()) {
    if (spec.id == kImgModeFrame) frame = &spec;
    HWND child = Child(spec.id);
    const RECT place = PixelPlace(spec, frame, dpi_);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    ::SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::SendMessageW(Child(kDir1), LB_SETITEMHEIGHT, 0, TextHeight(Child(kDir1), Font()) + 2);
  ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void DialogWindow::Show() {
  ::ShowWindow(window_.get(), SW_SHOWNORMAL);
  ::UpdateWindow(window_.get());
}

void DialogWindow::BringToFront() {
  if (::IsIconic(window_.get())) ::ShowWindow(window_.get(), SW_RESTORE);
  ::SetForegroundWindow(window_.get());
  ::BringWindowToTop(window_.get());
}

template <typename Handler>
void DialogWindow::Run(Handler handler) noexcept {
  // Ends last: its end may destroy the owner, and this window with it.
  const OwnerEvent event(owner_);
  const std::shared_ptr<bool> alive = alive_;
  MessageBoxes& boxes = boxes_;
  std::wstring drive;
  std::string folder;
  try {
    drive = drive1_->Shown();
    folder = dir1_->Path();
    handler();
  } catch (...) {
    try {
      if (*alive) {
        dir1_->Restore(folder);
        drive1_->Restore(drive);
      }
      boxes.Show({std::string(texts::kDialogFailure), std::string(texts::kAppTitle),
                  MsgButtons::kOk, MsgIcon::kStop});
    } catch (...) {
      // Nothing more can be reported; the window stays as it is.
    }
  }
}

void DialogWindow::Command(int id, int code) noexcept {
  switch (id) {
    case kLocationSetBtn:
      if (code == BN_CLICKED) Run([this] { events_.LocationSetBtn_Click(); });
      return;
    case kGetPageInfo:
      if (code == BN_CLICKED) Run([this] { events_.GetPageInfo_Click(); });
      return;
    case kSelectAllBtn:
      if (code == BN_CLICKED) Run([this] { events_.SelectAllBtn_Click(); });
      return;
    case kReverseExistLink:
      if (code == BN_CLICKED) Run([this] { events_.ReverseExistLink_Click(); });
      return;
    case kOKButton:
      if (code == BN_CLICKED) Run([this] { events_.OKButton_Click(); });
      return;
    case kCancelButton:
      if (code == BN_CLICKED) Run([this] { events_.CancelButton_Click(); });
      return;
    case kFilter0:
    case kFilter1:
    case kFilter2:
    case kFilter3:
      if (code == BN_CLICKED) Run([this, id] { filter_[id - kFilter0]->Click(); });
      return;
    case kDrive1:
      if (code == CBN_SELCHANGE) Run([this] { drive1_->Picked(); });
      if (code == CBN_DROPDOWN) Run([this] { drive1_->Refill(); });
      return;
    case kDir1:
      if (code == LBN_DBLCLK) Run([this] { dir1_->OpenSelected(); });
      return;
    case kLabel5:
      if (code == STN_CLICKED) Run([this] { events_.Label5_Click(); });
      return;
    default:
      return;
  }
}

LRESULT CALLBACK DialogWindow::KeyHook(int code, WPARAM removal, LPARAM data) noexcept {
  auto* message = reinterpret_cast<MSG*>(data);
  if (code == HC_ACTION && removal == PM_REMOVE && message->message >= WM_KEYFIRST &&
      message->message <= WM_KEYLAST && message->hwnd) {
    HWND root = ::GetAncestor(message->hwnd, GA_ROOT);
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(root, GWLP_WNDPROC)) == WindowProc) {
      // The characters that TranslateMessage posts come back through here.
      ::TranslateMessage(message);
      ::DispatchMessageW(message);
      message->message = WM_NULL;
      message->wParam = 0;
      message->lParam = 0;
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, data);
}

// After a handler has run, `self` may be gone (Unload destroys the view):
// every case returns at once.
LRESULT CALLBACK DialogWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  // The handlers run through Run, which reports their failures; what else
  // can fail here (memory, while finding an access key) leaves the message
  // to the default procedure.
  try {
    switch (message) {
      case WM_COMMAND:
        self->Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
      case WM_VKEYTOITEM:
        if (LOWORD(wParam) != VK_RETURN || reinterpret_cast<HWND>(lParam) != self->Child(kDir1)) {
          return -1;
        }
        self->Run([self] { self->dir1_->OpenSelected(); });
        return -2;
      case WM_DRAWITEM:
        if (wParam != kDir1) break;
        self->dir1_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam),
                          TwipsToPixels(150, self->dpi_));
        return TRUE;
      case kWmDpiChanged: {
        // Moved to a monitor of another DPI: laid out again at it, in the
        // place the system suggests.
        self->Relayout(LayoutDpi(HIWORD(wParam)));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(window, nullptr, suggested.left, suggested.top,
                       suggested.right - suggested.left, suggested.bottom - suggested.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        SizeClientArea(window, self->dpi_);
        return 0;
      }
      case WM_CLOSE:  // the close box unloads, as CancelButton does
        self->Run([self] { self->events_.CancelButton_Click(); });
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          self->navigation_->SaveFocus();
        } else {
          self->navigation_->RestoreFocus();
        }
        return 0;
      case WM_SETFOCUS:
        self->navigation_->RestoreFocus();
        return 0;
      case WM_SYSCHAR:
        if (self->navigation_->AccessKey(static_cast<wchar_t>(wParam))) return 0;
        break;
      case WM_NCDESTROY:
        // Destroyed from outside (the thread ending): the view no longer owns it.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
        break;
    }
  } catch (...) {
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tervane::win32
