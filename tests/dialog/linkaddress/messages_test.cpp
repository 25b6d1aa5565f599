#include "addin/dialog/linkaddress/messages.h"

#include <gtest/gtest.h>

namespace tervane {
namespace {

TEST(MessagesTest, Texts) {
  const struct {
    std::string_view what;
    std::string actual;
    std::string_view expected;
  } cases[] = {
      {"empty CD-ROM drive", DriveNotReadyMessage("E", 4),
       "ドライブ E: - CD-ROM\r\nドライブの準備ができていません。"},
      {"removable drive", DriveNotReadyMessage("A", 1),
       "ドライブ A: - リムーバブル ディスク\r\nドライブの準備ができていません。"},
      {"type code 6", DriveNotReadyMessage("G", 6),
       "ドライブ G: - \r\nドライブの準備ができていません。"},
      {"negative type code", DriveNotReadyMessage("G", -1),
       "ドライブ G: - \r\nドライブの準備ができていません。"},
      {"completion", CompletionMessage("Top", "file:///C:/web/index.htm", 12),
       "アクティブなページ Top(URL:file:///C:/web/index.htm)にリンクを追加\r\n\r\n"
       "12個のアイテムを追加しました。"},
      {"inspection with finds", InspectionMessage("Top", "file:///C:/w/i.htm", "img/", 2),
       "アクティブなページ Top(URL:file:///C:/w/i.htm)のリンクを検査\r\n\r\n"
       "参照ディレクトリ img/にリンクされているファイルが2個あります。"},
      {"inspection without finds", InspectionMessage("Top", "u", "", 0),
       "アクティブなページ Top(URL:u)のリンクを検査\r\n\r\n"
       "参照ディレクトリ にはリンクは存在しません"},
      {"page information", PageInfoMessage("Top", "file:///C:/web/index.htm"),
       "現在アクティブなページは次のものです。\r\nTITLE : Top\r\n"
       "URL   : file:///C:/web/index.htm"},
      {"error report", AddInErrorReport(91, "X"),
       "An error occurred in the COM add-in named 'Tervane ハイパーリンク一括作成'.\r\n"
       "Error #:91\r\nX"},
      {"negative error number, no description", AddInErrorReport(-2147467259, ""),
       "An error occurred in the COM add-in named 'Tervane ハイパーリンク一括作成'.\r\n"
       "Error #:-2147467259\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.actual, c.expected);
  }
}

}  // namespace
}  // namespace tervane
