// Each function of a later Windows that the programs look up, and the
// fallback they take on Windows XP, where the lookup finds nothing: both ways
// must do the same job. Wine has every later function, so XP is played by
// PretendWindowsXp.
#include "addin/platform/win32/later_functions.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addin/platform/win32/utf16.h"
#include "installer/win32_installer_platform.h"

namespace tervane::win32 {
namespace {

struct System {
  const char* name;
  bool xp;
};
const System kSystems[] = {{"this Windows", false}, {"Windows XP", true}};

class AsOn {
 public:
  explicit AsOn(const System& system) { PretendWindowsXp(system.xp); }
  ~AsOn() { PretendWindowsXp(false); }
};

TEST(LaterFunctions, AreFoundByNameUnlessTheSystemLacksThem) {
  EXPECT_NE(LaterFunction(L"kernel32.dll", "GetTickCount64"), nullptr);
  EXPECT_EQ(LaterFunction(L"kernel32.dll", "NoSuchFunctionAnywhere"), nullptr);
  EXPECT_EQ(LaterFunction(L"no_such_library.dll", "GetTickCount64"), nullptr);
  // A system library that the process has not loaded yet.
  EXPECT_NE(LaterFunction(L"wintrust.dll", "WinVerifyTrust"), nullptr);
  const AsOn xp({"Windows XP", true});
  EXPECT_EQ(LaterFunction(L"kernel32.dll", "GetTickCount64"), nullptr);
}

TEST(TickExtender, CountsOnAcrossTheWrapOfTheMillisecondCounter) {
  struct Case {
    const char* what;
    std::uint32_t first;
    std::vector<std::uint32_t> readings;
    std::vector<std::uint64_t> counts;
  };
  const Case cases[] = {
      {"steady", 1000, {1000, 1500, 90000}, {1000, 1500, 90000}},
      {"past the wrap",
       0xFFFFFF00u,
       {0xFFFFFFFFu, 5, 0x7FFFFFFFu},
       {0xFFFFFFFFull, 0x100000005ull, 0x17FFFFFFFull}},
      {"twice round",
       0xFFFFFFF0u,
       {16, 0x80000000u, 0xFFFFFFF0u, 3},
       {0x100000010ull, 0x180000000ull, 0x1FFFFFFF0ull, 0x200000003ull}},
      {"an older reading from another thread",
       0xFFFFFFF0u,
       {10, 0xFFFFFFF8u, 12},
       {0x10000000Aull, 0xFFFFFFF8ull, 0x10000000Cull}},
      {"started after 30 days", 2592000000u, {2592000001u}, {2592000001ull}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TickExtender ticks(c.first);
    std::vector<std::uint64_t> counts;
    for (std::uint32_t reading : c.readings) counts.push_back(ticks.Extend(reading));
    EXPECT_EQ(counts, c.counts);
  }
}

// The process's error mode; SetErrorMode is the only reader XP has.
UINT ProcessErrorMode() {
  const UINT mode = ::SetErrorMode(0);
  ::SetErrorMode(mode);
  return mode;
}

DWORD ThreadErrorMode() {
  using GetThreadErrorModeFn = DWORD(WINAPI*)();
  const auto get = LaterFunction<GetThreadErrorModeFn>(L"kernel32.dll", "GetThreadErrorMode");
  return get ? get() : 0;
}

TEST(NoCriticalErrorBoxes, SilencesDriveErrorsWhileItLivesThenRestoresTheMode) {
  for (const System& system : kSystems) {
    SCOPED_TRACE(system.name);
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const UINT processBefore = ProcessErrorMode();
    const DWORD threadBefore = ThreadErrorMode();
    {
      const AsOn on(system);
      const NoCriticalErrorBoxes quiet;
      EXPECT_TRUE((ProcessErrorMode() | ThreadErrorMode()) & SEM_FAILCRITICALERRORS);
      // On XP the process keeps the rest of its mode.
      if (system.xp) {
        EXPECT_TRUE(ProcessErrorMode() & SEM_NOGPFAULTERRORBOX);
      }
    }
    EXPECT_EQ(ProcessErrorMode(), processBefore);
    EXPECT_EQ(ThreadErrorMode(), threadBefore);
  }
  ::SetErrorMode(0);
}

TEST(ApplicationDataFolder, IsTheRoamingFolderOnEverySystem) {
  wchar_t roaming[MAX_PATH] = {};
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, roaming), S_OK);
  for (const System& system : kSystems) {
    SCOPED_TRACE(system.name);
    const AsOn on(system);
    installer::Win32InstallerPlatform platform;
    ASSERT_TRUE(platform.AcquireShellAllocator());
    EXPECT_EQ(platform.ApplicationDataFolder(), Narrow(roaming));
  }
}

// A library that lies only in the current folder, as a planted one would.
class CurrentFolderLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"tervane-dll-search";
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    // The build's path, as Wine sees it on drive Z:.
    std::wstring built = L"Z:" + Widen(TERVANE_PLANTED_LIBRARY);
    for (wchar_t& c : built) c = c == L'/' ? L'\\' : c;
    ASSERT_TRUE(::CopyFileW(built.c_str(), (folder_ + L"\\" + kName).c_str(), FALSE));
    ::GetCurrentDirectoryW(MAX_PATH, previous_);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder_.c_str()));
  }
  void TearDown() override {
    ::SetCurrentDirectoryW(previous_);
    ::DeleteFileW((folder_ + L"\\" + kName).c_str());
    ::RemoveDirectoryW(folder_.c_str());
  }
  static bool Loads() {
    HMODULE library = ::LoadLibraryW(kName);
    if (library) ::FreeLibrary(library);
    return library != nullptr;
  }

  static constexpr const wchar_t* kName = L"tervane_planted.dll";
  std::wstring folder_;
  wchar_t previous_[MAX_PATH] = {};
};

// The process cannot go back to searching the current folder once
// SetDefaultDllDirectories has run, so XP's way is tried first.
TEST_F(CurrentFolderLibrary, IsNotLoadedOnceTheSearchIsLimited) {
  ASSERT_TRUE(Loads()) << "the current folder is not searched even before";
  for (const System& system : kSystems) {
    SCOPED_TRACE(system.name);
    const AsOn on(system);
    LimitLibrarySearchToSystemFolder();
    EXPECT_FALSE(Loads());
    EXPECT_NE(::LoadLibraryW(L"wintrust.dll"), nullptr);
  }
}

}  // namespace
}  // namespace tervane::win32
