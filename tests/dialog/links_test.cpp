// Creating links in the page, finding the links it already has, and the page
// information: what the user sees and what the page gains.
#include <gtest/gtest.h>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/error.h"
#include "tests/dialog/dialog_fixture.h"

namespace tervane::testing {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kShortcut = "[InternetShortcut]\r\nURL=http://news.example/?a=1&b=2\r\n";

class LinksTest : public DialogTest {
 protected:
  LinksTest() {
    files.AddFolder("C:\\web\\img", {"a.jpg", "b b.jpg", "R&D&copy.jpg", "#1.png"});
    files.AddFile("C:\\web\\img", "news.url", kShortcut);
    files.AddFile("C:\\web\\img", "broken.URL", "no section here");
    dialog.Show();
    OpenIn("C:\\web\\img");
    C().Filter[0]->SetValue(1);
    boxes.Clear();
  }
  std::vector<std::string>& Inserted() { return editor.page->inserted; }
};

TEST_F(LinksTest, EachModeWritesItsMarkupWithTheAddressFromThePageFolder) {
  struct Case {
    OptionButton* option;
    const char* markup;
  } cases[] = {
      {C().OptWithText, "<a href=\"img/a.jpg\">a.jpg</a><br>"},
      {C().OptWithImg, "<a href=\"img/a.jpg\"><img src=\"img/a.jpg\"></a>"},
      {C().OptImgOnly, "<img src=\"img/a.jpg\"><br>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.markup);
    Inserted().clear();
    c.option->SetValue(true);
    Select({"a.jpg"});
    dialog.OKButton_Click();
    EXPECT_EQ(Inserted(), Names{c.markup});
  }
}

TEST_F(LinksTest, NamesAreEscapedInTheMarkupAndEncodedInTheAddress) {
  Select({"b b.jpg", "R&D&copy.jpg", "#1.png"});
  dialog.OKButton_Click();
  EXPECT_EQ(
      Inserted(),
      (Names{"<a href=\"img/%231.png\">#1.png</a><br>", "<a href=\"img/b b.jpg\">b b.jpg</a><br>",
             "<a href=\"img/R&amp;D&amp;copy.jpg\">R&amp;D&amp;copy.jpg</a><br>"}));
}

// A shortcut whose address would run a script in the page is read as one
// without an address; the dialog says nothing more than for that.
TEST_F(LinksTest, ShortcutsLinkToTheirAddressInAnyModeOrLeaveAPlaceholder) {
  files.AddFile("C:\\web\\img", "script.url", "[InternetShortcut]\r\nURL= JavaScript:alert(1)\r\n");
  OpenIn("C:\\web\\img");
  C().OptWithImg->SetValue(true);
  Select({"news.url", "broken.URL", "script.url"});
  dialog.OKButton_Click();
  EXPECT_EQ(Inserted(), (Names{"<P>Unknown: \"img/broken.URL\"</p>",
                               "<a href=\"http://news.example/?a=1&amp;b=2\">news</a><br>",
                               "<P>Unknown: \"img/script.url\"</p>"}));
  EXPECT_EQ(TakeTexts(), Names{"アクティブなページ Top(URL:file:///C:/web/index.htm)にリンクを追加"
                               "\r\n\r\n3個のアイテムを追加しました。"});
  EXPECT_EQ(dialog.ScriptShortcuts(), Names{"script.url"});
}

TEST_F(LinksTest, SelectedFilesGoInInListOrderAndTheCountIsReported) {
  const std::size_t count = C().File1->ListCount();
  for (std::size_t i = count; i-- > 0;) C().File1->SetSelected(i, true);
  dialog.OKButton_Click();
  ASSERT_EQ(Inserted().size(), count);
  EXPECT_EQ(Inserted().front(), "<a href=\"img/%231.png\">#1.png</a><br>");
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].title, texts::kCompletionTitle);
  EXPECT_EQ(boxes.Shown()[0].icon, MsgIcon::kNone);
  EXPECT_NE(boxes.Shown()[0].text.find("\r\n\r\n6個のアイテムを追加しました。"), std::string::npos);
  // The dialog stays as it was.
  EXPECT_EQ(SelectedNames().size(), count);
  EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(LinksTest, NothingSelectedSaysSoAndLeavesThePageAlone) {
  dialog.OKButton_Click();
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text, texts::kNothingSelected);
  EXPECT_EQ(boxes.Shown()[0].title, texts::kAppTitle);
  EXPECT_EQ(boxes.Shown()[0].icon, MsgIcon::kNone);
  EXPECT_TRUE(Inserted().empty());
}

