// TervaneWindow.exe end to end under Wine: the program started on a page in
// a fresh site folder, its window driven with window messages from this
// process, its boxes answered by a watcher, and the page read back from disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "addin/dialog/linkaddress/texts.h"
#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "tests/support/page_encoding_rows.h"
#include "tests/win/support/box_watcher.h"
#include "tests/win/support/link_builder_window.h"
#include "tests/win/support/site_folder.h"
#include "tests/win/support/start_process.h"
#include "tests/win/support/window_picture.h"

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Widen;

const std::string kTitle(texts::kAppTitle);

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(Narrow(entry.path().filename().wstring()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

class TervaneWindowTest : public ::testing::Test,
                          protected SiteFolder,
                          protected LinkBuilderWindow {
 protected:
  ~TervaneWindowTest() override {
    watcher_.reset();
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.get(), 99);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }

  /// Starts the program with `arguments` (none when empty), in `folder`
  /// (this program's current folder when empty); with `waitForWindow`,
  /// until its link builder window is open.
  void Start(const std::vector<fs::path>& arguments, bool waitForWindow = true,
             const fs::path& folder = {}) {
    std::wstring exe = L"Z:" + Widen(TERVANE_WINDOW_EXE);
    for (wchar_t& c : exe) c = c == L'/' ? L'\\' : c;
    std::wstring command = L"\"" + exe + L"\"";
    for (const fs::path& argument : arguments) command += L" \"" + argument.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        StartProcess(command, startup, false, folder.empty() ? nullptr : folder.c_str(), process))
        << TERVANE_WINDOW_EXE;
    process_.reset(process.hProcess);
    ::CloseHandle(process.hThread);
    thread_ = process.dwThreadId;
    watcher_.emplace(thread_);
    if (!waitForWindow) return;
    for (int i = 0; i < 1000 && Open(thread_).empty(); ++i) ::Sleep(20);
    Attach(thread_);
    ASSERT_NE(window_, nullptr) << "no window";
  }

  /// The program's exit status, once it has ended (99 when it did not).
  DWORD Finish() {
    if (::WaitForSingleObject(process_.get(), 20000) != WAIT_OBJECT_0) return 99;
    DWORD status = 0;
    ::GetExitCodeProcess(process_.get(), &status);
    return status;
  }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
  }

  /// A key posted to the control with the focus, so that it passes through
  /// the program's own message loop as a key the user presses does.
  void PostKey(WPARAM key, bool alt = false) const {
    const LPARAM down = 1 | (alt ? (1 << 29) : 0) |
                        static_cast<LPARAM>(::MapVirtualKeyW(static_cast<UINT>(key), 0) << 16);
    HWND target = Focus();
    ::PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
    ::PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, down | (3u << 30));
    PumpMessages(200);
  }

  fs::path Page() const { return site_ / "index.htm"; }

  win32::UniqueHandleOwner process_;
  DWORD thread_ = 0;
  std::optional<BoxWatcher> watcher_;
};

// The reasons the program gives on the second line of its failure box.
const std::string kHeld = "ほかのプログラムがページを使用しているため、書き込めません。";
const std::string kReadOnly = "ページが読み取り専用です。";
const std::string kEndsInComment =
    "ページがコメントやスクリプトなどの途中で終わっているため、リンクを追加できません。";

std::string Failure(const std::string& reason) {
  return std::string(texts::kDialogFailure) + "\r\n" + reason;
}

std::string Completion(const std::string& url, int count) {
  return "アクティブなページ (URL:" + url + ")にリンクを追加\r\n\r\n" + std::to_string(count) +
         "個のアイテムを追加しました。";
}

// How the page is named on the command line.
enum class Named { kAbsolute, kWithSlashes, kRelative };

