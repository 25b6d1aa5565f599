// The connection object and the Tools menu button, against an in-memory
// editor menu.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "addin/connection/AddInDesigner1.h"
#include "addin/connection/modSharedCode.h"
#include "addin/connection/registration_data.h"
#include "addin/dialog/linkaddress/texts.h"
#include "tests/connection/fake_menu.h"
#include "tests/support/fake_dialog_platform.h"

namespace tervane::testing {
namespace {

std::shared_ptr<FakeControl> Control(const char* caption, const char* tag,
                                     bool unreadable = false) {
  auto control = std::make_shared<FakeControl>();
  control->caption = caption;
  control->tag = tag;
  control->tagUnreadable = unreadable;
  return control;
}

class ConnectionTest : public ::testing::Test, protected FakeDialogPlatform {
 protected:
  ConnectionTest() {
    drives.AddDrive('C', "C:\\web");
    files.AddFolder("C:\\web", {"a.jpg"});
    editor.page =
        FakeEditor::Page{"file:///C:/web/p.htm", "P", "file:///C:/web/p.htm", {}, {}, {}, {}};
    host->AddBar("Tools").push_back(Control("既存", "other"));
  }

  std::unique_ptr<AddInDesigner1> Connect() {
    auto addIn = std::make_unique<AddInDesigner1>(platform);
    addIn->OnConnection(host, 0, instance);
    return addIn;
  }
  std::vector<std::shared_ptr<FakeControl>> OurButtons() {
    std::vector<std::shared_ptr<FakeControl>> ours;
    for (const auto& control : host->Live("Tools")) {
      if (control->tag == "Tervane") ours.push_back(control);
    }
    return ours;
  }

  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  FakeAddInInstance instance;
};

TEST_F(ConnectionTest, FirstConnectionAppendsTheButtonAndLaterOnesReuseIt) {
  auto first = Connect();
  ASSERT_EQ(OurButtons().size(), 1u);
  const FakeControl& button = *OurButtons()[0];
  EXPECT_EQ(host->Live("Tools").back().get(), &button);
  EXPECT_EQ(button.type, 1);
  EXPECT_EQ(button.parameter, "Tervane");
  EXPECT_EQ(button.caption, "フォルダからハイパーリンクを作成(&M)");
  EXPECT_EQ(button.style, 2);
  EXPECT_EQ(button.action, "!<Tervane.AddInDesigner1>");
  first->OnDisconnection(0);
  first.reset();

  OurButtons()[0]->caption = "renamed by the user";
  auto second = Connect();
  ASSERT_EQ(OurButtons().size(), 1u);
  EXPECT_EQ(OurButtons()[0]->caption, "renamed by the user");
  EXPECT_TRUE(second->HasButton());
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ConnectionTest, OnlyAUserUnloadDeletesTheButtonsTaggedTervane) {
  auto addIn = Connect();
  auto& tools = host->AddBar("Tools");
  tools.push_back(Control("stray", "Tervane"));
  tools.push_back(Control("case", "tervane"));
  tools.push_back(Control("locked", "Tervane", true));
  tools.push_back(Control("stuck", "Tervane"));
  tools.back()->deleteRefused = true;
  tools.push_back(Control("after the failures", "Tervane"));

  addIn->OnDisconnection(0);
  EXPECT_EQ(OurButtons().size(), 5u);
  addIn->OnDisconnection(1);
  std::vector<std::string> left;
  for (const auto& control : host->Live("Tools")) left.push_back(control->caption);
  EXPECT_EQ(left, (std::vector<std::string>{"既存", "case", "locked", "stuck"}));
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ConnectionTest, AFailedConnectionIsReportedOnceAndLeavesNoCommand) {
  struct Case {
    std::string_view name;
    std::function<void(FakeHost&)> offer;  // what the host's menu holds
    std::string_view error;                // number and description
    std::size_t toolsControls;             // afterwards
  };
  const Case cases[] = {
      {"no Tools bar", [](FakeHost&) {}, "5\r\nInvalid procedure call or argument", 0},
      {"a popup tagged Tervane",
       [](FakeHost& h) {
         h.AddBar("Tools").push_back(Control("popup", "Tervane"));
         h.AddBar("Tools").back()->type = 10;
       },
       "13\r\nType mismatch", 1},
      {"a button that takes no click handler",
       [](FakeHost& h) {
         h.AddBar("Tools").push_back(Control("deaf", "Tervane"));
         h.AddBar("Tools").back()->clickRefused = true;
       },
       "5\r\nAdvise refused", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host = std::make_shared<FakeHost>();
    c.offer(*host);
    boxes.Clear();
    auto addIn = Connect();
    EXPECT_FALSE(addIn->HasButton());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text,
              "An error occurred in the COM add-in named 'Tervane ハイパーリンク一括作成'.\r\n"
              "Error #:" +
                  std::string(c.error));
    EXPECT_EQ(boxes.Shown()[0].title, "Error!");
    EXPECT_EQ(boxes.Shown()[0].buttons, MsgButtons::kOk);
    EXPECT_EQ(boxes.Shown()[0].icon, MsgIcon::kNone);
    EXPECT_EQ(host->AddBar("Tools").size(), c.toolsControls);
    addIn->OnDisconnection(1);
    EXPECT_EQ(boxes.Shown().size(), 1u);
  }
}

TEST_F(ConnectionTest, TheMenuCommandOpensTheDialogOnlyWithAPageOpen) {
  auto addIn = Connect();
  FakeControl& button = *OurButtons()[0];

  editor.page.reset();
  host->Click(button);
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text, "ページが開かれていません");
  EXPECT_EQ(boxes.Shown()[0].title, texts::kAppTitle);
  EXPECT_EQ(boxes.Shown()[0].icon, MsgIcon::kNone);
  EXPECT_FALSE(addIn->LinkBuilder()->IsLoaded());

