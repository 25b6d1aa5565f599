// tervane.exe end to end under Wine: real folders on drive C: and on a second
// drive letter, Japanese names on the command line, and pages on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "addin/platform/filepage/page_lock.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "tests/support/page_encoding_rows.h"
#include "tests/win/support/folder_address_rows.h"
#include "tests/win/support/site_folder.h"
#include "tests/win/support/start_process.h"

namespace tervane::testing {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Widen;

struct Result {
  DWORD status = 0;
  std::string out;
  std::string err;
};

// Linux paths of the build, as Wine sees them on drive Z:.
std::wstring FromBuild(const char* path) {
  std::wstring windows = L"Z:" + Widen(path);
  for (wchar_t& c : windows) c = c == L'/' ? L'\\' : c;
  return windows;
}

// Quotes an argument so that CommandLineToArgvW reads it back unchanged.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::string ReadPipe(HANDLE pipe) {
  std::string text;
  char chunk[4096];
  DWORD count = 0;
  while (::ReadFile(pipe, chunk, sizeof chunk, &count, nullptr) && count > 0) {
    text.append(chunk, count);
  }
  std::erase(text, '\r');
  return text;
}

Result RunTervane(const std::vector<std::string>& arguments) {
  std::wstring command = Quoted(FromBuild(TERVANE_EXE));
  for (const std::string& argument : arguments) command += L" " + Quoted(Widen(argument));

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!::CreatePipe(&outRead, &outWrite, &inherit, 0) ||
      !::CreatePipe(&errRead, &errWrite, &inherit, 0)) {
    ADD_FAILURE() << "CreatePipe";
    return {};
  }
  win32::UniqueHandleOwner outR(outRead), outW(outWrite), errR(errRead), errW(errWrite);
  ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  if (!StartProcess(command, startup, true, nullptr, process)) {
    ADD_FAILURE() << "cannot start " << TERVANE_EXE;
    return {};
  }
  win32::UniqueHandleOwner processHandle(process.hProcess), thread(process.hThread);
  outW.reset();
  errW.reset();
  Result result;
  std::thread errReader([&] { result.err = ReadPipe(errRead); });
  result.out = ReadPipe(outRead);
  errReader.join();
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::GetExitCodeProcess(process.hProcess, &result.status);
  return result;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

char SecondDrive() {
  const char* letter = std::getenv("TERVANE_SECOND_DRIVE");
  return letter != nullptr && *letter != '\0' ? *letter : 0;
}

// The network share that with-second-drive gives the suite: \\tervane\<letter>.
std::string Share() {
  const char* share = std::getenv("TERVANE_SHARE");
  return share != nullptr ? share : "";
}

class TervaneExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    second_ = SecondDrive();
    ASSERT_NE(second_, 0) << "TERVANE_SECOND_DRIVE names no drive: run through with-second-drive";
    share_ = Share();
    ASSERT_FALSE(share_.empty()) << "TERVANE_SHARE names no share: run through with-second-drive";
    Made("C:\\tervane-exe");  // this suite's folders on C:
  }
  void TearDown() override {
    std::error_code ignored;
    for (const fs::path& made : made_) fs::remove_all(made, ignored);
  }
  fs::path Made(const std::string& path) {
    made_.push_back(Widen(path));
    return made_.back();
  }

  char second_ = 0;
  std::string share_;
  std::vector<fs::path> made_;
};