// Each press of 作成 writes the page before it reports: the links go in
// before the body's end tag, in the page's own encoding, and every other
// byte stays. However the page was named, the title bar shows its file
// name, and the page read and written is the one named, also after the
// folder list has made another folder current.
TEST_F(TervaneWindowTest, CreatingWritesThePageBeforeReporting) {
  WriteFile(site_ / "img" / L"夏.jpg");
  struct Case {
    std::string what, head, tail;
    std::vector<std::string> names;
    std::string inserted;  // by one press, in the page's encoding
    Named named = Named::kAbsolute;
  };
  const Case cases[] = {
      {"UTF-8 with a byte-order mark and CRLF",
       "\xEF\xBB\xBF<!-- </body> -->\r\n<html><body>\r\n<p>表</p>\r\n",
       "</body>\r\n</html>\r\n",
       {"a.jpg", "c.gif"},
       R"(<a href="img/a.jpg">a.jpg</a><br><a href="img/c.gif">c.gif</a><br>)"},
      {"Shift_JIS",
       "<html><head><meta charset=\"Shift_JIS\"></head><body><p>\x95\x5c</p>",
       "</body></html>",
       {"夏.jpg"},
       "<a href=\"img/\x89\xc4.jpg\">\x89\xc4.jpg</a><br>"},
      {"named with / separators",
       "<html><body>",
       "</body></html>",
       {"a.jpg"},
       R"(<a href="img/a.jpg">a.jpg</a><br>)",
       Named::kWithSlashes},
      {"named relative to the current folder",
       "<html><body>",
       "</body></html>",
       {"a.jpg"},
       R"(<a href="img/a.jpg">a.jpg</a><br>)",
       Named::kRelative},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(Page(), c.head + c.tail);
    std::wstring slashes = Page().wstring();
    std::replace(slashes.begin(), slashes.end(), L'\\', L'/');
    switch (c.named) {
      case Named::kAbsolute:
        Start({Page()});
        break;
      case Named::kWithSlashes:
        Start({slashes});
        break;
      case Named::kRelative:
        Start({Page().filename()}, true, site_);
        break;
    }
    EXPECT_EQ(Caption(window_), kTitle + " - index.htm");
    EXPECT_EQ(Caption(Control("Location")), siteText_);
    OpenFolder("img");
    SelectFiles(c.names);
    Click("OKButton");
    EXPECT_EQ(ReadAll(Page()), c.head + c.inserted + c.tail);
    Click("OKButton");
    EXPECT_EQ(ReadAll(Page()), c.head + c.inserted + c.inserted + c.tail);
    const auto count = static_cast<int>(c.names.size());
    EXPECT_EQ(watcher_->Take(),
              (std::vector<ShownBox>{{"Tervane 処理完了", Completion(PageAddress(), count)},
                                     {"Tervane 処理完了", Completion(PageAddress(), count)}}));
    Click("CancelButton");
    EXPECT_EQ(Finish(), 0u);
    EXPECT_EQ(FolderEntries(site_), (std::vector<std::string>{"img", "index.htm", "top.jpg"}));
  }
}

// Names a page's encoding cannot hold (café and ☃ in Shift_JIS or EUC-JP)
// go in as references and UTF-8 percent-encoding, in a page declared every
// way or not at all, and 反転 finds them all again.
TEST_F(TervaneWindowTest, NamesThePageCannotHoldAreWrittenSoThatBrowsersReadThem) {
  for (const std::string& name : EncodingRowNames()) WriteFile(site_ / Widen(name));
  for (const PageEncodingRow& row : PageEncodingRows()) {
    if (!row.what.starts_with("Shift_JIS") && !row.what.starts_with("EUC-JP") &&
        !row.what.starts_with("utf-8")) {
      continue;
    }
    SCOPED_TRACE(row.what);
    WriteFile(Page(), row.page);
    Start({Page()});
    SelectFiles(EncodingRowNames());
    Click("OKButton");
    EXPECT_EQ(ReadAll(Page()), PageWithLinks(row));
    Click("Reverse");
    const std::vector<ShownBox> boxes = watcher_->Take();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text.find("4個のアイテムを追加しました。"), std::string::npos)
        << boxes[0].text;
    EXPECT_NE(boxes[1].text.find("ファイルが4個あります。"), std::string::npos) << boxes[1].text;
    Click("CancelButton");
    EXPECT_EQ(Finish(), 0u);
  }
}

