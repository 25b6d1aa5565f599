// Loading, showing and unloading the dialog; drives, folders and the file
// kind filter.
#include <gtest/gtest.h>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "tests/dialog/dialog_fixture.h"

namespace tervane::testing {
namespace {

using Names = std::vector<std::string>;

TEST_F(DialogTest, LoadAppliesTheDefaultsAndMovesToThePageFolder) {
  files.AddFolder("C:\\web", {"a.jpg", "b.GIF", "c.png", "d.htm", "e.url", "F.JPEG", "g"});
  dialog.Show();

  EXPECT_TRUE(views.LastView()->IsShown());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(C().Filter[i]->Value(), (i == 1 || i == 2) ? 1 : 0) << i;
  EXPECT_TRUE(C().OptWithText->Value());
  EXPECT_FALSE(C().OptWithImg->Value());
  EXPECT_FALSE(C().OptImgOnly->Value());
  EXPECT_EQ(C().Location->Text(), "C:\\web");
  EXPECT_EQ(C().Dir1->Path(), "C:\\web");
  EXPECT_EQ(C().File1->Path(), "C:\\web");
  EXPECT_EQ(Listed(), (Names{"a.jpg", "b.GIF", "c.png", "F.JPEG"}));
  EXPECT_TRUE(SelectedNames().empty());
  // Each tick rebuilt the list in the starting folder, nested in Form_Load,
  // before the page's folder was reached.
  EXPECT_EQ(drives.madeCurrent, (Names{"C:\\start", "C:\\start", "C:\\web"}));
}

TEST_F(DialogTest, CancelUnloadsAndTheNextLoadStartsAfresh) {
  files.AddFolder("C:\\web", {"a.jpg", "b.htm"});
  files.AddFolder("C:\\other", {"x.png"});
  dialog.Show();
  C().Filter[3]->SetValue(1);
  C().OptWithImg->SetValue(true);
  Select({"a.jpg"});
  C().Location->SetText("C:\\typed");

  dialog.CancelButton_Click();
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(views.LastView(), nullptr);

  editor.page->location = "file:///C:/other/x.htm";
  dialog.Show();
  EXPECT_EQ(C().Filter[3]->Value(), 0);
  EXPECT_TRUE(C().OptWithText->Value());
  EXPECT_EQ(C().Location->Text(), "C:\\other");
  EXPECT_EQ(Listed(), Names{"x.png"});
  EXPECT_TRUE(SelectedNames().empty());
}

TEST_F(DialogTest, TheListsStartAtTheFolderLastShownOnTheCurrentDrive) {
  files.AddFolder("C:\\web\\img", {"a.jpg"});
  dialog.Show();
  OpenIn("C:\\web\\img");
  dialog.CancelButton_Click();

  editor.page->location = "http://server/page.htm";  // leaves the lists alone
  dialog.Show();
  EXPECT_EQ(C().Dir1->Path(), "C:\\web\\img");
  EXPECT_EQ(C().Location->Text(), "");
}

TEST_F(DialogTest, PageBaseLocationFollowsThePageAddress) {
  files.AddFolder("C:\\My Webs\\sub");
  files.AddFolder("C:\\WEB");
  files.AddFolder("C:\\a%20b");
  drives.AddDrive('D', "D:\\");
  files.AddFolder("D:\\site");
  drives.AddDrive('\\', "\\\\server\\share");  // a network share stands for a drive
  files.AddFolder("\\\\server\\share\\web");
  struct Case {
    const char* address;
    const char* location;
    const char* folder;
  } cases[] = {
      {"file:///C:/My Webs/sub/page.htm", "C:\\My Webs\\sub", "C:\\My Webs\\sub"},
      {"FILE:///C:/WEB/INDEX.HTM", "C:\\WEB", "C:\\WEB"},
      {"file:///C:/index.htm", "C:", "C:\\"},
      {"file:///C:/a%20b/p.htm", "C:\\a%20b", "C:\\a%20b"},
      {"http://server/web/page.htm", "", "C:\\start"},
      {"File:///C:/web/p.htm", "", "C:\\start"},
      {"file://server/share/web/page.htm", "\\\\server\\share\\web", "\\\\server\\share\\web"},
      {"file://server/page.htm", "Text1", "C:\\start"},
      {"file:///D:/site/page.htm", "D:\\site", "D:\\site"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    editor.page->location = c.address;
    dialog.Show();
    EXPECT_EQ(C().Location->Text(), c.location);
    EXPECT_EQ(C().Dir1->Path(), c.folder);
    EXPECT_EQ(C().Drive1->Drive(), DriveSpecification(c.folder, PathStyle::kWindows));
    dialog.CancelButton_Click();
    drives.drives['C'].current = "C:\\start";
  }
}

TEST_F(DialogTest, LoadingFailsWhenNoPageIsOpenAfterTheDefaults) {
  editor.page.reset();
  EXPECT_THROW(dialog.Show(), Error);
  EXPECT_TRUE(dialog.IsLoaded());
  EXPECT_EQ(C().Filter[2]->Value(), 1);
  EXPECT_TRUE(C().OptWithText->Value());
}

TEST_F(DialogTest, FilterBoxesDecideWhatIsListed) {
  files.AddFolder("C:\\web", {"a.JPG", "b.jpeg", "c.png", "d.gif", "e.htm", "f.url", "g.TXT",
                              "h.rtf", "i.html", "noext", "j.bmp"});
  dialog.Show();
  struct Case {
    std::array<int, 4> ticks;
    Names listed;
  } cases[] = {
      {{0, 1, 1, 0}, {"a.JPG", "b.jpeg", "c.png", "d.gif"}},
      {{0, 0, 0, 0},
       {"a.JPG", "b.jpeg", "c.png", "d.gif", "e.htm", "f.url", "g.TXT", "h.rtf", "i.html", "j.bmp",
        "noext"}},
      {{1, 0, 0, 0}, {"f.url"}},
      {{0, 0, 0, 1}, {"e.htm", "g.TXT", "h.rtf", "i.html"}},
      {{1, 1, 1, 1},
       {"a.JPG", "b.jpeg", "c.png", "d.gif", "e.htm", "f.url", "g.TXT", "h.rtf", "i.html"}},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 4; ++i) C().Filter[i]->SetValue(c.ticks[i]);
    EXPECT_EQ(Listed(), c.listed) << c.ticks[0] << c.ticks[1] << c.ticks[2] << c.ticks[3];
  }
}

TEST_F(DialogTest, EveryRereadDropsTheSelection) {
  files.AddFolder("C:\\web", {"a.jpg", "b.jpg"});
  files.AddFolder("C:\\web\\img", {"c.jpg"});
  dialog.Show();
  Select({"a.jpg"});
  C().Filter[0]->SetValue(1);
  EXPECT_TRUE(SelectedNames().empty());

  Select({"b.jpg"});
  OpenIn("C:\\web\\img");
  OpenIn("C:\\web");
  EXPECT_TRUE(SelectedNames().empty());
}

TEST_F(DialogTest, SelectAllSelectsEverythingOrClearsAll) {
  files.AddFolder("C:\\web", {"a.jpg", "b.jpg", "c.jpg"});
  dialog.Show();
  Select({"b.jpg"});
  dialog.SelectAllBtn_Click();
  EXPECT_EQ(SelectedNames(), (Names{"a.jpg", "b.jpg", "c.jpg"}));
  dialog.SelectAllBtn_Click();
  EXPECT_TRUE(SelectedNames().empty());

  files.AddFolder("C:\\empty");
  OpenIn("C:\\empty");
  dialog.SelectAllBtn_Click();
  EXPECT_EQ(C().File1->ListCount(), 0u);
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(DialogTest, ADriveThatIsNotReadyIsAskedAboutUntilItIsOrTheUserCancels) {
  drives.AddDrive('E', "E:\\photos", 4, {false, false, true});
  files.AddFolder("E:\\photos", {"p.jpg"});
  dialog.Show();
  boxes.QueueAnswer(MsgAnswer::kRetry);
  boxes.QueueAnswer(MsgAnswer::kRetry);
  C().Drive1->SetDrive("E:");

  ASSERT_EQ(boxes.Shown().size(), 2u);
  for (const MessageBoxRequest& box : boxes.Shown()) {
    EXPECT_EQ(box.text, "ドライブ E: - CD-ROM\r\nドライブの準備ができていません。");
    EXPECT_EQ(box.title, texts::kAppTitle);
    EXPECT_EQ(box.buttons, MsgButtons::kRetryCancel);
    EXPECT_EQ(box.icon, MsgIcon::kStop);
  }
  EXPECT_EQ(C().Dir1->Path(), "E:\\photos");
  EXPECT_EQ(Listed(), Names{"p.jpg"});
}

TEST_F(DialogTest, CancelGoesBackToTheProcessCurrentDrive) {
  drives.AddDrive('A', "A:\\", 1, {false});
  drives.AddDrive('F', "F:\\music", 2);
  drives.AddDrive('X', "X:\\", 9, {false});
  files.AddFolder("F:\\music");
  dialog.Show();
  OpenIn("F:\\music");

  C().Drive1->SetDrive("A:");
  EXPECT_EQ(TakeTexts(),
            Names{"ドライブ A: - リムーバブル ディスク\r\nドライブの準備ができていません。"});
  EXPECT_EQ(C().Drive1->Drive(), "C:");
  EXPECT_EQ(C().Dir1->Path(), "C:\\web");

  C().Drive1->SetDrive("x:\\anything");
  EXPECT_EQ(TakeTexts(), Names{"ドライブ X: - \r\nドライブの準備ができていません。"});
  EXPECT_EQ(C().Dir1->Path(), "C:\\web");

  // Closed while the box is up: the handler ends its work on the lists,
  // then the window goes.
  OpenIn("F:\\music");
  boxes.SetObserver([this](const MessageBoxRequest&) { dialog.CancelButton_Click(); });
  C().Drive1->SetDrive("A:");
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_EQ(drives.madeCurrent.back(), "C:\\web");
  boxes.SetObserver(nullptr);
}

TEST_F(DialogTest, ADriveVisitedAgainOpensInTheFolderLastShownOnIt) {
  drives.AddDrive('D', "D:\\", 2);
  files.AddFolder("D:\\data\\deep");
  dialog.Show();
  OpenIn("D:\\data\\deep");
  C().Drive1->SetDrive("C:");
  EXPECT_EQ(C().Dir1->Path(), "C:\\web");
  C().Drive1->SetDrive("D:");
  EXPECT_EQ(C().Dir1->Path(), "D:\\data\\deep");
}

TEST_F(DialogTest, LocationSetTakesTheMaterialFolderWithoutMovingTheLists) {
  files.AddFolder("C:\\img", {"a.jpg"});
  dialog.Show();
  OpenIn("C:\\img");
  dialog.LocationSetBtn_Click();
  EXPECT_EQ(C().Location->Text(), "C:\\img");
  EXPECT_EQ(C().Dir1->Path(), "C:\\img");
}

}  // namespace
}  // namespace tervane::testing
