// The Japanese user's guide quotes the add-in's and the installer's texts as
// the user sees them. These tests hold the guide to the program: whatever it
// quotes must be a text the program shows, every message, caption and title
// the program shows must be in it, and its markup and address examples must
// be what link creation writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "addin/connection/modSharedCode.h"
#include "addin/dialog/linkaddress/folder_address.h"
#include "addin/dialog/linkaddress/markup.h"
#include "addin/dialog/linkaddress/messages.h"
#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/system_error_texts.h"
#include "installer/installer_texts.h"
#include "tests/docs/guide_reader.h"
#include "window/window_texts.h"

namespace tervane {
namespace {

namespace setup = installer::texts;
namespace program = window::texts;

// The guide's notation for the variable parts of a message.
constexpr std::string_view kTitle = "＜タイトル＞";
constexpr std::string_view kUrl = "＜URL＞";
constexpr std::string_view kCount = "＜件数＞";
constexpr std::string_view kFolderAddress = "＜フォルダのアドレス＞";
constexpr std::string_view kDriveLetter = "＜ドライブ文字＞";
constexpr std::string_view kDriveType = "＜ドライブの種類＞";
constexpr std::string_view kPath = "＜パス＞";
constexpr std::string_view kErrorNumber = "＜エラー番号＞";
constexpr std::string_view kErrorDescription = "＜エラーの説明＞";
constexpr std::string_view kFileName = "＜ファイル名＞";
constexpr std::string_view kReason = "＜理由＞";
constexpr std::string_view kEncoding = "＜文字コード＞";

// Numbers that no message holds by itself, passed to the builders and then
// replaced by their placeholders.
constexpr std::size_t kSomeCount = 987654321;
constexpr std::int32_t kSomeErrorNumber = -2147467259;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string WithCountPlaceholder(std::string message) {
  return ReplaceAll(std::move(message), std::to_string(kSomeCount), kCount);
}

struct ProgramText {
  std::string_view what;
  std::string text;
  bool caption = false;  // also quoted as shown, without its "&"
  bool required = true;  // the guide must show it
};

std::vector<ProgramText> ProgramTexts() {
  namespace t = texts;
  // The guide names the drive type by a placeholder; any code with a text stands for all.
  const std::string driveNotReady =
      ReplaceAll(DriveNotReadyMessage(kDriveLetter, 4), t::kDriveTypes[4], kDriveType);
  std::vector<ProgramText> all = {
      {"no page open", std::string(t::kNoPageOpen)},
      {"dialog failure", std::string(t::kDialogFailure)},
      {"nothing selected", std::string(t::kNothingSelected)},
      {"completion", WithCountPlaceholder(CompletionMessage(kTitle, kUrl, kSomeCount))},
      {"inspection with links",
       WithCountPlaceholder(InspectionMessage(kTitle, kUrl, kFolderAddress, kSomeCount))},
      {"inspection without links", InspectionMessage(kTitle, kUrl, kFolderAddress, 0)},
      {"page information", PageInfoMessage(kTitle, kUrl)},
      {"drive not ready", driveNotReady},
      {"error report", ReplaceAll(AddInErrorReport(kSomeErrorNumber, kErrorDescription),
                                  std::to_string(kSomeErrorNumber), kErrorNumber)},
      {"installer: no shell allocator", std::string(setup::kM1NoShellAllocator)},
      {"installer: install?", std::string(setup::kM2Install)},
      {"installer: reinstall?", std::string(setup::kM3Reinstall)},
      {"installer: uninstall?", std::string(setup::kM4Uninstall)},
      {"installer: uninstalled", std::string(setup::kM5Uninstalled)},
      {"installer: installed", std::string(setup::kM6Installed)},
      {"installer: target blocked", std::string(setup::kM7TargetBlocked)},
      // The installer appends the target file's path.
      {"installer: no folder", std::string(setup::kM8NoFolder) + std::string(kPath)},
      {"installer: failed", std::string(setup::kM9Failed)},
      {"installer: failed with its reason",
       std::string(setup::kM9Failed) + "\r\n" + std::string(kReason)},
      {"installer: no application data", std::string(setup::kNoApplicationData)},
      {"installer: no carried library", std::string(setup::kNoCarriedLibrary)},
      {"installer: cannot write", std::string(setup::kCannotWrite)},
      {"installer: no regsvr32", std::string(setup::kNoRegistrationTool)},
      {"installer: registration failed", std::string(setup::kRegistrationFailed)},
      {"installer: keys stay", std::string(setup::kKeysStay)},
      {"installer: already running", std::string(setup::kAlreadyRunning)},
      {"installer: in use", std::string(setup::kInUse)},
      {"installer: installed beside a loaded copy",
       std::string(setup::kM6Installed) + "\r\n\r\n" + std::string(setup::kRestartEditor)},
      {"installer: remove anyway?", std::string(setup::kRemoveAnyway)},
      // The installer appends the paths it could not delete, one a line.
      {"installer: left behind", std::string(setup::kLeftBehind) + "\r\n" + std::string(kPath)},
      {"TervaneWindow.exe: title bar", program::WindowCaption(kFileName)},
      {"TervaneWindow.exe: page that cannot be opened",
       program::CannotOpenPageMessage(kPath, kReason)},
      {"TervaneWindow.exe: pages filter", std::string(program::kPagesFilter)},
      {"TervaneWindow.exe: all files filter", std::string(program::kAllFilesFilter)},
      {"application title", std::string(t::kAppTitle)},
      {"completion title", std::string(t::kCompletionTitle)},
      {"error report title", std::string(t::kErrorReportTitle)},
      {"installer title", std::string(setup::kTitle)},
      {"Tools menu command", std::string(modSharedCode::kButtonCaption), true},
      {"Label4", std::string(t::kLabel4), true},
      {"LocationSetBtn", std::string(t::kLocationSetBtn), true},
      {"GetPageInfo", std::string(t::kGetPageInfo), true},
      // The version notice changes with every release; the guide need not quote it.
      {"Label5", std::string(t::kLabel5), false, false},
      {"Label1", std::string(t::kLabel1), true},
      {"Label2", std::string(t::kLabel2), true},
      {"Label3", std::string(t::kLabel3), true},
      {"ImgModeFrame", std::string(t::kImgModeFrame), true},
      {"OptWithText", std::string(t::kOptWithText), true},
      {"OptWithImg", std::string(t::kOptWithImg), true},
      {"OptImgOnly", std::string(t::kOptImgOnly), true},
      {"SelectAllBtn", std::string(t::kSelectAllBtn), true},
      {"ReverseExistLink", std::string(t::kReverseExistLink), true},
      {"OKButton", std::string(t::kOKButton), true},
      {"CancelButton", std::string(t::kCancelButton), true},
      {"Location's text before a page gives one", std::string(t::kLocationInitial), false, false},
  };
  for (const std::string_view caption : t::kFilterCaptions) {
    all.push_back({"Filter", std::string(caption), true});
  }
  all.push_back({"TervaneWindow.exe: failure with its reason",
                 std::string(t::kDialogFailure) + "\r\n" + std::string(kReason)});
  for (const program::ReasonText& reason : program::kReasons) {
    all.push_back(
        {"TervaneWindow.exe: reason", ReplaceAll(std::string(reason.japanese), "{}", kEncoding)});
  }
  for (const texts::SystemErrorText& cause : texts::kSystemErrorTexts) {
    all.push_back({"system cause", std::string(cause.japanese)});
  }
  for (const std::string_view type : t::kDriveTypes) {
    all.push_back({"drive type", std::string(type)});
  }
  return all;
}

// A caption as the window shows it: "&X" marks X, "&&" is one "&".
std::string AsShown(std::string_view caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && ++i == caption.size()) break;
    shown += caption[i];
  }
  return shown;
}