// Every row of the folder-address rules on real Windows paths: the page base
// location from --base or from the page's own address, and the material
// folder on the page's drive or another one.
TEST_F(TervaneExeTest, LinksCarryTheFolderAddressOfRealFolders) {
  const std::string d(1, second_);
  const std::string file = FolderAddressFile("tervane-exe");
  Made("C:\\" + file);
  Made(d + ":\\pics");
  struct Case {
    std::optional<std::string> base;
    std::string folder, address;
  };
  std::vector<Case> cases;
  for (const FolderAddressRow& row : FolderAddressRows("tervane-exe", second_)) {
    cases.push_back({row.location, row.folder, row.address});
  }
  // The base location made absolute, and taken from the page itself.
  const std::string web = "C:\\tervane-exe\\web";
  cases.push_back({web + "\\.\\docs\\..", web + "\\img", "img/"});
  cases.push_back({std::nullopt, web + "\\img", "img/"});  // web\page.htm
  cases.push_back({std::nullopt, web + "\\docs", "docs/"});
  WriteFile(Widen(web + "\\page.htm"), "<html><body></body></html>");
  for (const Case& c : cases) WriteFile(fs::path(Widen(c.folder)) / file);

  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"link",     web + "\\page.htm", file,
                                          "--folder", c.folder,           "--dry-run"};
    if (c.base) arguments.insert(arguments.end(), {"--base", *c.base});
    const Result r = RunTervane(arguments);
    EXPECT_EQ(r.status, 0u) << r.err;
    EXPECT_EQ(r.out, "<a href=\"" + c.address + file + "\">" + file + "</a><br>\n")
        << c.base.value_or("(page)") << " | " << c.folder;
  }
}

// Pages and folders on a network share work as on a drive: the page's
// address and base location come from the share, folders on one share link
// relatively, and a share against a drive gives the absolute address of
// either side.
TEST_F(TervaneExeTest, LinksBetweenPagesAndFoldersOnAShare) {
  const std::string s = share_;
  const std::string c = "C:\\tervane-exe\\local";
  struct Case {
    std::string page, folder, address, url;
  };
  // "file://tervane/d": the share as the host and path of an address.
  std::string shareAddress = "file:" + s;
  std::replace(shareAddress.begin(), shareAddress.end(), '\\', '/');
  const Case cases[] = {
      // both on the share
      {s + "\\web\\index.htm", s + "\\web\\img", "img/", shareAddress + "/web/index.htm"},
      {s + "\\web\\docs\\p.htm", s + "\\web\\img", "../img/", shareAddress + "/web/docs/p.htm"},
      {s + "\\top.htm", s + "\\web\\img", "web/img/", shareAddress + "/top.htm"},
      // the page on the share, the folder on a drive
      {s + "\\web\\index.htm", c + "\\img", "file:///C:/tervane-exe/local/img/",
       shareAddress + "/web/index.htm"},
      // the page on a drive, the folder on the share
      {c + "\\index.htm", s + "\\web\\img", "file:///" + shareAddress.substr(5) + "/web/img/",
       "file:///C:/tervane-exe/local/index.htm"},
  };
  Made(c);
  const std::string before = "<html><body></body></html>";
  for (const Case& k : cases) {
    WriteFile(fs::path(Widen(k.folder)) / L"a.jpg");
    WriteFile(Widen(k.page), before);
    const Result r = RunTervane({"link", k.page, "a.jpg", "--folder", k.folder});
    EXPECT_EQ(r.status, 0u) << k.page << " | " << k.folder << ": " << r.err;
    EXPECT_EQ(r.out, "アクティブなページ (URL:" + k.url +
                         ")にリンクを追加\n\n1個のアイテムを追加しました。\n")
        << k.page;
    EXPECT_EQ(ReadAll(Widen(k.page)),
              "<html><body><a href=\"" + k.address + "a.jpg\">a.jpg</a><br></body></html>")
        << k.page << " | " << k.folder;
    const Result listed = RunTervane({"list", "--folder", k.folder});
    EXPECT_EQ(listed.out, "a.jpg\n") << k.folder << ": " << listed.err;
  }
}