// Every handler that works on the page traps its failures the same way: one
// box, the stop icon, and what was done before the failure stays done.
TEST_F(LinksTest, FailuresOnThePageShowTheDialogFailureMessage) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::function<void()> press;
    std::size_t insertedAfter;
    std::size_t selectedAfter;
  } cases[] = {
      {"create with no page open",
       [&] {
         Select({"a.jpg"});
         editor.page.reset();
       },
       [&] { dialog.OKButton_Click(); }, 0, 1},
      {"create refused halfway",
       [&] {
         Select({"a.jpg", "b b.jpg"});
         editor.page->failInsertAt = 1;
       },
       [&] { dialog.OKButton_Click(); }, 1, 2},
      {"inversion with no page open", [&] { editor.page.reset(); },
       [&] { dialog.ReverseExistLink_Click(); }, 0, 0},
      {"inversion with an unreadable link",
       [&] {
         editor.page->links = {"img/a.jpg", "img/b b.jpg", "img/news.url"};
         editor.page->failLinkAt = 2;
       },
       [&] { dialog.ReverseExistLink_Click(); }, 0, 2},
      {"page information with no page open", [&] { editor.page.reset(); },
       [&] { dialog.GetPageInfo_Click(); }, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    editor.page = FakeEditor::Page{"file:///C:/web/index.htm", "Top", "u", {}, {}, {}, {}};
    for (std::size_t i = 0; i < C().File1->ListCount(); ++i) C().File1->SetSelected(i, false);
    c.arrange();
    c.press();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, texts::kDialogFailure);
    EXPECT_EQ(boxes.Shown()[0].title, texts::kAppTitle);
    EXPECT_EQ(boxes.Shown()[0].icon, MsgIcon::kStop);
    EXPECT_EQ(boxes.Shown()[0].buttons, MsgButtons::kOk);
    EXPECT_FALSE(dialog.LastFailure().empty());
    EXPECT_EQ(editor.page ? editor.page->inserted.size() : 0u, c.insertedAfter);
    EXPECT_EQ(SelectedNames().size(), c.selectedAfter);
    EXPECT_TRUE(dialog.IsLoaded());
    boxes.Clear();
  }
}

// Files that go away between the list's reading and the press of a button:
// what the page already holds stays, and the press does what it can.
TEST_F(LinksTest, FilesThatVanishAfterListingLoseNothing) {
  editor.page->inserted = {"<p>already there</p>"};
  Select({"a.jpg", "news.url"});
  files.RemoveFolder("C:\\web\\img");
  dialog.OKButton_Click();
  // The names were listed: their links are written; the shortcut's address
  // cannot be read any more, so it gets the placeholder.
  EXPECT_EQ(Inserted(), (Names{"<p>already there</p>", "<a href=\"img/a.jpg\">a.jpg</a><br>",
                               "<P>Unknown: \"img/news.url\"</p>"}));
  EXPECT_EQ(TakeTexts().size(), 1u);

  // Reading the vanished folder again fails where the user asked for it.
  EXPECT_THROW(C().Filter[3]->SetValue(1), Error);
  dialog.OKButton_Click();
  EXPECT_EQ(Inserted().front(), "<p>already there</p>");
  EXPECT_EQ(TakeTexts(), Names{std::string(texts::kDialogFailure)});
}

