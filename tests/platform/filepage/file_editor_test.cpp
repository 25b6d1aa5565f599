#include "addin/platform/filepage/file_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/platform/error.h"
#include "tests/platform/filepage/page_files.h"

namespace tervane {
namespace {

class FileEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(folder_ / "page.htm",
              "<title>Top</title><body><a href=\"a&amp;b.jpg\">a</a><map><area href=\"m.htm\">"
              "</map></body>");
    page_ = FilePage::Open(folder_ / "page.htm");
  }

  std::unique_ptr<HtmlDocument> Document(FileEditor& editor) {
    auto window = editor.ActivePageWindow();
    if (window == nullptr) throw std::logic_error("no page window");
    return window->Document();
  }

  TemporaryFolder folder_;
  std::unique_ptr<FilePage> page_;
};

TEST_F(FileEditorTest, NoPageMeansNoActiveWindow) {
  FileEditor editor(nullptr);
  EXPECT_EQ(editor.ActivePageWindow(), nullptr);
  editor.SetActivePage(page_.get());
  EXPECT_NE(editor.ActivePageWindow(), nullptr);
  editor.SetActivePage(nullptr);
  EXPECT_EQ(editor.ActivePageWindow(), nullptr);
}

TEST_F(FileEditorTest, DocumentReportsThePage) {
  FileEditor editor(page_.get());
  const auto document = Document(editor);
  EXPECT_EQ(document->LocationHref(), "file://" + folder_.Path() + "/page.htm");
  EXPECT_EQ(document->URL(), document->LocationHref());
  EXPECT_EQ(document->Title(), "Top");
  const auto links = document->Links();
  ASSERT_EQ(links->Length(), 2u);
  EXPECT_EQ(links->Href(0), "a&b.jpg");
  EXPECT_EQ(links->Href(1), "m.htm");
  EXPECT_EQ(links->HrefAsWritten(0), std::nullopt);
  EXPECT_THROW(links->Href(2), Error);
}

TEST_F(FileEditorTest, BodyTakesMarkupAtItsEndInOrder) {
  FileEditor editor(page_.get());
  Document(editor)->Body()->InsertAdjacentHTML("BeforeEnd", "<a href=\"1.jpg\">1</a><br>\r\n");
  Document(editor)->Body()->InsertAdjacentHTML("BeforeEnd", "<a href=\"2.jpg\">2</a><br>\r\n");
  EXPECT_EQ(page_->Contents(),
            "<title>Top</title><body><a href=\"a&amp;b.jpg\">a</a><map><area href=\"m.htm\">"
            "</map><a href=\"1.jpg\">1</a><br>\r\n<a href=\"2.jpg\">2</a><br>\r\n</body>");
  const auto links = Document(editor)->Links();
  ASSERT_EQ(links->Length(), 4u);
  EXPECT_EQ(links->Href(3), "2.jpg");
}

TEST_F(FileEditorTest, OtherPositionsAreRefused) {
  FileEditor editor(page_.get());
  const std::string before = page_->Contents();
  for (const std::string where : {"AfterBegin", "BeforeBegin", "AfterEnd", "", "Before End"}) {
    try {
      Document(editor)->Body()->InsertAdjacentHTML(where, "<br>");
      ADD_FAILURE() << "inserted at \"" << where << "\"";
    } catch (const Error& error) {
      EXPECT_EQ(error.Number(), kErrInvalidCall);
    }
  }
  EXPECT_EQ(page_->Contents(), before);
}

TEST_F(FileEditorTest, RecordOnlyLeavesThePageAlone) {
  FileEditor editor(page_.get());
  editor.SetRecordOnly(true);
  const std::string before = page_->Contents();
  Document(editor)->Body()->InsertAdjacentHTML("BeforeEnd", "<a href=\"1.jpg\">1</a>");
  Document(editor)->Body()->InsertAdjacentHTML("BeforeEnd", "<img src=\"2.png\">");
  EXPECT_EQ(editor.RecordedInsertions(),
            (std::vector<std::string>{"<a href=\"1.jpg\">1</a>", "<img src=\"2.png\">"}));
  EXPECT_EQ(page_->Contents(), before);
  EXPECT_FALSE(page_->Modified());
  EXPECT_EQ(Document(editor)->Links()->Length(), 2u);
}

TEST(FileEditorRecordTest, RecordOnlyFailsWhereWritingWould) {
  TemporaryFolder folder;
  WriteFile(folder / "page.htm", "<meta charset=euc-jp><body></body>");
  const auto page = FilePage::Open(folder / "page.htm");
  FileEditor editor(page.get());
  editor.SetRecordOnly(true);
  auto body = editor.ActivePageWindow()->Document()->Body();
  EXPECT_THROW(body->InsertAdjacentHTML("BeforeEnd", "<a href=\"①.jpg\">"), Error);
  EXPECT_TRUE(editor.RecordedInsertions().empty());
}

}  // namespace
}  // namespace tervane