// Pages whose paths are around the system's limit of 260 characters: every
// length reads and writes alike (the temporary file beside the page adds
// to its length), and the file calls get them in the form that takes them.
TEST_F(TervaneExeTest, PagesOfAnyPathLengthAreReadAndWritten) {
  const std::string top = "C:\\tervane-exe\\long\\";  // 20 characters
  for (std::size_t length = 245; length <= 262; ++length) {
    const std::string folder = top + std::string(length - top.size() - 10, 'x');
    const std::string page = folder + "\\index.htm";
    ASSERT_EQ(page.size(), length);
    Made(top);
    WriteFile(Widen(page), "<html><body></body></html>");
    WriteFile(fs::path(Widen(folder)) / L"a.jpg");
    const Result checked = RunTervane({"check", page, "--folder", folder});
    EXPECT_EQ(checked.status, 0u) << length << ": " << checked.err;
    const Result linked = RunTervane({"link", page, "a.jpg", "--folder", folder});
    EXPECT_EQ(linked.status, 0u) << length << ": " << linked.err;
    EXPECT_EQ(ReadAll(Widen(page)), "<html><body><a href=\"a.jpg\">a.jpg</a><br></body></html>")
        << length;
    EXPECT_EQ(std::distance(fs::directory_iterator(Widen(folder)), {}), 2) << length;
    fs::remove_all(Widen(top));
  }

  const std::string longName(250, 'y');
  const struct {
    std::string path;
    std::wstring form;
  } forms[] = {
      {"C:\\web\\p.htm", L"C:\\web\\p.htm"},
      {"C:\\" + longName, L"\\\\?\\C:\\" + Widen(longName)},
      {"C:/web/../" + longName, L"\\\\?\\C:\\" + Widen(longName)},
      {share_ + "\\" + longName,
       L"\\\\?\\UNC\\" + Widen(share_.substr(2)) + L"\\" + Widen(longName)},
      {"\\\\?\\C:\\" + longName, L"\\\\?\\C:\\" + Widen(longName)},
  };
  for (const auto& f : forms) EXPECT_EQ(win32::FileApiPath(f.path), f.form) << f.path;
}

// A Shift_JIS page on the second drive, Japanese names on the command line
// and on disk: the links go in as Shift_JIS before the body's end tag, and
// the page's own folder gives their addresses. Every byte outside the
// insertion stays, the IBM and NEC-selected copies of one character (﨑 as
// FA B1 and ED 95) among them, and a link written with either copy names
// the file.
TEST_F(TervaneExeTest, WritesAndFindsJapaneseLinksInAShiftJisPage) {
  const std::string site = std::string(1, second_) + ":\\サイト";
  Made(site);
  const std::string page = site + "\\index.htm";
  const std::string head =
      "<html><head><meta "
      "charset=\"Shift_JIS\"><title>\x83\x65\x83\x58\x83\x67</title></head><body>";
  // 表, and a link to 写真/﨑.jpg in the NEC-selected copy with its text in the IBM one.
  const std::string body = "<p>\x95\x5c<a href=\"\x8e\xca\x90\x5e/\xED\x95.jpg\">\xFA\xB1</a></p>";
  WriteFile(Widen(page), head + body + "</body></html>");
  for (const char* name : {"髙.jpg", "冬.jpg", "﨑.jpg", "メモ.txt"}) {
    WriteFile(fs::path(Widen(site + "\\写真")) / Widen(name));
  }

  const Result listed =
      RunTervane({"list", "--folder", site + "\\写真", "--kinds", "jpeg,html-text"});
  EXPECT_EQ(listed.status, 0u) << listed.err;
  EXPECT_EQ(listed.out, "メモ.txt\n冬.jpg\n髙.jpg\n﨑.jpg\n");

  const Result linked = RunTervane({"link", page, "髙.jpg", "--folder", site + "\\写真"});
  ASSERT_EQ(linked.status, 0u) << linked.err;
  EXPECT_EQ(linked.out, "アクティブなページ テスト(URL:file:///" + std::string(1, second_) +
                            ":/サイト/index.htm)にリンクを追加\n\n1個のアイテムを追加しました。\n");
  // 写真/髙.jpg in Shift_JIS, as Windows writes it: the IBM copy, FB FC.
  const std::string markup = "<a href=\"\x8e\xca\x90\x5e/\xFB\xFC.jpg\">\xFB\xFC.jpg</a><br>";
  EXPECT_EQ(ReadAll(Widen(page)), head + body + markup + "</body></html>");

  const Result checked = RunTervane({"check", page, "--folder", site + "\\写真"});
  EXPECT_EQ(checked.status, 0u) << checked.err;
  EXPECT_EQ(checked.out.substr(0, checked.out.find("アクティブ")), "髙.jpg\n﨑.jpg\n");

  const Result missing =
      RunTervane({"link", page, "--folder", site + "\\写真", "--missing", "--dry-run"});
  EXPECT_EQ(missing.status, 0u) << missing.err;
  EXPECT_EQ(missing.out, "<a href=\"写真/冬.jpg\">冬.jpg</a><br>\n");
}