// What the guide may put in 「」: a program text of one line, any line of a
// longer message, and a caption as shown.
std::set<std::string> OneLineForms(const std::vector<ProgramText>& texts) {
  std::set<std::string> forms;
  for (const ProgramText& t : texts) {
    std::size_t from = 0;
    for (std::size_t end = t.text.find("\r\n"); end != std::string::npos;
         end = t.text.find("\r\n", from)) {
      forms.insert(t.text.substr(from, end - from));
      from = end + 2;
    }
    forms.insert(t.text.substr(from));
    if (t.caption) forms.insert(AsShown(t.text));
  }
  forms.erase("");
  return forms;
}

std::string Shown(std::string_view message) {
  return ReplaceAll(std::string(message), "\r\n", "\n");
}

class GuideTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string markdown = guide::ReadFile(TERVANE_GUIDE);
    ASSERT_FALSE(markdown.empty()) << "cannot read " << TERVANE_GUIDE;
    guide_ = guide::ReadGuide(markdown);
  }
  static guide::Guide guide_;
};
guide::Guide GuideTest::guide_;

TEST_F(GuideTest, QuotesOnlyTheProgramsOwnTexts) {
  const std::vector<ProgramText> texts = ProgramTexts();
  const std::set<std::string> oneLine = OneLineForms(texts);
  std::set<std::string> whole;
  for (const ProgramText& t : texts) whole.insert(t.text);

  // A misspelt placeholder makes a quote that is no program text as well.
  for (const guide::Quote& q : guide_.quoted) {
    EXPECT_TRUE(oneLine.contains(q.text))
        << "guide line " << q.line << ": 「" << q.text << "」 is none of the program's texts";
  }
  for (const guide::Quote& q : guide_.messages) {
    EXPECT_TRUE(whole.contains(q.text)) << "guide line " << q.line << ": the message\n"
                                        << Shown(q.text) << "\nis none of the program's messages";
  }
}

