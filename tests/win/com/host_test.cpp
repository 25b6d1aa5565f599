// A stand-in editor loads Tervane.dll by its programmatic identifier, as the
// editor does, and drives the connection object: the Tools menu button, its
// clicks, the error report, and what the add-in still holds afterwards.
#include <gtest/gtest.h>
#include <ole2.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connection/com/identifiers.h"
#include "addin/connection/registration_data.h"
#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "tests/win/com/fake_editor.h"
#include "tests/win/com/registered_dll.h"
#include "tests/win/support/box_watcher.h"
#include "tests/win/support/link_builder_window.h"
#include "tests/win/support/site_folder.h"

namespace tervane::testing {
namespace {

using win32::Narrow;
using win32::Widen;

const std::wstring kCaption = Widen("フォルダからハイパーリンクを作成(&M)");

class HostTest : public ::testing::Test, protected SiteFolder, protected LinkBuilderWindow {
 protected:
  static void SetUpTestSuite() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(RunRegsvr32(), 0u);
  }
  static void TearDownTestSuite() { RunRegsvr32(L"/u"); }

  HostTest() {
    tools = Make<FakeCommandBar>();
    tools->AddControl(L"既存の項目", L"other");
    application->bars[L"Tools"] = tools;
    registration_ = std::make_unique<PageApplicationRegistration>(editor);
  }

  ~HostTest() override {
    addIn.Reset();
    registration_.reset();
    tools.Reset();
    application.Reset();
    instance.Reset();
    editor.Reset();
    // Everything the stand-in made is gone: the add-in kept no reference.
    EXPECT_EQ(FakeObject::Live(), baseline_) << "host objects still referenced";
    EXPECT_EQ(CanUnloadNow(), S_OK);
  }

  static HRESULT CanUnloadNow() {
    using Function = HRESULT(STDAPICALLTYPE*)();
    const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"Tervane.dll"), "DllCanUnloadNow")));
    return function ? function() : E_FAIL;
  }

  static ComPtr<IClassFactory> ClassFactory() {
    using Function = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"Tervane.dll"), "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (function) function(com::kClsidAddInDesigner1, IID_PPV_ARGS(&factory));
    return factory;
  }

  // A new connection object, created by programmatic identifier.
  ComPtr<com::IDTExtensibility2> Create() {
    const std::optional<CLSID> clsid = PerUserClassOf(Widen(registration::kProgId));
    EXPECT_TRUE(clsid);
    ComPtr<com::IDTExtensibility2> created;
    EXPECT_EQ(CreatePerUserObject(*clsid, com::kIidExtensibility2,
                                  reinterpret_cast<void**>(created.GetAddressOf())),
              S_OK);
    return created;
  }

  void Connect() {
    addIn = Create();
    ASSERT_TRUE(addIn);
    ASSERT_EQ(addIn->OnConnection(application.Get(), com::ext_cm_Startup, instance.Get(), nullptr),
              S_OK);
  }

  void Disconnect(com::ext_DisconnectMode mode) {
    ASSERT_EQ(addIn->OnDisconnection(mode, nullptr), S_OK);
    // The stand-in holds the only reference: releasing it destroys the object.
    EXPECT_EQ(addIn.Reset(), 0u);
  }

  std::vector<std::wstring> Tags() const {
    std::vector<std::wstring> tags;
    for (const ComPtr<FakeControl>& control : tools->controls) tags.push_back(control->tag);
    return tags;
  }

  // Before every stand-in object.
  long baseline_ = FakeObject::Live();
  ComPtr<FakeApplication> application = Make<FakeApplication>();
  ComPtr<FakeAddInInstance> instance = Make<FakeAddInInstance>();
  ComPtr<FakePageApplication> editor = Make<FakePageApplication>();
  ComPtr<FakeCommandBar> tools;
  ComPtr<com::IDTExtensibility2> addIn;

  std::unique_ptr<PageApplicationRegistration> registration_;
};