TEST_F(TervaneWindowTest, InversionReadsThePageAsAnotherProgramLeftIt) {
  Start({Page()});
  OpenFolder("img");
  WriteFile(Page(), R"(<html><body><a href="img/B.png">B</a><a href="img/a.jpg">a</a></body>)");
  Click("Reverse");
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png"}));
  EXPECT_EQ(watcher_->Take(),
            (std::vector<ShownBox>{{kTitle, "アクティブなページ (URL:" + PageAddress() +
                                                ")のリンクを検査\r\n\r\n参照ディレクトリ "
                                                "img/にリンクされているファイルが2個あります。"}}));
  // The close box ends the program as キャンセル does.
  ::SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(Finish(), 0u);
}

// A page gone at the press is no open page; one that another writer holds
// is not written after the wait. Either way the page and its folder stay.
TEST_F(TervaneWindowTest, APageGoneOrHeldIsNotWritten) {
  const std::string before = ReadAll(Page());
  ::SetEnvironmentVariableW(L"TERVANE_LOCK_TIMEOUT_MS", L"300");
  Start({Page()});
  ::SetEnvironmentVariableW(L"TERVANE_LOCK_TIMEOUT_MS", nullptr);
  OpenFolder("img");
  SelectFiles({"a.jpg"});
  {
    const PageLock held(Narrow(Page().wstring()), std::chrono::milliseconds(0));
    Click("OKButton");
  }
  EXPECT_EQ(ReadAll(Page()), before);
  fs::remove(Page());
  for (const char* button : {"OKButton", "Reverse", "GetPageInfo"}) Click(button);
  EXPECT_EQ(watcher_->Take(), (std::vector<ShownBox>{{kTitle, Failure(kHeld)},
                                                     {kTitle, std::string(texts::kNoPageOpen)},
                                                     {kTitle, std::string(texts::kNoPageOpen)},
                                                     {kTitle, std::string(texts::kNoPageOpen)}}));
  EXPECT_EQ(FolderEntries(site_), (std::vector<std::string>{"img", "top.jpg"}));
  EXPECT_EQ(SelectedFiles(), std::vector<std::string>{"a.jpg"});
  Click("CancelButton");
  EXPECT_EQ(Finish(), 0u);
}

// A press that fails says why on a second line, and the page stays.
TEST_F(TervaneWindowTest, AFailedPressSaysWhy) {
  struct Case {
    std::string what, page, reason;
    bool readOnly;
  };
  const Case cases[] = {
      {"read-only", "<html><body></body></html>", kReadOnly, true},
      {"ends inside a comment", "<html><body><p>x<!-- to be continued", kEndsInComment, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(Page(), c.page);
    if (c.readOnly) ::SetFileAttributesW(Page().c_str(), FILE_ATTRIBUTE_READONLY);
    Start({Page()});
    OpenFolder("img");
    SelectFiles({"a.jpg"});
    Click("OKButton");
    EXPECT_EQ(watcher_->Take(), (std::vector<ShownBox>{{kTitle, Failure(c.reason)}}));
    ::SetFileAttributesW(Page().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAll(Page()), c.page);
    Click("CancelButton");
    EXPECT_EQ(Finish(), 0u);
  }
}

// Pages on a network share, and a page whose path is longer than the
// system's 260 characters: the page base location and the folder lists
// start at the page's folder, and 作成 links relatively and writes the page.
TEST_F(TervaneWindowTest, PagesOnASharedFolderOrALongPath) {
  const char* share = std::getenv("TERVANE_SHARE");
  ASSERT_TRUE(share != nullptr && *share != '\0') << "run through with-second-drive";
  const std::string s = share;
  std::string shareAddress = "file:" + s;
  std::replace(shareAddress.begin(), shareAddress.end(), '\\', '/');
  const std::string longFolder = siteText_ + "\\" + std::string(262 - siteText_.size() - 11, 'x');
  struct Case {
    std::string page, location, url, entry;  // entry: the folder list's current one
    std::vector<std::string> open;
    std::string address;
  };
  const Case cases[] = {
      {s + "\\web\\index.htm",
       s + "\\web",
       shareAddress + "/web/index.htm",
       "web",
       {"img"},
       "img/"},
      {s + "\\top.htm", s, shareAddress + "/top.htm", s + "\\", {"web", "img"}, "web/img/"},
      {longFolder + "\\index.htm", longFolder, "", longFolder.substr(siteText_.size() + 1), {}, ""},
  };
  WriteFile(fs::path(Widen(s)) / L"web" / L"img" / L"a.jpg");
  WriteFile(fs::path(Widen(longFolder)) / L"a.jpg");
  const std::string before = "<html><body></body></html>";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    const fs::path page = Widen(c.page);
    WriteFile(page, before);
    Start({page});
    EXPECT_EQ(Caption(Control("Location")), c.location);
    EXPECT_EQ(Dir1Entry(), c.entry);
    for (const std::string& folder : c.open) OpenFolder(folder);
    SelectFiles({"a.jpg"});
    Click("OKButton");
    EXPECT_EQ(ReadAll(page),
              "<html><body><a href=\"" + c.address + "a.jpg\">a.jpg</a><br></body></html>");
    const std::vector<ShownBox> shown = watcher_->Take();
    ASSERT_EQ(shown.size(), 1u);
    if (!c.url.empty()) {
      EXPECT_EQ(shown[0], (ShownBox{"Tervane 処理完了", Completion(c.url, 1)}));
    }
    Click("CancelButton");
    EXPECT_EQ(Finish(), 0u);
  }
  std::error_code ignored;
  fs::remove_all(Widen(longFolder), ignored);
}