// Every encoding a browser reads, through the system's code pages: the page
// gains the four links, written as the page can hold them, and not one other
// byte changes; the links are found again. sync writes the same links in a
// block.
TEST_F(TervaneExeTest, PagesInEveryEncodingGainTheirLinksAndNothingElse) {
  const fs::path site = Made("C:\\tervane-exe\\encodings");
  for (const std::string& name : EncodingRowNames()) WriteFile(site / Widen(name));
  const std::string page = "C:\\tervane-exe\\encodings\\p.htm";
  for (const PageEncodingRow& row : PageEncodingRows()) {
    SCOPED_TRACE(row.what);
    WriteFile(Widen(page), row.page);
    const Result linked = RunTervane({"link", page});
    ASSERT_EQ(linked.status, 0u) << linked.err;
    EXPECT_EQ(ReadAll(Widen(page)), PageWithLinks(row));
    const Result checked = RunTervane({"check", page});
    EXPECT_NE(checked.out.find("ファイルが4個あります。"), std::string::npos) << checked.out;

    WriteFile(Widen(page), row.page);
    const Result synced = RunTervane({"sync", page, "--folder", "C:\\tervane-exe\\encodings"});
    ASSERT_EQ(synced.status, 0u) << synced.err;
    EXPECT_EQ(
        ReadAll(Widen(page)),
        PageWithBlock(row, "<!-- tervane folder=\".\" kinds=\"jpeg,gif-png\" mode=\"text\" -->"));
  }
}

