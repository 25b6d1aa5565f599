// A stand-in editor loads Tervane.dll by its programmatic identifier, as the
// editor does, and drives the connection object: the Tools menu button, its
// clicks, the error report, and what the add-in still holds afterwards.
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "addin/connection/com/identifiers.h"
#include "addin/connection/registration_data.h"
#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/win32/utf16.h"
#include "tests/win/com/fake_editor.h"
#include "tests/win/com/registered_dll.h"
#include "tests/win/support/box_watcher.h"

namespace tervane::testing {
namespace {

using win32::Narrow;
using win32::Widen;

const std::wstring kCaption = Widen("フォルダからハイパーリンクを作成(&M)");

// Visible windows of this thread captioned with the application title,
// message boxes aside.
int OpenLinkBuilders() {
  int count = 0;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t name[16] = {};
        wchar_t text[128] = {};
        ::GetClassNameW(window, name, 16);
        ::GetWindowTextW(window, text, 128);
        if (::IsWindowVisible(window) && std::wstring_view(name) != L"#32770" &&
            Narrow(text) == texts::kAppTitle) {
          ++*reinterpret_cast<int*>(found);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

class HostTest : public ::testing::Test {
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

  // The next start finds the button by its tag and leaves it as it is.
  button->caption = L"renamed";
  Connect();
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"Tervane"}));
  EXPECT_EQ(button->caption, L"renamed");
  EXPECT_EQ(button->Sinks(), 1u);

  // A user's unload takes every control tagged Tervane, strays too.
  tools->AddControl(L"stray", L"Tervane");
  tools->AddControl(L"near miss", L"tervane");
  Disconnect(com::ext_dm_UserClosed);
  EXPECT_EQ(Tags(), (std::vector<std::wstring>{L"other", L"tervane"}));
  EXPECT_TRUE(boxes.Take().empty());
}

TEST_F(HostTest, HostWithoutToolsBarGetsTheErrorReportOnce) {
  application->bars.clear();
  BoxWatcher boxes;
  Connect();
  const std::vector<ShownBox> shown = boxes.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Error!");
  EXPECT_EQ(shown[0].text, AddInErrorReport(static_cast<std::int32_t>(E_INVALIDARG),
                                            "Invalid procedure call or argument"));
  Disconnect(com::ext_dm_UserClosed);
  EXPECT_TRUE(boxes.Take().empty());
}

TEST_F(HostTest, ClickWithoutPageOnlySaysSo) {
  BoxWatcher boxes;
  Connect();
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  const std::vector<ShownBox> shown = boxes.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, texts::kAppTitle);
  EXPECT_EQ(shown[0].text, texts::kNoPageOpen);
  EXPECT_EQ(OpenLinkBuilders(), 0);
  Disconnect(com::ext_dm_HostShutdown);
}

TEST_F(HostTest, ClickWithPageOpensOneWindowAndTheEditorObjectIsMadeOnce) {
  editor->page = std::make_shared<FakePage>();
  editor->page->location = L"file:///C:/windows/page.htm";
  editor->page->title = L"P";
  editor->page->url = editor->page->location;
  BoxWatcher boxes;
  Connect();
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  ASSERT_EQ(tools->controls[1]->Click(), S_OK);
  EXPECT_EQ(OpenLinkBuilders(), 1);
  EXPECT_EQ(registration_->Creations(), 1);
  EXPECT_TRUE(boxes.Take().empty());
  Disconnect(com::ext_dm_HostShutdown);
  // Releasing the connection object closes its window.
  EXPECT_EQ(OpenLinkBuilders(), 0);
}

}  // namespace
}  // namespace tervane::testing