TEST_F(GuideTest, ShowsEveryMessageCaptionAndTitle) {
  std::set<std::string> shown;
  for (const guide::Quote& q : guide_.quoted) shown.insert(q.text);
  for (const guide::Quote& q : guide_.messages) shown.insert(q.text);
  for (const ProgramText& t : ProgramTexts()) {
    if (!t.required) continue;
    EXPECT_TRUE(shown.contains(t.text))
        << "the guide never quotes the " << t.what << " as the program "
        << (t.caption ? "defines it" : "shows it") << ":\n"
        << Shown(t.text);
  }
}

// The guide's example: a page in C:\web, the material folder C:\web\img.
TEST_F(GuideTest, MarkupExamplesAreWhatCreationWrites) {
  const std::string folder = FolderAddress("C:\\web\\img", "C:\\web", PathStyle::kWindows);
  const std::string picture = LinkAddress(folder, "umi.jpg");
  const std::string examples[] = {
      FileMarkup(DisplayMode::kTextLink, picture, "umi.jpg"),
      FileMarkup(DisplayMode::kImageLink, picture, "umi.jpg"),
      FileMarkup(DisplayMode::kImageOnly, picture, "umi.jpg"),
      ShortcutMarkup("https://www.example.jp/news/", "news.url"),
      PlaceholderMarkup(LinkAddress(folder, "empty.url")),
  };
  std::set<std::string> inGuide;
  for (const guide::Quote& m : guide_.markup) {
    inGuide.insert(m.text);
    EXPECT_TRUE(std::ranges::find(examples, m.text) != std::end(examples))
        << "guide line " << m.line << ": " << m.text << " is not what creation writes";
  }
  for (const std::string& e : examples) {
    EXPECT_TRUE(inGuide.contains(e)) << "the guide does not show the markup " << e;
  }
}

// Rows of the address table: page base location (a code span, or （空） for
// none), material folder, and the address of a.jpg in it.
TEST_F(GuideTest, AddressExamplesFollowTheAddressRules) {
  const auto code = [](std::string_view cell) {
    return cell.size() >= 2 && cell.front() == '`' && cell.back() == '`'
               ? std::optional<std::string>(cell.substr(1, cell.size() - 2))
               : std::nullopt;
  };
  int rows = 0;
  for (const std::vector<std::string>& cells : guide_.tableRows) {
    if (cells.size() != 3 || !code(cells[1]) || !code(cells[2])) continue;
    const std::optional<std::string> location =
        cells[0] == "（空）" ? std::optional<std::string>("") : code(cells[0]);
    if (!location) continue;
    ++rows;
    EXPECT_EQ(LinkAddress(FolderAddress(*code(cells[1]), *location, PathStyle::kWindows), "a.jpg"),
              *code(cells[2]))
        << "page base location '" << *location << "', material folder " << cells[1];
  }
  EXPECT_GT(rows, 0) << "the guide has no address examples";
}

}  // namespace
}  // namespace tervane