TEST_F(LinksTest, InversionTogglesTheLinkedFilesOnly) {
  // Listed: #1.png a.jpg b b.jpg broken.URL news.url R&D&copy.jpg
  struct Case {
    const char* what;
    Names links;
    Names selectedBefore;
    Names selectedAfter;
    const char* messageEnd;
  } cases[] = {
      {"two linked, none selected",
       {"img/a.jpg", "http://elsewhere/", "img/R&D&copy.jpg"},
       {},
       {"a.jpg", "R&D&copy.jpg"},
       "にリンクされているファイルが2個あります。"},
      {"two linked, all selected",
       {"img/a.jpg", "img/R&D&copy.jpg"},
       {"#1.png", "a.jpg", "b b.jpg", "broken.URL", "news.url", "R&D&copy.jpg"},
       {"#1.png", "b b.jpg", "broken.URL", "news.url"},
       "にリンクされているファイルが2個あります。"},
      {"three links to one file",
       {"img/a.jpg", "img/a.jpg", "img/a.jpg"},
       {},
       {"a.jpg"},
       "にリンクされているファイルが1個あります。"},
      {"no links", {}, {"a.jpg"}, {"a.jpg"}, "にはリンクは存在しません"},
      {"letter case differs", {"IMG/A.JPG", "img/A.jpg"}, {}, {}, "にはリンクは存在しません"},
      {"encoded names",
       {"img/%231.png", "img/#1.png"},
       {},
       {"#1.png"},
       "にリンクされているファイルが1個あります。"},
      {"shortcut by its address",
       {"img/news.url", "http://news.example/?a=1&b=2"},
       {},
       {"news.url"},
       "にリンクされているファイルが1個あります。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::size_t i = 0; i < C().File1->ListCount(); ++i) C().File1->SetSelected(i, false);
    Select(c.selectedBefore);
    editor.page->links = c.links;
    dialog.ReverseExistLink_Click();
    EXPECT_EQ(SelectedNames(), c.selectedAfter);
    const Names shown = TakeTexts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(
        shown[0],
        std::string("アクティブなページ Top(URL:file:///C:/web/index.htm)のリンクを検査\r\n\r\n"
                    "参照ディレクトリ img/") +
            c.messageEnd);
  }
}

TEST_F(LinksTest, InvertingTwiceRestoresTheSelection) {
  editor.page->links = {"img/a.jpg", "img/b b.jpg"};
  Select({"a.jpg", "news.url"});
  dialog.ReverseExistLink_Click();
  EXPECT_EQ(SelectedNames(), (Names{"b b.jpg", "news.url"}));
  dialog.ReverseExistLink_Click();
  EXPECT_EQ(SelectedNames(), (Names{"a.jpg", "news.url"}));
}

TEST_F(LinksTest, WithTheMaterialFolderAsBaseTheAddressesAreBareNames) {
  C().Location->SetText("C:\\web\\img");
  editor.page->links = {"a.jpg"};
  dialog.ReverseExistLink_Click();
  EXPECT_EQ(TakeTexts(),
            Names{"アクティブなページ Top(URL:file:///C:/web/index.htm)のリンクを検査"
                  "\r\n\r\n参照ディレクトリ にリンクされているファイルが1個あります。"});
}

TEST_F(LinksTest, PageInformationRereadsTheActivePage) {
  editor.page = FakeEditor::Page{
      "file:///C:/web/img/p.htm", "Other", "file:///C:/web/img/p.htm", {}, {}, {}, {}};
  dialog.GetPageInfo_Click();
  EXPECT_EQ(TakeTexts(), Names{"現在アクティブなページは次のものです。\r\nTITLE : Other\r\n"
                               "URL   : file:///C:/web/img/p.htm"});
  EXPECT_EQ(C().Location->Text(), "C:\\web\\img");
}

}  // namespace
}  // namespace tervane::testing
