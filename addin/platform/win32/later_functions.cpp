#include "addin/platform/win32/later_functions.h"

#include <atomic>

namespace tervane::win32 {
namespace {

std::atomic<bool> pretendXp{false};

}  // namespace

FARPROC LaterFunction(const wchar_t* module, const char* name) noexcept {
  if (pretendXp.load()) return nullptr;
  HMODULE library = ::GetModuleHandleW(module);
  if (!library) {
    // A system library that the process has not loaded yet: only from the
    // system folder, and kept loaded for the life of the process, as the
    // address handed out must stay valid.
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + ::lstrlenW(module) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    ::lstrcpyW(path + length + 1, module);
    library = ::LoadLibraryW(path);
    if (!library) return nullptr;
  }
  return ::GetProcAddress(library, name);
}

void PretendWindowsXp(bool pretend) noexcept { pretendXp.store(pretend); }

void LimitLibrarySearchToSystemFolder() noexcept {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault =
      LaterFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (!setDefault || !setDefault(kSearchSystem32)) ::SetDllDirectoryW(L"");
}

NoCriticalErrorBoxes::NoCriticalErrorBoxes() noexcept
    : setThreadMode_(LaterFunction<SetThreadErrorModeFn>(L"kernel32.dll", "SetThreadErrorMode")) {
  if (setThreadMode_) {
    setThreadMode_(SEM_FAILCRITICALERRORS, &previous_);
  } else {
    previous_ = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    ::SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
  }
}

NoCriticalErrorBoxes::~NoCriticalErrorBoxes() {
  if (setThreadMode_) {
    setThreadMode_(previous_, nullptr);
  } else {
    ::SetErrorMode(previous_);
  }
}

PerMonitorDpiForThread::PerMonitorDpiForThread() noexcept
    : setContext_(LaterFunction<SetContextFn>(L"user32.dll", "SetThreadDpiAwarenessContext")) {
  if (!setContext_) return;
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
  for (const INT_PTR context : {-4, -3}) {
    previous_ = setContext_(reinterpret_cast<HANDLE>(context));
    if (previous_) return;
  }
}

PerMonitorDpiForThread::~PerMonitorDpiForThread() {
  if (setContext_ && previous_) setContext_(previous_);
}

int WindowDpi(HWND window) noexcept {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto forWindow = LaterFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (forWindow) {
    if (const UINT dpi = forWindow(window); dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

std::uint64_t TickExtender::Extend(std::uint32_t reading) noexcept {
  std::uint64_t last = last_.load();
  for (;;) {
    // How far the counter moved since the newest reading, either way, modulo
    // its wrap.
    const auto step = static_cast<std::int32_t>(reading - static_cast<std::uint32_t>(last));
    const std::uint64_t extended = last + static_cast<std::uint64_t>(std::int64_t{step});
    if (step < 0 || last_.compare_exchange_weak(last, extended)) return extended;
  }
}

namespace {

// Set up when the module starts, not in function-local statics: their
// guards may wait through the thread library, which calls TickCount64.
using GetTickCount64Fn = ULONGLONG(WINAPI*)();
const GetTickCount64Fn laterTickCount =
    LaterFunction<GetTickCount64Fn>(L"kernel32.dll", "GetTickCount64");
TickExtender xpTickCount(::GetTickCount());

}  // namespace

std::uint64_t TickCount64() noexcept {
  return laterTickCount ? laterTickCount() : xpTickCount.Extend(::GetTickCount());
}

}  // namespace tervane::win32
