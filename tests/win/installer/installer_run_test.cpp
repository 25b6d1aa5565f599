// TervaneSetup.exe end to end under Wine: the real program, its real message
// boxes answered from outside as a user would, then what it left on disk and
// in the registry.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>

#include "addin/connection/registration_data.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"
#include "installer/installer_texts.h"

namespace tervane::installer {
namespace {

namespace t = texts;
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

SetupRun RunInstaller(std::deque<int> answers) {
  std::wstring command = L"\"" + FromBuild(TERVANE_SETUP) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    ADD_FAILURE() << "the installer did not start";
    return {};
  }
  const win32::UniqueHandleOwner processHandle(process.hProcess);
  const win32::UniqueHandleOwner threadHandle(process.hThread);

  SetupRun run;
  std::vector<HWND> answered;
  while (::WaitForSingleObject(processHandle.get(), 50) == WAIT_TIMEOUT) {
    BoxSearch search{process.dwProcessId, nullptr};
    ::EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.box || std::find(answered.begin(), answered.end(), search.box) != answered.end()) {
      continue;
    }
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(search.box, 0xFFFF, text, 2048);
    wchar_t title[256] = {};
    ::GetWindowTextW(search.box, title, 256);
    run.boxes.push_back({Narrow(text), Narrow(title)});
    answered.push_back(search.box);
    int answer = IDOK;
    if (::GetDlgItem(search.box, IDYES)) {
      answer = answers.empty() ? IDCANCEL : answers.front();
      if (!answers.empty()) answers.pop_front();
    }
    ::PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
  }
  ::GetExitCodeProcess(processHandle.get(), &run.exitCode);
  return run;
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
    if (KeyExists(registration::AddInKey())) RunInstaller({IDNO, IDYES});
    ::DeleteFileW(target_.c_str());
    ::RemoveDirectoryW(target_.c_str());
    ::RemoveDirectoryW(addins_.c_str());
    ::RemoveDirectoryW(microsoft_.c_str());
  }
  void PlaceFile(const std::wstring& source) {
    ::CreateDirectoryW(microsoft_.c_str(), nullptr);
    ::CreateDirectoryW(addins_.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(source.c_str(), target_.c_str(), FALSE));
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

  const SetupRun again = RunInstaller({IDYES});
  EXPECT_EQ(Shown(again), (Texts{std::string(t::kM3Reinstall), std::string(t::kM6Installed)}));
  EXPECT_EQ(ReadAll(target_), library_);

  const SetupRun keep = RunInstaller({IDNO, IDNO});
  EXPECT_EQ(Shown(keep), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall)}));
  EXPECT_EQ(keep.exitCode, 0u);
  EXPECT_EQ(ReadAll(target_), library_);
  EXPECT_TRUE(KeyExists(registration::AddInKey()));

  const SetupRun removal = RunInstaller({IDNO, IDYES});
  EXPECT_EQ(Shown(removal), (Texts{std::string(t::kM3Reinstall), std::string(t::kM4Uninstall),
                                   std::string(t::kM5Uninstalled)}));
  EXPECT_EQ(removal.exitCode, 0u);
  EXPECT_EQ(::GetFileAttributesW(target_.c_str()), INVALID_FILE_ATTRIBUTES);
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

TEST_F(InstallerRunTest, AFailedWriteKeepsTheOldCopy) {
  PlaceFile(FromBuild(TERVANE_LIBRARY));
  const std::string before = ReadAll(target_);
  {
    // The editor has the library open: it cannot be replaced.
    win32::UniqueFile inUse(::CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    const SetupRun run = RunInstaller({IDYES});
    EXPECT_EQ(Shown(run), (Texts{std::string(t::kM3Reinstall), std::string(t::kM9Failed)}));
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(-1));
  }
  EXPECT_EQ(ReadAll(target_), before);
  WIN32_FIND_DATAW found{};
  win32::UniqueFind leftovers(::FindFirstFileW((addins_ + L"\\*.tmp").c_str(), &found));
  EXPECT_FALSE(leftovers) << "a temporary file was left beside the library";
}

}  // namespace
}  // namespace tervane::installer