TEST_F(TervaneWindowTest, WithoutAPageItAsksForOne) {
  Start({}, false);
  watcher_.reset();  // the open box is answered here
  std::vector<HWND> boxes;
  for (int i = 0; i < 1000 && boxes.empty(); ++i) {
    ::Sleep(20);
    boxes = VisibleWindows(thread_, true);
  }
  ASSERT_EQ(boxes.size(), 1u);
  HWND filters = ::GetDlgItem(boxes.front(), 0x470);  // the box's file type list
  EXPECT_EQ(Items(filters),
            (std::vector<std::string>{"HTML ファイル (*.htm;*.html)", "すべてのファイル (*.*)"}));
  EXPECT_EQ(::SendMessageW(filters, CB_GETCURSEL, 0, 0), 0) << "the box starts on pages";
  ::PostMessageW(boxes.front(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(Finish(), 0u);
  EXPECT_TRUE(Open(thread_).empty());
}

TEST_F(TervaneWindowTest, APageThatCannotBeOpenedIsRefused) {
  WriteFile(site_ / "binary.htm", std::string("<html>\0<body></body>", 20));
  WriteFile(site_ / "huge.htm", std::string(33u << 20, ' '));
  WriteFile(site_ / "iso2022.htm", "<meta charset=\"iso-2022-jp\"><body></body>");
  WriteFile(site_ / "held.htm", "<body></body>");
  // Open without sharing, as some editors keep the page they show.
  const win32::UniqueFile held(::CreateFileW((site_ / "held.htm").c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  struct Case {
    std::string name, reason;
  };
  const Case cases[] = {
      {"none.htm", "ファイルが見つかりません。"},
      {"held.htm", "ほかのプログラムがファイルを使用しています。"},
      {"binary.htm", "テキストのページではありません。"},
      {"huge.htm", "ページが大きすぎます (32 MB まで読み込めます)。"},
      {"img", "ページではなくフォルダです。"},
      {"iso2022.htm",
       "ページの文字コード ISO-2022-JP "
       "には、ページのほかの部分の読み方を変えずに書き加えられません。"},
  };
  const std::vector<std::string> entries = FolderEntries(site_);
  for (const Case& c : cases) {
    const fs::path page = site_ / Widen(c.name);
    const std::string before = fs::is_regular_file(page) ? ReadAll(page) : "";
    Start({page}, false);
    EXPECT_EQ(Finish(), 3u) << c.name;
    const std::vector<ShownBox> shown = watcher_->Take();
    ASSERT_EQ(shown.size(), 1u) << c.name;
    const std::string lead = "次のページを開けません。\r\n" + Narrow(page.wstring()) + "\r\n";
    EXPECT_EQ(shown[0].title, kTitle);
    EXPECT_EQ(shown[0].text.substr(0, lead.size()), lead) << c.name;
    EXPECT_EQ(shown[0].text.substr(lead.size()), c.reason);
    // The path once, on its own line.
    EXPECT_EQ(shown[0].text.find(Narrow(page.wstring()), lead.size()), std::string::npos)
        << shown[0].text;
    if (fs::is_regular_file(page)) {
      EXPECT_EQ(ReadAll(page), before) << c.name;
    }
  }
  EXPECT_EQ(FolderEntries(site_), entries);
}

// Keys posted to the window go through the program's own message loop: Tab
// moves on, an arrow key chooses the next option, an access key presses its
// button, and Enter and Esc press nothing.
TEST_F(TervaneWindowTest, KeysWorkThroughTheProgramsLoop) {
  Start({Page()});
  OpenFolder("img");
  ::SendMessageW(window_, WM_ACTIVATE, WA_ACTIVE, 0);
  PumpMessages(100);
  ASSERT_EQ(Focus(), Control("Location"));
  PostKey(VK_TAB);
  EXPECT_EQ(Focus(), Control("LocationSetBtn"));
  PostKey('D', true);
  EXPECT_EQ(Focus(), Control("OptWithText"));
  PostKey(VK_DOWN);
  EXPECT_EQ(Focus(), Control("OptWithImg"));
  EXPECT_EQ(::SendMessageW(Control("OptWithImg"), BM_GETCHECK, 0, 0), BST_CHECKED);
  PostKey('X', true);
  EXPECT_EQ(SelectedFiles(), (std::vector<std::string>{"a.jpg", "B.png", "c.gif"}));
  PostKey(VK_RETURN);
  PostKey(VK_ESCAPE);
  EXPECT_TRUE(watcher_->Take().empty());
  EXPECT_EQ(ReadAll(Page()), "<html><body></body></html>");
  Click("CancelButton");
  EXPECT_EQ(Finish(), 0u);
}

TEST_F(TervaneWindowTest, Screenshot) {
  const char* file = std::getenv("TERVANE_SCREEN_FILE");
  if (!file || !*file) GTEST_SKIP() << "TERVANE_SCREEN_FILE is not set";
  // The user's message font, this many pixels high, for this session only.
  if (const char* pixels = std::getenv("TERVANE_MESSAGE_FONT_PIXELS"); pixels && *pixels) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    metrics.lfMessageFont.lfHeight = -std::atoi(pixels);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  }
  // A site where a user keeps one, for the guide's picture.
  const SiteFolder home(L"C:\\Users\\Public\\Documents\\ホームページ");
  Start({home.site_ / L"index.htm"});
  // Laid out at the screen's DPI: the client area is the layout's size.
  if (const char* dpi = std::getenv("TERVANE_EXPECT_DPI"); dpi != nullptr && *dpi != '\0') {
    RECT client{};
    ::GetClientRect(window_, &client);
    EXPECT_EQ(client.right, ::MulDiv(8325, std::atoi(dpi), 1440)) << dpi << " DPI";
    EXPECT_EQ(client.bottom, ::MulDiv(5265, std::atoi(dpi), 1440)) << dpi << " DPI";
  }
  OpenFolder("img");
  Click("Filter0");
  SelectFiles({"a.jpg", "c.gif"});
  ::SetWindowPos(window_, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  ::SetForegroundWindow(window_);
  ::RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  ::Sleep(500);
  EXPECT_TRUE(WriteBitmap(window_, Widen(file)));
  Click("CancelButton");
  EXPECT_EQ(Finish(), 0u);
}

}  // namespace
}  // namespace tervane::testing