TEST_F(TervaneExeTest, ReportsWhatCannotBeDone) {
  Made("C:\\tervane-exe\\web2");
  WriteFile(L"C:\\tervane-exe\\web2\\page.htm", "<html><body></body></html>");
  WriteFile(L"C:\\tervane-exe\\web2\\ro.htm", "<html><body></body></html>");
  WriteFile(L"C:\\tervane-exe\\web2\\a.jpg");
  ::SetFileAttributesW(L"C:\\tervane-exe\\web2\\ro.htm", FILE_ATTRIBUTE_READONLY);
  struct Case {
    std::vector<std::string> arguments;
    DWORD status;
    std::string errHas;
  };
  const Case cases[] = {
      {{"link", "C:\\tervane-exe\\web2\\none.htm", "--folder", "C:\\tervane-exe\\web2"},
       3,
       "cannot read"},
      {{"link", "C:\\tervane-exe\\web2", "--folder", "C:\\tervane-exe\\web2"}, 3, "folder"},
      {{"link", "C:\\tervane-exe\\web2\\page.htm", "--folder", "C:\\nowhere"},
       2,
       "folder not found"},
      {{"link", "C:\\tervane-exe\\web2\\page.htm", "b.jpg", "--folder", "C:\\tervane-exe\\web2"},
       2,
       "not listed: b.jpg"},
      {{"link", "C:\\tervane-exe\\web2\\ro.htm", "--folder", "C:\\tervane-exe\\web2"},
       3,
       "read-only"},
  };
  for (const Case& c : cases) {
    const Result r = RunTervane(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments[1] << ": " << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadAll(L"C:\\tervane-exe\\web2\\ro.htm"), "<html><body></body></html>");
  // Nothing but the files the test made is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(L"C:\\tervane-exe\\web2"), {}), 3);
  ::SetFileAttributesW(L"C:\\tervane-exe\\web2\\ro.htm", FILE_ATTRIBUTE_NORMAL);
}

// Runs started together on one page wait for each other: every link is
// there once, and every run says it was written.
TEST_F(TervaneExeTest, ParallelRunsOnOnePageLoseNoLink) {
  constexpr int kRuns = 10;
  Made("C:\\tervane-exe\\web3");
  WriteFile(L"C:\\tervane-exe\\web3\\page.htm", "<html><body></body></html>");
  for (int i = 0; i < kRuns; ++i)
    WriteFile(L"C:\\tervane-exe\\web3\\img\\f" + std::to_wstring(i) + L".jpg");
  std::vector<Result> results(kRuns);
  std::vector<std::thread> runs;
  for (int i = 0; i < kRuns; ++i) {
    runs.emplace_back([&results, i] {
      results[i] =
          RunTervane({"link", "C:\\tervane-exe\\web3\\page.htm", "f" + std::to_string(i) + ".jpg",
                      "--folder", "C:\\tervane-exe\\web3\\img"});
    });
  }
  for (std::thread& run : runs) run.join();
  const std::string page = ReadAll(L"C:\\tervane-exe\\web3\\page.htm");
  for (int i = 0; i < kRuns; ++i) {
    EXPECT_EQ(results[i].status, 0u) << i << ": " << results[i].err;
    const std::string link = "<a href=\"img/f" + std::to_string(i) + ".jpg\">";
    const std::size_t first = page.find(link);
    EXPECT_NE(first, std::string::npos) << link;
    EXPECT_EQ(page.find(link, first + 1), std::string::npos) << link;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(L"C:\\tervane-exe\\web3"), {}), 2);
}

