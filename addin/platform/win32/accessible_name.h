// The name a screen reader announces for a control that has no label right
// before it in creation order (the order that also gives Tab its order), so
// that the system would otherwise take the name from the control before it.
#pragma once

#include <windows.h>

#include <string_view>

namespace tervane::win32 {

/// The drive list's name: its label stands before the folder list.
inline constexpr std::string_view kDrive1AccessibleName = "リンク先の素材フォルダのドライブ";

/// Names `control` (UTF-8) for screen readers with a dynamic annotation,
/// present from Windows XP on, for the life of the control. Needs COM on the
/// thread; without it, or where the annotation service is missing, the
/// control keeps the name the system gives it.
void SetAccessibleName(HWND control, std::string_view name) noexcept;

/// Takes the name away again, before the control is destroyed.
void ClearAccessibleName(HWND control) noexcept;

}  // namespace tervane::win32
