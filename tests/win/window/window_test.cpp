// The link builder's real window under the dialog logic: its layout, and the
// handlers reached through mouse and keyboard messages.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <map>
#include <string>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/utf16.h"
#include "tests/win/window/window_fixture.h"

namespace tervane::testing {
namespace {

using win32::Narrow;

struct Placed {
  std::string_view name;
  const wchar_t* windowClass;
  std::string_view caption;
  int left, top, width, height;  // twips, client coordinates
};

// In tab order. The options' places are the frame's plus their own.
const Placed kLayout[] = {
    {"Label4", L"Static", texts::kLabel4, 120, 0, 2415, 255},
    {"Location", L"Edit", "", 120, 240, 4815, 375},
    {"LocationSetBtn", L"Button", "設定(&S)", 4920, 240, 855, 375},
    {"GetPageInfo", L"Button", "クリア(&R)", 5760, 240, 855, 375},
    {"Label1", L"Static", "リンク先の素材フォルダ(&F)", 120, 720, 2415, 255},
    {"Dir1", L"ListBox", "", 120, 1320, 2655, 3870},
    {"Label2", L"Static", "ハイパーリンクの対象候補(&F)", 3000, 720, 3015, 255},
    {"File1", L"ListBox", "", 2880, 960, 3615, 4230},
    {"Label3", L"Static", "対象ファイル", 6720, 720, 1455, 255},
    {"Filter0", L"Button", "&SHORTCUT", 6720, 960, 1455, 255},
    {"Filter1", L"Button", "&JPEG", 6720, 1200, 1575, 255},
    {"Filter2", L"Button", "&GIF,PNG", 6720, 1440, 1575, 255},
    {"Filter3", L"Button", "&HTML,TEXT", 6720, 1680, 1575, 255},
    {"Frame", L"Button", "リンク表示方法(&D)", 6600, 2040, 1695, 1095},
    {"OptWithText", L"Button", "テキスト表示", 6720, 2280, 1335, 255},
    {"OptWithImg", L"Button", "画像表示", 6720, 2520, 1215, 255},
    {"OptImgOnly", L"Button", "画像のみ", 6720, 2760, 1215, 255},
    {"SelectAllBtn", L"Button", "全て選択(&X)", 6600, 3240, 1695, 375},
    {"Reverse", L"Button", "既存リンクの反転", 6600, 3720, 1695, 375},
    {"OKButton", L"Button", "作成", 6720, 4320, 1455, 375},
    {"Drive1", L"ComboBox", "", 120, 960, 2655, 300},
    {"CancelButton", L"Button", "キャンセル", 6720, 4800, 1455, 375},
    {"Label5", L"Static", "Tervane 2000/9 Ver1.3", 6600, 0, 1695, 375},
};

int Dpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

int Px(int twips) { return ::MulDiv(twips, Dpi(), 1440); }

bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

TEST_F(WindowTest, TheWindowHasEveryControlAtItsPlaceInTabOrder) {
  EXPECT_EQ(Caption(window_), texts::kAppTitle);
  RECT client{};
  ::GetClientRect(window_, &client);
  EXPECT_EQ(client.right, Px(8325));
  EXPECT_EQ(client.bottom, Px(5265));
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(::GetWindow(window_, GW_OWNER), nullptr);

  ASSERT_EQ(children_.size(), std::size(kLayout));
  for (std::size_t i = 0; i < std::size(kLayout); ++i) {
    const Placed& want = kLayout[i];
    HWND child = children_[i];
    wchar_t windowClass[32] = {};
    ::GetClassNameW(child, windowClass, 32);
    RECT place{};
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
    SCOPED_TRACE(want.name);
    EXPECT_EQ(::lstrcmpiW(windowClass, want.windowClass), 0) << Narrow(windowClass);
    if (!want.caption.empty()) {
      EXPECT_EQ(Caption(child), want.caption);
    }
    EXPECT_EQ(place.left, Px(want.left));
    EXPECT_EQ(place.top, Px(want.top));
    EXPECT_EQ(place.right - place.left, Px(want.width));
    if (want.name == "Drive1") {  // a closed combo box is as high as its font makes it
      EXPECT_NEAR(place.bottom - place.top, Px(want.height), 2);
    } else {
      EXPECT_EQ(place.bottom - place.top, Px(want.height));
    }
  }
  EXPECT_EQ(::GetDlgCtrlID(Control("OKButton")) != 0, true);
  EXPECT_FALSE(::GetWindowLongPtrW(Control("OKButton"), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

// Declared here: MinGW's import library gives IID_IAccessible another value.
constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr CLSID kClsidAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// The system's annotation service as this process sees it, recording the
// names given to windows; Wine's own accepts them and forgets them, so its
// oleacc cannot answer with them.
class RecordedAnnotations : public IAccPropServices, public IClassFactory {
 public:
  std::map<HWND, std::string> names;

  HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
    } else if (iid == kIidAccPropServices || iid == IID_IUnknown) {
      *out = static_cast<IAccPropServices*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI CreateInstance(IUnknown*, REFIID iid, void** out) override {
    return QueryInterface(iid, out);
  }
  HRESULT WINAPI LockServer(BOOL) override { return S_OK; }

  HRESULT WINAPI SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID,
                                LPCWSTR text) override {
    if (object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF) {
      names[window] = Narrow(text);
    }
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID*, int) override {
    names.erase(window);
    return S_OK;
  }
  HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                               AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                   AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                    AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
    return E_NOTIMPL;
  }
};

// The name oleacc gives `control`'s client object; empty when it has none.
std::string SystemName(HWND control) {
  Microsoft::WRL::ComPtr<IAccessible> accessible;
  if (::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                   reinterpret_cast<void**>(accessible.GetAddressOf())) != S_OK) {
    return "";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (accessible->get_accName(self, &name) != S_OK || !name) return "";
  const std::string told = Narrow(name);
  ::SysFreeString(name);
  return told;
}

// What a screen reader announces for each control that takes input: the
// name the window gave it, else the one oleacc gives (a button's caption,
// an edit box's label), without the access key's "&". Wine's oleacc names
// no list box; Windows names one by the label right before it, which is
// what stands in for it here.
TEST_F(WindowTest, EveryInputControlIsNamedByItsLabel) {
  RecordedAnnotations annotations;
  DWORD registration = 0;
  ASSERT_EQ(
      ::CoRegisterClassObject(kClsidAccPropServices, static_cast<IClassFactory*>(&annotations),
                              CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration),
      S_OK);
  dialog_.Unload();  // shown again with the recording service
  FindWindowAfterShow();
  ::CoRevokeClassObject(registration);

  const std::pair<std::string_view, std::string_view> kNames[] = {
      {"Location", "ページの基底位置(L)"},
      {"LocationSetBtn", "設定(S)"},
      {"GetPageInfo", "クリア(R)"},
      {"Dir1", "リンク先の素材フォルダ(F)"},
      {"File1", "ハイパーリンクの対象候補(F)"},
      {"Filter0", "SHORTCUT"},
      {"Filter1", "JPEG"},
      {"Filter2", "GIF,PNG"},
      {"Filter3", "HTML,TEXT"},
      {"OptWithText", "テキスト表示"},
      {"OptWithImg", "画像表示"},
      {"OptImgOnly", "画像のみ"},
      {"SelectAllBtn", "全て選択(X)"},
      {"Reverse", "既存リンクの反転"},
      {"OKButton", "作成"},
      {"Drive1", "リンク先の素材フォルダのドライブ"},
      {"CancelButton", "キャンセル"},
  };
  for (const auto& [control, name] : kNames) {
    HWND window = Control(control);
    std::string told = annotations.names.count(window) ? annotations.names[window] : "";
    if (told.empty()) told = SystemName(window);
    wchar_t windowClass[16] = {};
    ::GetClassNameW(window, windowClass, 16);
    if (told.empty() && ::lstrcmpiW(windowClass, L"ListBox") == 0) {
      told = Caption(::GetWindow(window, GW_HWNDPREV));
      std::erase(told, '&');
    }
    EXPECT_EQ(told, name) << control;
  }
  // The version notice is left out of the Tab order on purpose: no input.
  EXPECT_FALSE(::GetWindowLongPtrW(Control("Label5"), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(WindowTest, LoadingAppliesTheDefaultsAtThePageFolder) {
  EXPECT_EQ(Caption(Control("Location")), siteText_);
  EXPECT_EQ(Dir1Entry(), site_.filename().string());
  EXPECT_EQ(Items(Control("File1")), std::vector<std::string>{"top.jpg"});
  const bool ticked[] = {Checked(Control("Filter0")), Checked(Control("Filter1")),
                         Checked(Control("Filter2")), Checked(Control("Filter3"))};
  EXPECT_FALSE(ticked[0]);
  EXPECT_TRUE(ticked[1]);
  EXPECT_TRUE(ticked[2]);
  EXPECT_FALSE(ticked[3]);
  EXPECT_TRUE(Checked(Control("OptWithText")));
  EXPECT_FALSE(Checked(Control("OptWithImg")));
  EXPECT_TRUE(watcher_.Take().empty());
}

TEST_F(WindowTest, OpeningAFolderListsItsFilesAndMakesItCurrent) {
  OpenFolder("img");
  EXPECT_EQ(Dir1Entry(), "img");
  const std::vector<std::string> entries = Items(Control("Dir1"));
  ASSERT_GE(entries.size(), 4u);
  EXPECT_EQ(entries.front(), siteText_.substr(0, 3));  // the root first
  EXPECT_EQ(std::vector<std::string>(entries.end() - 3, entries.end()),
            (std::vector<std::string>{"img", "sub", "zz"}));
  EXPECT_EQ(Items(Control("File1")), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
  EXPECT_EQ(drives_.CurrentFolder(), siteText_ + "\\img");

  struct Case {
    std::string_view box;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {"Filter0", {"a.jpg", "B.png", "c.gif", "link.url"}},
      {"Filter3", {"a.jpg", "B.png", "c.gif", "d.txt", "link.url"}},
      {"Filter1", {"B.png", "c.gif", "d.txt", "link.url"}},
  };
  for (const Case& c : cases) {
    SelectFiles({"c.gif"});
    Click(c.box);
    EXPECT_EQ(Items(Control("File1")), c.listed) << c.box;
    EXPECT_TRUE(SelectedFiles().empty()) << c.box;
  }
  EXPECT_TRUE(Checked(Control("Filter0")));
  EXPECT_FALSE(Checked(Control("Filter1")));

  // Enter on an entry opens it as a double click does.
  HWND dir1 = Control("Dir1");
  ::SendMessageW(dir1, LB_SETCURSEL, 0, 0);
  PressKey(dir1, VK_RETURN);
  EXPECT_EQ(Dir1Entry(), siteText_.substr(0, 3));
  EXPECT_EQ(drives_.CurrentFolder(), siteText_.substr(0, 3));
}

TEST_F(WindowTest, ButtonsRunTheirHandlers) {
  OpenFolder("img");
  Click("OKButton");
  EXPECT_TRUE(editor_.page->inserted.empty());

  SelectFiles({"a.jpg", "c.gif"});
  Click("OKButton");
  EXPECT_EQ(editor_.page->inserted,
            (std::vector<std::string>{R"(<a href="img/a.jpg">a.jpg</a><br>)",
                                      R"(<a href="img/c.gif">c.gif</a><br>)"}));
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "c.gif"}));

  editor_.page->links = {"img/B.png", "img/a.jpg", "elsewhere.htm"};
  Click("Reverse");
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"B.png", "c.gif"}));