TEST_F(HostTest, ButtonIsAddedOnceKeptAtShutdownAndRemovedOnUnload) {
  BoxWatcher boxes;
  Connect();
  ASSERT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));
  const ComPtr<FakeControl> button = tools->controls[1];
  EXPECT_EQ(tools->lastFind, (std::vector<std::wstring>{L"-", L"-", L"Tervane", L"-", L"-"}));
  EXPECT_EQ(tools->lastAdd, (std::vector<std::wstring>{L"1", L"-", L"Tervane", L"-", L"-"}));
  EXPECT_EQ(button->caption, kCaption);
  EXPECT_EQ(button->style, 2);
  EXPECT_EQ(button->onAction, L"!<Tervane.AddInDesigner1>");
  EXPECT_EQ(button->Sinks(), 1u);

  Disconnect(com::ext_dm_HostShutdown);
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));
  EXPECT_EQ(button->Sinks(), 0u);

  // The next start finds the button, a new object, by its tag and leaves it
  // as it is.
  tools->Restart();
  const ComPtr<FakeControl> restarted = tools->controls[1];
  restarted->caption = L"renamed";
  Connect();
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));
  EXPECT_EQ(restarted->caption, L"renamed");
  EXPECT_EQ(restarted->Sinks(), 1u);

  // A user's unload takes every control tagged Tervane, strays too.
  tools->AddControl(L"stray", L"Tervane");
  tools->AddControl(L"near miss", L"tervane");
  Disconnect(com::ext_dm_UserClosed);
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"tervane"}));
  EXPECT_TRUE(boxes.Take().empty());
}

TEST_F(HostTest, AUserUnloadDeletesTheOtherTervaneControlsPastOneThatFails) {
  struct Case {
    std::string_view name;
    std::function<void(FakeControl&)> fail;  // applied to the third control
  };
  const Case cases[] = {
      {"its tag cannot be read", [](FakeControl& c) { c.tagUnreadable = true; }},
      {"its Delete fails", [](FakeControl& c) { c.deleteRefused = true; }},
      {"Item fails for its index", [this](FakeControl&) { tools->failingItem = 3; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tools->controls.resize(1);
    tools->failingItem = 0;
    BoxWatcher boxes;
    Connect();
    c.fail(*tools->AddControl(L"failing", L"Tervane").Get());
    tools->AddControl(L"after it", L"Tervane");
    ASSERT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane", L"Tervane", L"Tervane"}));
    Disconnect(com::ext_dm_UserClosed);
    EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));
    EXPECT_EQ(tools->controls.back()->caption, L"failing");
    EXPECT_TRUE(boxes.Take().empty());
  }
}

TEST_F(HostTest, AFailedConnectionIsReportedOnceAndTheHostSeesSuccess) {
  struct Case {
    std::string_view name;
    std::function<void()> offer;  // what the editor's menu holds
    std::int32_t number;
    std::string_view description;  // what the report's last line begins with
  };
  const Case cases[] = {
      {"no Tools bar", [this] { application->bars.clear(); },
       static_cast<std::int32_t>(E_INVALIDARG), "Invalid procedure call or argument"},
      {"a control tagged Tervane that is no button",
       [this] { tools->AddControl(L"popup", L"Tervane")->isButton = false; }, 13, "Type mismatch"},
      {"a button that takes no Click sink",
       [this] { tools->AddControl(L"deaf", L"Tervane")->sinksRefused = true; },
       static_cast<std::int32_t>(CONNECT_E_ADVISELIMIT), "Advise"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    application->bars[L"Tools"] = tools;
    tools->controls.resize(1);
    c.offer();
    const std::vector<std::wstring> offered = Tags();
    BoxWatcher boxes;
    Connect();  // S_OK, so the editor keeps the add-in loaded
    const std::vector<ShownBox> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Error!");
    const std::string lead = AddInErrorReport(c.number, "");
    EXPECT_EQ(shown[0].text.substr(0, lead.size()), lead);
    EXPECT_EQ(shown[0].text.substr(lead.size(), c.description.size()), c.description);
    EXPECT_EQ(Tags(), offered);  // nothing added
    for (const ComPtr<FakeControl>& control : tools->controls) EXPECT_EQ(control->Sinks(), 0u);
    Disconnect(com::ext_dm_UserClosed);
    EXPECT_TRUE(boxes.Take().empty());
  }
}

TEST_F(HostTest, AClickWithoutAPageOrWithoutTheEditorSaysWhy) {
  struct Case {
    std::string_view name;
    std::function<void()> arrange;
    ShownBox shown;  // the box's text: its start
  };
  const std::string report = AddInErrorReport(E_FAIL, "");
  const Case cases[] = {
      {"no page, as Nothing",
       [] {},
       {std::string(texts::kAppTitle), std::string(texts::kNoPageOpen)}},
      {"no page, as an error",
       [this] { editor->noPageRaises = true; },
       {"Error!", report + "No page is active"}},
      {"no editor page application object",
       [this] { registration_.reset(); },
       {"Error!", AddInErrorReport(REGDB_E_CLASSNOTREG, "")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    BoxWatcher boxes;
    Connect();
    ASSERT_EQ(tools->controls[1]->Click(), S_OK);
    const std::vector<ShownBox> shown = boxes.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, c.shown.title);
    EXPECT_EQ(shown[0].text.substr(0, c.shown.text.size()), c.shown.text);
    EXPECT_EQ(Open().size(), 0u);
    Disconnect(com::ext_dm_UserClosed);
  }
}

// Create A and B, connect both, unload and release A: B keeps its button,
// its host and its window class.
TEST_F(HostTest, TwoConnectionObjectsInOneEditorLeaveEachOtherAlone) {
  editor->page = std::make_shared<FakePage>();
  editor->page->location = editor->page->url = Widen(PageAddress());
  ComPtr<FakeApplication> otherHost = Make<FakeApplication>();
  ComPtr<FakeCommandBar> otherTools = Make<FakeCommandBar>();
  otherHost->bars[L"Tools"] = otherTools;
  BoxWatcher boxes;
  ComPtr<com::IDTExtensibility2> first = Create();
  ASSERT_EQ(first->OnConnection(otherHost.Get(), com::ext_cm_Startup, instance.Get(), nullptr),
            S_OK);
  Connect();
  ASSERT_EQ(first->OnDisconnection(com::ext_dm_UserClosed, nullptr), S_OK);
  EXPECT_EQ(first.Reset(), 0u);
  EXPECT_TRUE(otherTools->controls.empty());
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));

  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  EXPECT_EQ(Open().size(), 1u);
  EXPECT_TRUE(boxes.Take().empty());
  Disconnect(com::ext_dm_UserClosed);
  EXPECT_EQ(Tags(), std::vector<std::wstring>{L"other"});
}

