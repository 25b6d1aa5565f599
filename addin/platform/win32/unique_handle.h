// One owner for every kind of Win32 handle: the handle is closed with its
// own function when the owner goes.
#pragma once

#include <windows.h>

#include <utility>

namespace tervane::win32 {

template <typename T, auto Close, auto Invalid = nullptr>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid(); }
  T release() { return std::exchange(handle_, Invalid()); }
  void reset(T handle = Invalid()) {
    if (handle_ != Invalid()) Close(handle_);
    handle_ = handle;
  }
  /// For functions that return a handle through a pointer.
  T* put() {
    reset();
    return &handle_;
  }

 private:
  T handle_ = Invalid();
};

namespace detail {
inline HANDLE NullHandle() { return nullptr; }
inline HANDLE InvalidFileHandle() { return INVALID_HANDLE_VALUE; }
template <typename T>
T Null() {
  return nullptr;
}
inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
}  // namespace detail

using UniqueHandleOwner = UniqueHandle<HANDLE, ::CloseHandle, detail::NullHandle>;
using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, detail::InvalidFileHandle>;
using UniqueFind = UniqueHandle<HANDLE, ::FindClose, detail::InvalidFileHandle>;
using UniqueKey = UniqueHandle<HKEY, detail::CloseKey, detail::Null<HKEY>>;
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow, detail::Null<HWND>>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon, detail::Null<HICON>>;
using UniqueFont = UniqueHandle<HFONT, detail::DeleteGdiObject, detail::Null<HFONT>>;
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary, detail::Null<HMODULE>>;
using UniqueHook = UniqueHandle<HHOOK, ::UnhookWindowsHookEx, detail::Null<HHOOK>>;

}  // namespace tervane::win32