// A page another process holds (another tervane, or a program that opened
// it sharing nothing) is not written: after the wait it was given, the run
// exits 3, says why and leaves the page alone. Reading it does not wait.
TEST_F(TervaneExeTest, AHeldPageIsNotWritten) {
  Made("C:\\tervane-exe\\web4");
  const std::string before = "<html><body></body></html>";
  WriteFile(L"C:\\tervane-exe\\web4\\page.htm", before);
  WriteFile(L"C:\\tervane-exe\\web4\\a.jpg");
  ::SetEnvironmentVariableW(L"TERVANE_LOCK_TIMEOUT_MS", L"300");
  const std::string page = "C:\\tervane-exe\\web4\\page.htm";
  const std::string reason = "tervane: cannot write " + page + ": another program is writing it";
  struct Case {
    const char* holder;
    std::vector<std::string> arguments;
    DWORD status;
    std::string errHas;
  };
  const Case cases[] = {
      {"tervane", {"link", page}, 3, reason},
      {"tervane", {"link", page, "--dry-run"}, 0, ""},
      {"tervane", {"check", page}, 0, ""},
      {"a program sharing nothing", {"link", page}, 3, reason},
  };
  for (const Case& c : cases) {
    std::optional<PageLock> lock;
    win32::UniqueFile exclusive;
    if (c.holder == std::string("tervane")) {
      lock.emplace(page, std::chrono::milliseconds(0));
    } else {
      exclusive.reset(::CreateFileW(L"C:\\tervane-exe\\web4\\page.htm",
                                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(exclusive);
    }
    const Result r = RunTervane(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.holder << ", " << c.arguments.back() << ": " << r.err;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
  }
  ::SetEnvironmentVariableW(L"TERVANE_LOCK_TIMEOUT_MS", nullptr);
  EXPECT_EQ(ReadAll(L"C:\\tervane-exe\\web4\\page.htm"), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(L"C:\\tervane-exe\\web4"), {}), 2);
}

// tervane.exe sync with the page and its material on drive C:, on the second
// drive, on a network share, on two drives (the material's folder named as
// the site), and a page in UTF-16: the block follows its folder, --check
// says when it does not, and --dry-run shows what a sync would change.
TEST_F(TervaneExeTest, SyncKeepsABlockInStepOnEitherDrive) {
  const std::string d(1, second_);
  struct Case {
    std::string site, folder, written, address;
    std::vector<std::string> siteArguments;  // a block's folder must lie in the site
    // UTF-16LE with its byte-order mark and CR LF line ends, as Notepad saves
    // "Unicode"; --dry-run shows the change in UTF-8 all the same.
    bool utf16 = false;
  };
  const Case cases[] = {
      {"C:\\tervane-exe-sync", "C:\\tervane-exe-sync\\img", "img", "img/", {}},
      {d + ":\\tervane-exe-sync", d + ":\\tervane-exe-sync\\写真", "写真", "写真/", {}},
      {share_ + "\\tervane-exe-sync3", share_ + "\\tervane-exe-sync3\\img", "img", "img/", {}},
      {"C:\\tervane-exe-sync2",
       d + ":\\tervane-exe-pics",
       d + ":/tervane-exe-pics",
       "file:///" + d + ":/tervane-exe-pics/",
       {"--site", d + ":\\tervane-exe-pics"}},
      {"C:\\tervane-exe-sync16", "C:\\tervane-exe-sync16\\写真", "写真", "写真/", {}, true},
  };
  for (const Case& c : cases) {
    Made(c.site);
    Made(c.folder);
    const std::string page = c.site + "\\page.htm";
    const fs::path folder(Widen(c.folder));
    const auto onDisk = [&](std::string text) {
      if (!c.utf16) return text;
      for (std::size_t at = text.find('\n'); at != text.npos; at = text.find('\n', at + 2)) {
        text.insert(at, 1, '\r');
      }
      const std::wstring wide = Widen(text);
      return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    };
    WriteFile(Widen(page),
              onDisk("<html><head><meta charset=\"utf-8\"></head><body>\n</body></html>"));
    WriteFile(folder / L"a.jpg");
    const auto block = [&](std::initializer_list<const char*> names) {
      std::string text =
          "<html><head><meta charset=\"utf-8\"></head><body>\n<!-- tervane folder=\"" + c.written +
          "\" kinds=\"jpeg,gif-png\" mode=\"text\" -->\n";
      for (const char* name : names) {
        text += "<a href=\"" + c.address + name + "\">" + name + "</a><br>\n";
      }
      return onDisk(text + "<!-- /tervane -->\n</body></html>");
    };
    const struct {
      std::function<void()> change;
      std::vector<std::string> arguments;
      DWORD status;
      std::string outHas;
      std::string page;
    } steps[] = {
        {[] {}, {"--folder", c.folder}, 0, "", block({"a.jpg"})},
        {[] {}, {"--check"}, 0, "", block({"a.jpg"})},
        {[&] { WriteFile(folder / L"b.png"); }, {"--check"}, 1, "", block({"a.jpg"})},
        {[] {}, {}, 0, "", block({"a.jpg", "b.png"})},
        {[&] { fs::remove(folder / L"a.jpg"); },
         {"--dry-run"},
         0,
         "-<a href=\"" + c.address + "a.jpg\">a.jpg</a><br>\n",
         block({"a.jpg", "b.png"})},
        {[] {}, {}, 0, "", block({"b.png"})},
    };
    for (const auto& step : steps) {
      step.change();
      std::vector<std::string> arguments = {"sync", page};
      arguments.insert(arguments.end(), step.arguments.begin(), step.arguments.end());
      arguments.insert(arguments.end(), c.siteArguments.begin(), c.siteArguments.end());
      const Result r = RunTervane(arguments);
      const std::string what = c.folder + " " + (step.arguments.empty() ? "" : step.arguments[0]);
      EXPECT_EQ(r.status, step.status) << what << ": " << r.err;
      EXPECT_NE(r.out.find(step.outHas), std::string::npos) << what << ": " << r.out;
      EXPECT_EQ(ReadAll(Widen(page)), step.page) << what;
    }
  }
  // A block on the share whose folder is gone is told as such, not as a
  // folder outside the site.
  const std::string page = share_ + "\\tervane-exe-sync3\\page.htm";
  WriteFile(Widen(page), "<body>\n<!-- tervane folder=\"gone\" -->\n<!-- /tervane -->\n</body>");
  const Result gone = RunTervane({"sync", page, "--check"});
  EXPECT_NE(gone.err.find("the block's folder does not exist: gone"), std::string::npos)
      << gone.err;
}

// Pictures' titles in the character sets their records use, and the orders
// that read the date taken and the modification time, as on Linux.
TEST_F(TervaneExeTest, PicturesKeepTheirTitlesAndOrder) {
  const fs::path folder = Made("C:\\tervane-exe-pics");
  fs::create_directories(folder);
  const std::string page = "C:\\tervane-exe-pics\\p.htm";
  WriteFile(Widen(page), "<html><body>\n</body></html>");
  const fs::path pictures = FromBuild(TERVANE_PICTURES);
  const auto year = [](int y) -> fs::file_time_type {
    const auto day = std::chrono::sys_days(std::chrono::year(y) / 1 / 1);
    return std::chrono::file_clock::from_sys(
        std::chrono::time_point_cast<std::chrono::seconds>(day));
  };
  const struct {
    const char* name;
    const char* seed;  // a picture exiftool wrote, from the fuzz corpus
    int modified;
  } files[] = {
      {"a.jpg", nullptr, 2030},
      {"b.jpg", "a9ab5d57007a31e4f69648224903418ec3620c90", 2035},  // XPTitle, taken 2020
      {"c.jpg", "9df6b74c311daac8d9e92734b7ddc350319e0f4c", 2031},  // IPTC in Shift_JIS
      {"d.jpg", "43cdb9be50eed7e8b68202513f3028b16384b4c0", 2032},  // IPTC in UTF-8
  };
  for (const auto& f : files) {
    if (f.seed) {
      fs::copy_file(pictures / f.seed, folder / f.name);
    } else {
      WriteFile(folder / f.name);
    }
    fs::last_write_time(folder / f.name, year(f.modified));
  }
  const struct {
    std::vector<std::string> options;
    std::string out;
  } cases[] = {
      {{"--mode", "image", "--alt"},
       "<img src=\"a.jpg\" alt=\"a\"><br>\n<img src=\"b.jpg\" alt=\"窓\"><br>\n"
       "<img src=\"c.jpg\" alt=\"桜\"><br>\n<img src=\"d.jpg\" alt=\"富士山\"><br>\n"},
      {{"--mode", "image", "--sort", "taken"},
       "<img src=\"b.jpg\"><br>\n<img src=\"a.jpg\"><br>\n"
       "<img src=\"c.jpg\"><br>\n<img src=\"d.jpg\"><br>\n"},
      {{"--mode", "image", "--sort", "modified", "--reverse"},
       "<img src=\"b.jpg\"><br>\n<img src=\"d.jpg\"><br>\n"
       "<img src=\"c.jpg\"><br>\n<img src=\"a.jpg\"><br>\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"link",    page,   "--folder", "C:\\tervane-exe-pics",
                                          "--kinds", "jpeg", "--dry-run"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const Result r = RunTervane(arguments);
    EXPECT_EQ(r.status, 0u) << r.err;
    EXPECT_EQ(r.out, c.out) << c.options.back();
  }
}

}  // namespace
}  // namespace tervane::testing