  Click("LocationSetBtn");
  EXPECT_EQ(Caption(Control("Location")), siteText_ + "\\img");
  Click("GetPageInfo");
  EXPECT_EQ(Caption(Control("Location")), siteText_);
  EXPECT_EQ(Dir1Entry(), site_.filename().string());

  const std::string page = editor_.page->url;
  EXPECT_EQ(
      watcher_.Take(),
      (std::vector<ShownBox>{
          {"Tervane ハイパーリンク一括作成", "ファイルが選択されていません。"},
          {"Tervane 処理完了", "アクティブなページ Top(URL:" + page +
                                   ")にリンクを追加\r\n\r\n2個のアイテムを追加しました。"},
          {"Tervane ハイパーリンク一括作成", "アクティブなページ Top(URL:" + page +
                                                 ")のリンクを検査\r\n\r\n参照ディレクトリ "
                                                 "img/にリンクされているファイルが2個あります。"},
          {"Tervane ハイパーリンク一括作成",
           "現在アクティブなページは次のものです。\r\nTITLE : Top\r\nURL   : " + page},
      }));

  OpenFolder("img");
  SelectFiles({"a.jpg"});
  Click("SelectAllBtn");
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
  Click("SelectAllBtn");
  EXPECT_TRUE(SelectedFiles().empty());
  Click("OptWithImg");
  EXPECT_TRUE(Checked(Control("OptWithImg")));
  EXPECT_FALSE(Checked(Control("OptWithText")));
}

TEST_F(WindowTest, FailuresAreReportedAndLeaveTheFolderWhereItWas) {
  OpenFolder("img");
  std::filesystem::remove(site_ / "img" / "zz");
  OpenFolder("zz");
  EXPECT_EQ(Dir1Entry(), "img");

  OpenFolder("img");  // the same folder: nothing happens
  editor_.page->failInsertAt = 0;
  SelectFiles({"a.jpg"});
  Click("OKButton");

  EXPECT_EQ(watcher_.Take(), std::vector<ShownBox>(2, {std::string(texts::kAppTitle),
                                                       std::string(texts::kDialogFailure)}));
  EXPECT_TRUE(dialog_.IsLoaded());
}

TEST_F(WindowTest, EnterAndEscPressNoButton) {
  OpenFolder("img");
  SelectFiles({"a.jpg"});
  const HWND targets[] = {window_, Control("OKButton"), Control("CancelButton"),
                          Control("Location"), Control("File1")};
  for (HWND target : targets) {
    ::SetFocus(target);
    PressKey(target, VK_RETURN);
    PressKey(target, VK_ESCAPE);
  }
  PumpMessages(50);
  EXPECT_TRUE(dialog_.IsLoaded());
  EXPECT_TRUE(editor_.page->inserted.empty());
  EXPECT_TRUE(watcher_.Take().empty());
}

TEST_F(WindowTest, TabAndAccessKeysMoveTheFocus) {
  ::SetForegroundWindow(window_);
  ::SetFocus(Control("Location"));
  const std::string_view order[] = {"LocationSetBtn", "GetPageInfo",  "Dir1",    "File1",
                                    "Filter0",        "Filter1",      "Filter2", "Filter3",
                                    "OptWithText",    "SelectAllBtn", "Reverse", "OKButton",
                                    "Drive1",         "CancelButton", "Location"};
  for (std::string_view next : order) {
    PressKey(::GetFocus(), VK_TAB);
    EXPECT_EQ(::GetFocus(), Control(next)) << next;
  }
  // Shift+Tab goes back and Tab forward, whatever Shift's toggle bit (the
  // key state's low bit; the high one is "down") says.
  struct Press {
    BYTE shift;
    std::string_view focus;
  };
  const Press presses[] = {
      {0x80, "CancelButton"}, {0x81, "Drive1"}, {0x01, "CancelButton"}, {0x00, "Location"}};
  for (const Press& press : presses) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = keys[VK_LSHIFT] = press.shift;
    ::SetKeyboardState(keys);
    PressKey(::GetFocus(), VK_TAB);
    EXPECT_EQ(::GetFocus(), Control(press.focus)) << "Shift state " << int{press.shift};
  }
  BYTE released[256] = {};
  ::SetKeyboardState(released);

