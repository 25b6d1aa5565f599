// TervaneSetup.exe end to end under Wine: the real program, its real message
// boxes answered from outside as a user would, then what it left on disk and
// in the registry.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>

#include "addin/connection/registration_data.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "installer/installer_texts.h"
#include "tests/win/support/start_process.h"

namespace tervane::installer {
namespace {

namespace t = texts;
using testing::StartProcess;
using win32::Narrow;
using win32::Widen;

// Linux paths of the build, as Wine sees them on drive Z:.
std::wstring FromBuild(const char* path) {
  std::wstring windows = L"Z:" + Widen(path);
  for (wchar_t& c : windows) c = c == L'/' ? L'\\' : c;
  return windows;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring RoamingFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path);
  return path;
}

struct Box {
  std::string text;
  std::string title;
};

// Runs the installer, answering its boxes in turn from `answers` (IDYES,
// IDNO, IDCANCEL; OK boxes are closed with IDOK).
struct SetupRun {
  DWORD exitCode = 0;
  std::vector<Box> boxes;
};

struct BoxSearch {
  DWORD processId;
  HWND box;
};

// The first visible message box of the process; a named CALLBACK function,
// as a lambda does not convert to the stdcall WNDENUMPROC on i686.
BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t kind[16] = {};
  ::GetClassNameW(window, kind, 16);
  if (owner != search.processId || std::wstring(kind) != L"#32770" || !::IsWindowVisible(window)) {
    return TRUE;
  }
  search.box = window;
  return FALSE;
}

struct Started {
  win32::UniqueHandleOwner process;
  DWORD id = 0;
};

Started StartInstaller() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!StartProcess(L"\"" + FromBuild(TERVANE_SETUP) + L"\"", startup, false, nullptr, process)) {
    ADD_FAILURE() << "the installer did not start";
    return {};
  }
  ::CloseHandle(process.hThread);
  return {win32::UniqueHandleOwner(process.hProcess), process.dwProcessId};
}