// What a host or a script may ask the object for, by the rules of COM
// identity: one IUnknown, and every interface reachable from every other.
TEST_F(HostTest, TheConnectionObjectAnswersItsInterfacesAsOneObject) {
  addIn = Create();
  ASSERT_TRUE(addIn);
  const std::pair<const char*, IID> answered[] = {
      {"IUnknown", IID_IUnknown},
      {"IDispatch", IID_IDispatch},
      {"IDTExtensibility2", com::kIidExtensibility2},
      {"_AddInDesigner1", com::kIidAddInDesigner1},
      {"ISupportErrorInfo", IID_ISupportErrorInfo},
  };
  ComPtr<IUnknown> identity;
  ASSERT_EQ(addIn.As(&identity), S_OK);
  for (const auto& [name, iid] : answered) {
    SCOPED_TRACE(name);
    ComPtr<IUnknown> asked;
    ASSERT_EQ(addIn->QueryInterface(iid, reinterpret_cast<void**>(asked.GetAddressOf())), S_OK);
    ComPtr<IUnknown> itsIdentity;
    ASSERT_EQ(asked.As(&itsIdentity), S_OK);
    EXPECT_EQ(itsIdentity.Get(), identity.Get());
    for (const auto& [otherName, other] : answered) {
      ComPtr<IUnknown> reached;
      EXPECT_EQ(asked->QueryInterface(other, reinterpret_cast<void**>(reached.GetAddressOf())),
                S_OK)
          << "to " << otherName;
    }
  }
  void* none = &none;
  EXPECT_EQ(addIn->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);

  // The dispatch half, as a script calls it.
  ComPtr<IDispatch> script;
  ASSERT_EQ(identity.As(&script), S_OK);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"OnAddInsUpdate")};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(script->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  ASSERT_EQ(script->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
  VARIANT argument;
  argument.vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
  argument.pparray = &custom;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXPECT_EQ(script->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  ::SafeArrayDestroy(custom);
  ComPtr<ISupportErrorInfo> errors;
  ASSERT_EQ(identity.As(&errors), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(com::kIidExtensibility2), S_OK);
}

TEST_F(HostTest, ALockedServerStaysLoadedAndUnlockingStopsAtZero) {
  Create().Reset();  // loads the library
  ASSERT_EQ(CanUnloadNow(), S_OK);
  ASSERT_EQ(ClassFactory()->LockServer(TRUE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "locked, and nothing else alive";
  ComPtr<IClassFactory> factory = ClassFactory();
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK) << "one unlock too many";
  factory.Reset();
  EXPECT_EQ(CanUnloadNow(), S_OK);
  ASSERT_EQ(ClassFactory()->LockServer(TRUE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "the extra unlock was counted";
  ASSERT_EQ(ClassFactory()->LockServer(FALSE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

// While a message box of an event is open, the host disconnects and lets go
// of the object (its calls reach the box's message loop): the object, and
// its window, last until the event has ended.
struct LetGoDuringBox {
  static inline std::function<void()> act;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (VisibleWindows(::GetCurrentThreadId(), true).empty() || !act) return;
    ::KillTimer(nullptr, timer);
    std::exchange(act, nullptr)();
  }
};

TEST_F(HostTest, AHostLettingGoDuringAnEventsMessageBoxWaitsForTheEvent) {
  editor->page = std::make_shared<FakePage>();
  editor->page->location = editor->page->url = Widen(PageAddress());
  struct Case {
    std::string_view name;
    bool windowOpen;
    std::function<void()> event;
  };
  const Case cases[] = {
      {"the menu command without a page", false,
       [this] {
         editor->page.reset();
         tools->controls[1]->Click();
       }},
      {"作成 with nothing selected", true, [this] { Click("OKButton"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoxWatcher boxes;
    Connect();
    if (c.windowOpen) {
      ASSERT_EQ(tools->controls[1]->Click(), S_OK);
      Attach();
    }
    HRESULT duringBox = E_FAIL;
    std::size_t windowsDuringBox = 0;
    LetGoDuringBox::act = [&] {
      addIn->OnDisconnection(com::ext_dm_UserClosed, nullptr);
      addIn.Reset();
      duringBox = CanUnloadNow();
      windowsDuringBox = Open().size();
    };
    ::SetTimer(nullptr, 0, 10, LetGoDuringBox::Tick);
    c.event();
    EXPECT_EQ(boxes.Take().size(), 1u);
    EXPECT_EQ(duringBox, S_FALSE);
    EXPECT_EQ(windowsDuringBox, c.windowOpen ? 1u : 0u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    EXPECT_EQ(Open().size(), 0u);
    EXPECT_EQ(Tags(), std::vector<std::wstring>{L"other"});
    editor->page = std::make_shared<FakePage>();
    editor->page->location = editor->page->url = Widen(PageAddress());
  }
}

// The editor's own loop, which the window's keys go through: GetMessage, the
// frame's accelerators (claiming Tab, Del and every Alt letter), then
// TranslateMessage and DispatchMessage.
class HostFrame {
 public:
  HostFrame() {
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = Proc;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"TervaneTestFrame";
    ::RegisterClassW(&frameClass);
    frame_ = ::CreateWindowExW(0, L"TervaneTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                               100, nullptr, nullptr, frameClass.hInstance, nullptr);
    std::vector<ACCEL> keys = {{FVIRTKEY, VK_TAB, 1}, {FVIRTKEY, VK_DELETE, 2}};
    for (WORD letter = 'A'; letter <= 'Z'; ++letter) keys.push_back({FVIRTKEY | FALT, letter, 3});
    table_ = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    commands = 0;
  }
  ~HostFrame() {
    ::DestroyAcceleratorTable(table_);
    ::DestroyWindow(frame_);
    ::UnregisterClassW(L"TervaneTestFrame", ::GetModuleHandleW(nullptr));
  }
  HostFrame(const HostFrame&) = delete;
  HostFrame& operator=(const HostFrame&) = delete;

  /// A key pressed and let go on the control that has the focus, with
  /// everything the loop then has to do.
  void Press(WPARAM key, bool alt = false) const {
    const LPARAM altDown = alt ? (1 << 29) : 0;
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | altDown);
    ::PostMessageW(focus, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | altDown | (3u << 30));
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) &&
           ::GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (::TranslateAcceleratorW(frame_, table_, &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  /// The frame's commands from its accelerators.
  static inline int commands = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == 1) ++commands;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  HWND frame_ = nullptr;
  HACCEL table_ = nullptr;
};

struct CueRequests {
  static inline HWND window = nullptr;
  static inline WORD cleared = 0;
  static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == window && sent->message == WM_CHANGEUISTATE &&
        LOWORD(sent->wParam) == UIS_CLEAR) {
      cleared |= HIWORD(sent->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST_F(HostTest, KeysReachTheWindowThroughTheHostsLoopAndShowTheirCues) {
  editor->page = std::make_shared<FakePage>();
  editor->page->location = editor->page->url = Widen(PageAddress());
  BoxWatcher boxes;
  Connect();
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  Attach();
  const HostFrame host;
  ::SetForegroundWindow(window_);
  HWND location = Control("Location");
  ::SetFocus(location);
  // The cues the window asks the system to show; Wine keeps no keyboard cue
  // state to read back.
  CueRequests::window = window_;
  CueRequests::cleared = 0;
  const win32::UniqueHook recorder(
      ::SetWindowsHookExW(WH_CALLWNDPROC, CueRequests::Record, nullptr, ::GetCurrentThreadId()));

  ::SetWindowTextW(location, L"abc");
  ::SendMessageW(location, EM_SETSEL, 0, 0);
  host.Press(VK_DELETE);
  EXPECT_EQ(Caption(location), "bc");
  host.Press(VK_TAB);
  EXPECT_EQ(::GetFocus(), Control("LocationSetBtn"));
  EXPECT_EQ(CueRequests::cleared, UISF_HIDEFOCUS) << "no focus rectangle";
  host.Press('F', true);
  EXPECT_EQ(::GetFocus(), Control("Dir1"));
  EXPECT_TRUE(CueRequests::cleared & UISF_HIDEACCEL) << "no access key underlines";
  OpenFolder("img");
  host.Press('X', true);
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
  EXPECT_EQ(HostFrame::commands, 0) << "the frame's accelerators took keys of the window";
  EXPECT_TRUE(boxes.Take().empty());
  Disconnect(com::ext_dm_HostShutdown);
}

TEST_F(HostTest, ClickWithPageOpensOneWindowThatWorksOnTheEditorsPage) {
  editor->page = std::make_shared<FakePage>();
  const std::wstring page = Widen(PageAddress());
  editor->page->location = editor->page->url = page;
  editor->page->title = L"P";
  // B.png as the real editor reports it: resolved, and written relative.
  const std::wstring img = page.substr(0, page.rfind(L'/') + 1) + L"img/";
  editor->page->links = {{img + L"B.png", L"img/B.png"}, {L"http://example.com/", L""}};
  BoxWatcher boxes;
  Connect();
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  ASSERT_EQ(Open().size(), 1u);
  EXPECT_EQ(registration_->Creations(), 1);

  Attach();
  OpenFolder("img");
  Click("Filter0");
  SelectFiles({"a.jpg", "link.url"});
  Click("OKButton");
  EXPECT_EQ(editor->page->inserted,
            (std::vector<std::pair<std::wstring, std::wstring>>{
                {L"BeforeEnd", LR"(<a href="img/a.jpg">a.jpg</a><br>)"},
                {L"BeforeEnd", LR"(<a href="http://example.com/">link</a><br>)"}}));
  Click("Reverse");
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png"}));
  Click("LocationSetBtn");
  EXPECT_EQ(Caption(Control("Location")), siteText_ + "\\img");
  Click("GetPageInfo");
  EXPECT_EQ(Caption(Control("Location")), siteText_);

  const std::string lead = "アクティブなページ P(URL:" + Narrow(page) + ")";
  const std::string app(texts::kAppTitle);
  EXPECT_EQ(boxes.Take(),
            (std::vector<ShownBox>{
                {"Tervane 処理完了", lead + "にリンクを追加\r\n\r\n2個のアイテムを追加しました。"},
                {app, lead + "のリンクを検査\r\n\r\n参照ディレクトリ "
                             "img/にリンクされているファイルが2個あります。"},
                {app, "現在アクティブなページは次のものです。\r\nTITLE : P\r\nURL   : " +
                          Narrow(page)}}));
  // The page closed, whichever way the editor reports that.
  for (const bool raises : {false, true}) {
    editor->page.reset();
    editor->noPageRaises = raises;
    Click("GetPageInfo");
    EXPECT_EQ(boxes.Take(), (std::vector<ShownBox>{{app, std::string(texts::kDialogFailure)}}))
        << (raises ? "raised" : "Nothing");
  }
  Disconnect(com::ext_dm_HostShutdown);
  // Releasing the connection object closes its window.
  EXPECT_EQ(Open().size(), 0u);
}

}  // namespace
}  // namespace tervane::testing