  struct Case {
    char key;
    std::string_view focus;
  };
  const Case cases[] = {{'F', "Dir1"},           {'F', "File1"},   {'L', "Location"},
                        {'S', "LocationSetBtn"}, {'S', "Filter0"}, {'D', "OptWithText"}};
  for (const Case& c : cases) {
    PressKey(::GetFocus(), c.key, true);
    EXPECT_EQ(::GetFocus(), Control(c.focus)) << c.key << " " << c.focus;
  }
  EXPECT_FALSE(Checked(Control("Filter0")));  // S marks two controls: focus only

  OpenFolder("img");
  PressKey(::GetFocus(), 'X', true);  // a key of one button presses it
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
}

// The link display mode chosen with the arrow keys or the mouse: the arrow
// keys move and choose within the group, wrapping at its ends, and Tab from
// before the group or Shift+Tab from after it enters at the chosen option.
TEST_F(WindowTest, ArrowKeysChooseTheLinkDisplayMode) {
  OpenFolder("img");
  SelectFiles({"a.jpg"});
  ::SetForegroundWindow(window_);
  const OptionButton* const options[] = {
      dialog_.Controls().OptWithText, dialog_.Controls().OptWithImg, dialog_.Controls().OptImgOnly};
  const std::string_view names[] = {"OptWithText", "OptWithImg", "OptImgOnly"};
  const std::string_view markup[] = {R"(<a href="img/a.jpg">a.jpg</a><br>)",
                                     R"(<a href="img/a.jpg"><img src="img/a.jpg"></a>)",
                                     R"(<img src="img/a.jpg"><br>)"};
  constexpr WPARAM kMouse = 0;    // the option `chosen` clicked
  constexpr WPARAM kBackTab = 1;  // Shift+Tab from the button after the group
  struct Case {
    WPARAM key;
    int chosen;  // index into the options
  };
  const Case cases[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 0},  {VK_UP, 2},    {VK_LEFT, 1},
                        {VK_UP, 0},   {VK_UP, 2},   {VK_RIGHT, 0}, {VK_RIGHT, 1}, {VK_TAB, 1},
                        {VK_DOWN, 2}, {VK_TAB, 2},  {VK_UP, 1},    {kBackTab, 1}, {kMouse, 0},
                        {VK_TAB, 0},  {kMouse, 2},  {kBackTab, 2}, {kMouse, 1},   {VK_TAB, 1}};
  ::SetFocus(Control("Filter3"));
  PressKey(::GetFocus(), VK_TAB);
  ASSERT_EQ(::GetFocus(), Control("OptWithText"));
  for (const Case& c : cases) {
    // Tab rows leave the group and come back into it from the filter boxes;
    // Shift+Tab rows come back from the button after it, focused as the
    // mouse would focus it.
    if (c.key == VK_TAB) {
      PressKey(::GetFocus(), VK_TAB);
      EXPECT_EQ(::GetFocus(), Control("SelectAllBtn"));
      ::SetFocus(Control("Filter3"));
      PressKey(::GetFocus(), VK_TAB);
    } else if (c.key == kBackTab) {
      ::SetFocus(Control("SelectAllBtn"));
      BYTE keys[256] = {};
      keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
      ::SetKeyboardState(keys);
      PressKey(::GetFocus(), VK_TAB);
      BYTE released[256] = {};
      ::SetKeyboardState(released);
    } else if (c.key == kMouse) {
      HWND option = Control(names[c.chosen]);
      ::SendMessageW(option, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
      ::SendMessageW(option, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    } else {
      PressKey(::GetFocus(), c.key);
    }
    SCOPED_TRACE(names[c.chosen]);
    EXPECT_EQ(::GetFocus(), Control(names[c.chosen]));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(options[i]->Value(), i == c.chosen) << names[i];

    editor_.page->inserted.clear();
    Click("OKButton");
    EXPECT_EQ(editor_.page->inserted, std::vector<std::string>{std::string(markup[c.chosen])});
    ::SetFocus(Control(names[c.chosen]));
  }
  EXPECT_EQ(watcher_.Take().size(), std::size(cases));  // one notice for each press of 作成
}

TEST_F(WindowTest, TheVersionNoticeOpensTheHomePage) {
  HWND notice = Control("Label5");
  ::SendMessageW(notice, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageW(notice, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(shell_.Opened(), std::vector<std::string>{std::string(texts::kHomePage)});
}

TEST_F(WindowTest, TheCloseBoxAndCancelUnload) {
  const std::string_view ways[] = {"close box", "CancelButton"};
  for (std::string_view way : ways) {
    if (!dialog_.IsLoaded()) FindWindowAfterShow();
    HWND window = window_;
    ASSERT_NE(window, nullptr) << way;
    if (way == "close box") {
      ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      Click("CancelButton");
    }
    EXPECT_FALSE(dialog_.IsLoaded()) << way;
    EXPECT_FALSE(::IsWindow(window)) << way;
  }
  EXPECT_TRUE(watcher_.Take().empty());
}

}  // namespace
}  // namespace tervane::testing