HWND BoxOf(DWORD processId) {
  BoxSearch search{processId, nullptr};
  ::EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

// Answers the boxes of a started installer until it ends.
SetupRun AnswerUntilEnd(const Started& started, std::deque<int> answers) {
  SetupRun run;
  if (!started.process) return run;
  std::vector<HWND> answered;
  while (::WaitForSingleObject(started.process.get(), 50) == WAIT_TIMEOUT) {
    const HWND box = BoxOf(started.id);
    if (!box || std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    wchar_t title[256] = {};
    ::GetWindowTextW(box, title, 256);
    run.boxes.push_back({Narrow(text), Narrow(title)});
    answered.push_back(box);
    int answer = IDOK;
    if (::GetDlgItem(box, IDYES)) {
      answer = answers.empty() ? IDCANCEL : answers.front();
      if (!answers.empty()) answers.pop_front();
    }
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
  ::GetExitCodeProcess(started.process.get(), &run.exitCode);
  return run;
}

SetupRun RunInstaller(std::deque<int> answers) {
  return AnswerUntilEnd(StartInstaller(), std::move(answers));
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(key);
  return true;
}

std::wstring RegisteredPath() {
  const std::wstring key =
      L"Software\\Classes\\CLSID\\" + Widen(registration::kClassId) + L"\\InprocServer32";
  wchar_t path[1024] = {};
  DWORD size = sizeof path;
  ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size);
  return path;
}

class InstallerRunTest : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  void Clear() {
    if (KeyExists(registration::AddInKey())) RunInstaller({IDNO, IDYES, IDYES});
    for (const std::wstring& leftover : Leftovers()) ::DeleteFileW(leftover.c_str());
    ::DeleteFileW(target_.c_str());
    ::RemoveDirectoryW(target_.c_str());
    ::RemoveDirectoryW(addins_.c_str());
    ::DeleteFileW(addins_.c_str());
    ::RemoveDirectoryW(microsoft_.c_str());
  }
  void PlaceFile(const std::wstring& source) {
    ::CreateDirectoryW(microsoft_.c_str(), nullptr);
    ::CreateDirectoryW(addins_.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(source.c_str(), target_.c_str(), FALSE));
  }
  // The files matching `pattern` beside the target.
  std::vector<std::wstring> Beside(const wchar_t* pattern) const {
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW found{};
    win32::UniqueFind search(::FindFirstFileW((addins_ + L"\\" + pattern).c_str(), &found));
    if (search) {
      do paths.push_back(addins_ + L"\\" + found.cFileName);
      while (::FindNextFileW(search.get(), &found));
    }
    return paths;
  }
  // The copies that the installer moved aside beside the target.
  std::vector<std::wstring> AsideCopies() const { return Beside(L"~Tervane-*.old"); }
  // What runs before left beside the target: copies moved aside and
  // temporary files.
  std::vector<std::wstring> Leftovers() const {
    std::vector<std::wstring> paths = AsideCopies();
    for (std::wstring& path : Beside(L"~Tervane-*.tmp")) paths.push_back(std::move(path));
    return paths;
  }
  // A temporary file of a run that was ended, and a copy moved aside by a
  // run while the editor had it loaded.
  void PlaceLeftovers() const {
    for (const wchar_t* name : {L"\\~Tervane-4242-0.tmp", L"\\~Tervane-3.old"}) {
      win32::UniqueFile file(::CreateFileW((addins_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, 0, nullptr));
      EXPECT_TRUE(file) << Narrow(addins_ + name);
    }
  }
  static std::vector<std::string> Shown(const SetupRun& run) {
    std::vector<std::string> texts;
    for (const Box& box : run.boxes) {
      EXPECT_EQ(box.title, t::kTitle);
      texts.push_back(box.text);
    }
    return texts;
  }

  const std::wstring microsoft_ = RoamingFolder() + L"\\microsoft";
  const std::wstring addins_ = microsoft_ + L"\\addins";
  const std::wstring target_ = addins_ + L"\\Tervane.dll";
  const std::string library_ = ReadAll(FromBuild(TERVANE_LIBRARY));
};

using Texts = std::vector<std::string>;

TEST_F(InstallerRunTest, InstallsReinstallsAndUninstalls) {
  const SetupRun first = RunInstaller({IDYES});
  EXPECT_EQ(Shown(first), (Texts{std::string(t::kM2Install), std::string(t::kM6Installed)}));
  EXPECT_EQ(first.exitCode, 0u);
  EXPECT_EQ(ReadAll(target_), library_);
  EXPECT_EQ(RegisteredPath(), target_);
  EXPECT_TRUE(KeyExists(registration::AddInKey()));

  PlaceLeftovers();
  const SetupRun again = RunInstaller({IDYES});
  EXPECT_EQ(Shown(again), (Texts{std::string(t::kM3Reinstall), std::string(t::kM6Installed)}));
  EXPECT_EQ(ReadAll(target_), library_);
  EXPECT_EQ(Leftovers(), std::vector<std::wstring>{});

  const SetupRun keep = RunInstaller({IDNO, IDNO});
  EXPECT_EQ(Shown(keep), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall)}));
  EXPECT_EQ(keep.exitCode, 0u);
  EXPECT_EQ(ReadAll(target_), library_);
  EXPECT_TRUE(KeyExists(registration::AddInKey()));

  PlaceLeftovers();
  const SetupRun removal = RunInstaller({IDNO, IDYES});
  EXPECT_EQ(Shown(removal), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall),
                                   std::string(t::kM5Uninstalled)}));
  EXPECT_EQ(removal.exitCode, 0u);
  EXPECT_EQ(::GetFileAttributesW(target_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Leftovers(), std::vector<std::wstring>{});
  EXPECT_FALSE(KeyExists(registration::AddInKey()));
  EXPECT_FALSE(KeyExists("Software\\Classes\\" + std::string(registration::kProgId)));
}

TEST_F(InstallerRunTest, ANewerVersionIsOfferedForReinstallation) {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  PlaceFile(std::wstring(system) + L"\\kernel32.dll");  // version 5 and above
  const SetupRun run = RunInstaller({IDCANCEL});
  EXPECT_EQ(Shown(run), Texts{std::string(t::kM3Reinstall)});
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_NE(ReadAll(target_), library_);
}

TEST_F(InstallerRunTest, AFolderAtTheTargetStopsIt) {
  ::CreateDirectoryW(microsoft_.c_str(), nullptr);
  ::CreateDirectoryW(addins_.c_str(), nullptr);
  ::CreateDirectoryW(target_.c_str(), nullptr);
  const SetupRun run = RunInstaller({});
  EXPECT_EQ(Shown(run), (Texts{std::string(t::kM7TargetBlocked), std::string(t::kM9Failed)}));
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(-1));
}

