// The i686 programs start on Windows XP SP3, so they import nothing that XP
// does not export by name. A function of a later Windows that is worth
// having is found here by name when it is first needed; every caller has a
// fallback for the systems that lack it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace tervane::win32 {

/// The address of `name` in the system library `module` (loaded from the
/// system folder if the process has not loaded it), or nullptr where the
/// running Windows lacks it, or while the process pretends to be on XP.
FARPROC LaterFunction(const wchar_t* module, const char* name) noexcept;

template <typename Function>
Function LaterFunction(const wchar_t* module, const char* name) noexcept {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(LaterFunction(module, name)));
}

/// For tests: while true, LaterFunction finds nothing, so every caller takes
/// the path it takes on Windows XP.
void PretendWindowsXp(bool pretend) noexcept;

/// Libraries loaded on demand come from the system folder, never from the
/// current folder that a program was started in: SetDefaultDllDirectories
/// where the system has it (Windows 8, and 7 and Vista with an update),
/// otherwise SetDllDirectory(""), which takes the current folder out of the
/// search (XP SP1 on).
void LimitLibrarySearchToSystemFolder() noexcept;

/// While it lives, a drive that cannot be read (an empty removable drive)
/// fails with an error instead of a system box that asks for a medium:
/// for this thread alone where the system has SetThreadErrorMode (Windows 7
/// on), for the process on older systems. The previous mode comes back at
/// the end.
class NoCriticalErrorBoxes {
 public:
  NoCriticalErrorBoxes() noexcept;
  ~NoCriticalErrorBoxes();
  NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
  NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

 private:
  using SetThreadErrorModeFn = BOOL(WINAPI*)(DWORD, LPDWORD);
  SetThreadErrorModeFn setThreadMode_;
  DWORD previous_ = 0;
};

/// While it lives, windows that this thread creates are drawn at the DPI of
/// the monitor they are on and told of a change (WM_DPICHANGED), whatever
/// the process declared (an add-in's host may declare nothing): per-monitor
/// awareness version 2 where the system has it (Windows 10 1703 on), version
/// 1 on Windows 10 1607; nothing changes on older systems, where a window
/// follows the process.
class PerMonitorDpiForThread {
 public:
  PerMonitorDpiForThread() noexcept;
  ~PerMonitorDpiForThread();
  PerMonitorDpiForThread(const PerMonitorDpiForThread&) = delete;
  PerMonitorDpiForThread& operator=(const PerMonitorDpiForThread&) = delete;

 private:
  using SetContextFn = HANDLE(WINAPI*)(HANDLE);
  SetContextFn setContext_;
  HANDLE previous_ = nullptr;
};

/// The DPI that `window` is drawn at: GetDpiForWindow where the system has
/// it (Windows 10 1607 on), otherwise the screen's.
int WindowDpi(HWND window) noexcept;

/// Milliseconds since the system started, without the 49.7-day wrap of
/// GetTickCount: GetTickCount64 where the system has it, otherwise
/// GetTickCount extended to 64 bits.
std::uint64_t TickCount64() noexcept;

/// Extends readings of a 32-bit millisecond counter that wraps every 2^32 ms
/// (49.7 days) to a 64-bit count, starting from a first reading. Readings
/// may come from several threads: one that is older than the newest seen
/// (by less than half a round) gives its own, earlier, count.
class TickExtender {
 public:
  explicit TickExtender(std::uint32_t first) noexcept : last_(first) {}
  std::uint64_t Extend(std::uint32_t reading) noexcept;

 private:
  std::atomic<std::uint64_t> last_;
};

}  // namespace tervane::win32
