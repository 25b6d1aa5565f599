// The late-bound editor as the dialog reaches it: the page access path, the
// links in either of the forms editors report, markup insertion, the errors
// a host raises, and existing-link inversion end to end over IDispatch.
#include <gtest/gtest.h>
#include <ole2.h>

#include <optional>
#include <string>
#include <vector>

#include "addin/dialog/frmCOMAddIn.h"
#include "addin/platform/error.h"
#include "addin/platform/headless/headless_view.h"
#include "addin/platform/headless/recording_boxes.h"
#include "addin/platform/headless/recording_shell.h"
#include "addin/platform/win32/dispatch/command_bars_dispatch.h"
#include "addin/platform/win32/dispatch/editor_dispatch.h"
#include "addin/platform/win32/dispatch/late_binding.h"
#include "tests/support/fake_platform.h"
#include "tests/win/com/fake_editor.h"

namespace tervane::testing {
namespace {

using win32::DispatchPageApplication;

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() {
    stage->page = std::make_shared<FakePage>();
    stage->page->location = L"file:///C:/web/index.htm";
    stage->page->title = L"Top";
    stage->page->url = L"http://localhost/index.htm";
  }
  ~DispatchTest() override { ::CoUninitialize(); }

  // Before the class is registered.
  HRESULT apartment_ = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<FakePageApplication> stage = Make<FakePageApplication>();
  PageApplicationRegistration registration{stage};
};

TEST_F(DispatchTest, PageIsReachedAfreshAndTheEditorObjectIsMadeOnce) {
  stage->page->links = {
      // Resolved by the editor, written relative in the page.
      {L"file:///C:/web/img/a.jpg", L"img/a.jpg"},
      // Reported as written.
      {L"img/b.jpg", L""},
      {L"http://example.invalid/", L"http://example.invalid/"},
  };
  const long before = FakeObject::Live();
  const ULONG held = stage->Refs();
  {
    DispatchPageApplication editor;
    for (int pass = 0; pass < 2; ++pass) {
      const std::unique_ptr<PageWindow> window = editor.ActivePageWindow();
      ASSERT_TRUE(window);
      const std::unique_ptr<HtmlDocument> document = window->Document();
      EXPECT_EQ(document->LocationHref(), "file:///C:/web/index.htm");
      EXPECT_EQ(document->Title(), "Top");
      EXPECT_EQ(document->URL(), "http://localhost/index.htm");
      const std::unique_ptr<HtmlLinkCollection> links = document->Links();
      ASSERT_EQ(links->Length(), 3u);
      const std::vector<std::pair<std::string, std::optional<std::string>>> expected = {
          {"file:///C:/web/img/a.jpg", "img/a.jpg"},
          {"img/b.jpg", std::nullopt},
          {"http://example.invalid/", std::nullopt},
      };
      for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(links->Href(i), expected[i].first) << i;
        EXPECT_EQ(links->HrefAsWritten(i), expected[i].second) << i;
      }
      document->Body()->InsertAdjacentHTML("BeforeEnd", "<p>é</p>");
    }
    EXPECT_EQ(registration.Creations(), 1);
    // Only the editor object itself outlives an operation.
    EXPECT_EQ(FakeObject::Live(), before);

    stage->page.reset();
    EXPECT_EQ(editor.ActivePageWindow(), nullptr);
  }
  EXPECT_EQ(stage->Refs(), held) << "the editor object is kept only while its owner lives";
}

TEST_F(DispatchTest, MarkupArrivesAsUtf16AtTheEnd) {
  DispatchPageApplication editor;
  editor.ActivePageWindow()->Document()->Body()->InsertAdjacentHTML(
      "BeforeEnd", "<a href=\"img/日本.jpg\">日本.jpg</a><br>");
  ASSERT_EQ(stage->page->inserted.size(), 1u);
  EXPECT_EQ(stage->page->inserted[0].first, L"BeforeEnd");
  EXPECT_EQ(stage->page->inserted[0].second,
            L"<a href=\"img/\u65e5\u672c.jpg\">\u65e5\u672c.jpg</a><br>");
}

TEST_F(DispatchTest, HostFailuresBecomeErrorsWithNumberAndDescription) {
  ComPtr<FakeApplication> host = Make<FakeApplication>();  // no command bars at all
  ComPtr<FakeAddInInstance> instance = Make<FakeAddInInstance>();
  struct Case {
    const char* what;
    std::function<void()> call;
    std::int32_t number;
    std::string description;  // empty: any
  };
  const std::vector<Case> cases = {
      {"exception raised by the host",
       [&] { win32::MakeDispatchHostApplication(host)->CommandBars("Tools"); },
       static_cast<std::int32_t>(E_INVALIDARG), "Invalid procedure call or argument"},
      {"member the object does not have", [&] { win32::Get(instance.Get(), "NoSuchMember"); },
       static_cast<std::int32_t>(DISP_E_UNKNOWNNAME), ""},
      {"no object", [&] { win32::Get(nullptr, "ProgId"); }, kErrObjectNotSet, ""},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), c.number) << c.what;
      if (!c.description.empty()) {
        EXPECT_EQ(std::string(e.what()), c.description) << c.what;
      }
    }
  }
  EXPECT_EQ(win32::MakeDispatchAddInInstance(instance)->ProgId(), "Tervane.AddInDesigner1");
}

TEST_F(DispatchTest, ExistingLinksAreFoundInEitherFormTheEditorReports) {
  struct Host {
    const char* kind;
    std::vector<FakePage::Link> links;
  };
  const std::vector<Host> hosts = {
      {"resolves href", {{L"file:///C:/web/img/a.jpg", L"img/a.jpg"}, {L"http://x.invalid/", L""}}},
      {"reports as written", {{L"img/a.jpg", L""}, {L"http://x.invalid/", L""}}},
  };
  for (const Host& host : hosts) {
    SCOPED_TRACE(host.kind);
    stage->page->links = host.links;
    FakeFileSystem files;
    FakeDrives drives;
    drives.AddDrive('C', "C:\\web");
    files.AddFolder("C:\\web", {"index.htm"});
    files.AddFolder("C:\\web\\img", {"a.jpg", "b.jpg"});
    RecordingMessageBoxes boxes;
    RecordingShell shell;
    DispatchPageApplication editor;
    HeadlessViewFactory views{drives, files};
    Platform platform{drives, files, boxes, shell, editor, views};
    frmCOMAddIn dialog{platform};
    dialog.Show();
    dialog.Controls().Drive1->SetDrive("C:\\web\\img");
    dialog.Controls().Dir1->SetPath("C:\\web\\img");
    dialog.Controls().Filter[1]->SetValue(1);
    dialog.ReverseExistLink_Click();
    std::vector<std::string> selected;
    const FileListBox& list = *dialog.Controls().File1;
    for (std::size_t i = 0; i < list.ListCount(); ++i) {
      if (list.Selected(i)) selected.push_back(list.List(i));
    }
    EXPECT_EQ(selected, std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(dialog.LastFailure(), "");
  }
}

}  // namespace
}  // namespace tervane::testing