// A file where the add-ins folder belongs: nothing can be written into it,
// and the second line says why in Japanese.
TEST_F(InstallerRunTest, AFileForTheFolderIsAReasonOfFailure) {
  ::CreateDirectoryW(microsoft_.c_str(), nullptr);
  win32::UniqueFile(
      ::CreateFileW(addins_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const SetupRun run = RunInstaller({IDYES});
  EXPECT_EQ(Shown(run), (Texts{std::string(t::kM2Install), std::string(t::kM9Failed) + "\r\n" +
                                                               std::string(t::kCannotWrite) +
                                                               " (フォルダが見つかりません。)"}));
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(-1));
}

TEST_F(InstallerRunTest, AFailedWriteKeepsTheOldCopy) {
  PlaceFile(FromBuild(TERVANE_LIBRARY));
  const std::string before = ReadAll(target_);
  {
    // Open without delete sharing: it can be neither replaced nor moved.
    win32::UniqueFile inUse(::CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    const SetupRun run = RunInstaller({IDYES});
    EXPECT_EQ(Shown(run), (Texts{std::string(t::kM3Reinstall), std::string(t::kInUse)}));
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(-1));
  }
  EXPECT_EQ(ReadAll(target_), before);
  WIN32_FIND_DATAW found{};
  win32::UniqueFind leftovers(::FindFirstFileW((addins_ + L"\\*.tmp").c_str(), &found));
  EXPECT_FALSE(leftovers) << "a temporary file was left beside the library";
}

// The editor has the library loaded: the installed copy goes aside and the
// new one takes its place; an uninstallation then names the copy it could not
// delete, and a run after the editor let it go deletes it.
TEST_F(InstallerRunTest, ALoadedCopyIsMovedAsideAndDeletedOnceReleased) {
  ASSERT_EQ(RunInstaller({IDYES}).exitCode, 0u);
  win32::UniqueModule editor(::LoadLibraryW(target_.c_str()));
  ASSERT_TRUE(editor);

  const SetupRun replace = RunInstaller({IDYES});
  EXPECT_EQ(Shown(replace),
            (Texts{std::string(t::kM3Reinstall),
                   std::string(t::kM6Installed) + "\r\n\r\n" + std::string(t::kRestartEditor)}));
  EXPECT_EQ(replace.exitCode, 0u);
  EXPECT_EQ(ReadAll(target_), library_);
  const std::vector<std::wstring> aside = AsideCopies();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(RegisteredPath(), target_);

  const SetupRun removal = RunInstaller({IDNO, IDYES});
  EXPECT_EQ(Shown(removal), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall),
                                   std::string(t::kLeftBehind) + "\r\n" + Narrow(aside[0])}));
  EXPECT_EQ(removal.exitCode, static_cast<DWORD>(-1));
  EXPECT_EQ(::GetFileAttributesW(target_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(KeyExists(registration::AddInKey()));

  editor.reset();
  EXPECT_EQ(RunInstaller({IDYES}).exitCode, 0u);
  EXPECT_TRUE(AsideCopies().empty());
}

// A copy that cannot unregister itself (here one without the entry point)
// is removed anyway, with the add-in's keys, once the user agrees.
TEST_F(InstallerRunTest, ADamagedCopyIsRemovedAnyway) {
  ASSERT_EQ(RunInstaller({IDYES}).exitCode, 0u);
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  PlaceFile(std::wstring(system) + L"\\kernel32.dll");
  const SetupRun run = RunInstaller({IDNO, IDYES, IDYES});
  EXPECT_EQ(Shown(run), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall),
                               std::string(t::kRemoveAnyway), std::string(t::kM5Uninstalled)}));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(::GetFileAttributesW(target_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(KeyExists(registration::AddInKey()));
  EXPECT_FALSE(KeyExists("Software\\Classes\\CLSID\\" + std::string(registration::kClassId)));
}

// While one installer waits for the user, a second one says so and ends.
// The first is waited for until it shows its box or ends, however long its
// start takes, and is answered whatever the checks find, so that no
// installer is left holding the single run.
TEST_F(InstallerRunTest, OnlyOneInstallerRunsAtATime) {
  const Started first = StartInstaller();
  ASSERT_TRUE(first.process);
  while (!BoxOf(first.id) && ::WaitForSingleObject(first.process.get(), 20) == WAIT_TIMEOUT) {
  }
  EXPECT_TRUE(BoxOf(first.id)) << "the first installer ended without a box";
  const SetupRun second = RunInstaller({});
  EXPECT_EQ(Shown(second), Texts{std::string(t::kAlreadyRunning)});
  EXPECT_EQ(second.exitCode, 0u);
  const SetupRun declined = AnswerUntilEnd(first, {IDNO});
  EXPECT_EQ(Shown(declined), Texts{std::string(t::kM2Install)});
}

}  // namespace
}  // namespace tervane::installer