  editor.page = FakeEditor::Page{"file:///C:/web/p.htm", "P", "u", {}, {}, {}, {}};
  host->Click(button);
  ASSERT_TRUE(addIn->LinkBuilder()->IsLoaded());
  EXPECT_TRUE(views.LastView()->IsShown());
  addIn->LinkBuilder()->Controls().File1->SetSelected(0, true);
  host->Click(button);
  EXPECT_TRUE(addIn->LinkBuilder()->Controls().File1->Selected(0));
  EXPECT_EQ(views.LastView()->TimesBroughtToFront(), 2);
  EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST_F(ConnectionTest, AFailureWhileLoadingTheDialogIsReported) {
  auto addIn = Connect();
  editor.page->location = "file:///C:/gone/p.htm";
  host->Click(*OurButtons()[0]);
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].title, "Error!");
  EXPECT_NE(boxes.Shown()[0].text.find("\r\nError #:76\r\n"), std::string::npos);
}

TEST_F(ConnectionTest, TwoConnectionObjectsEachRemoveOnlyTheirOwnHostsButton) {
  auto otherHost = std::make_shared<FakeHost>();
  otherHost->AddBar("Tools");
  auto first = Connect();
  auto second = std::make_unique<AddInDesigner1>(platform);
  second->OnConnection(otherHost, 0, instance);
  first->OnDisconnection(1);
  EXPECT_TRUE(OurButtons().empty());
  EXPECT_EQ(otherHost->Live("Tools").size(), 1u);
  first.reset();
  second->OnDisconnection(1);
  EXPECT_TRUE(otherHost->Live("Tools").empty());
}

TEST_F(ConnectionTest, DisconnectionUnloadsTheDialogOnceNoEventRunsAnyMore) {
  auto addIn = Connect();
  host->Click(*OurButtons()[0]);
  ASSERT_TRUE(addIn->LinkBuilder()->IsLoaded());
  addIn->OnDisconnection(0);
  EXPECT_FALSE(addIn->LinkBuilder()->IsLoaded());

  // The page lies on a drive that is not ready: loading the dialog asks, and
  // the host disconnects while the question is open.
  addIn = Connect();
  drives.AddDrive('D', "D:\\", 2, {false});
  files.AddFolder("D:\\web", {});
  editor.page->location = "file:///D:/web/p.htm";
  boxes.SetObserver([&](const MessageBoxRequest&) { addIn->OnDisconnection(1); });
  host->Click(*OurButtons()[0]);
  ASSERT_EQ(boxes.Shown().size(), 1u) << boxes.Shown().back().text;
  EXPECT_EQ(boxes.Shown()[0].buttons, MsgButtons::kRetryCancel);
  EXPECT_FALSE(addIn->LinkBuilder()->IsLoaded());
  EXPECT_TRUE(OurButtons().empty());
}

TEST_F(ConnectionTest, ReleasingTheAddInLetsGoOfTheHostAndTheDialog) {
  auto addIn = Connect();
  host->Click(*OurButtons()[0]);
  addIn->OnDisconnection(0);
  addIn.reset();
  EXPECT_EQ(host.use_count(), 1);
  EXPECT_EQ(views.LastView(), nullptr);
  EXPECT_TRUE(OurButtons()[0]->clickHandlers.empty());
}

TEST(RegistrationDataTest, DesignerResourceHoldsTheDefaultInterface) {
  const std::array<std::uint8_t, 20> expected = {0x10, 0,    0,    0,    0x63, 0x4F, 0x0A,
                                                 0xBC, 0xB4, 0xA2, 0x3A, 0x4F, 0x8F, 0x76,
                                                 0xD3, 0x7C, 0xDF, 0x30, 0x1A, 0x85};
  EXPECT_EQ(registration::DesignerInterfaceResource(), expected);
  EXPECT_EQ(registration::AddInKey(),
            "Software\\Microsoft\\Office\\FrontPage\\Addins\\Tervane.AddInDesigner1");
}

}  // namespace
}  // namespace tervane::testing
