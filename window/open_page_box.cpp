#include "window/open_page_box.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include "addin/platform/error.h"
#include "addin/platform/win32/utf16.h"
#include "window/window_texts.h"

namespace tervane::window {

std::optional<std::string> AskForPage() {
  // Pairs of description and pattern, each ending in a NUL, and one more
  // NUL after the last pair.
  std::wstring filters;
  for (const std::string_view part : {texts::kPagesFilter, texts::kPagesPattern,
                                      texts::kAllFilesFilter, texts::kAllFilesPattern}) {
    filters += win32::Widen(part);
    filters += L'\0';
  }
  std::wstring file(32768, L'\0');
  OPENFILENAMEW box{};
  box.lStructSize = sizeof box;
  box.lpstrFilter = filters.c_str();
  box.nFilterIndex = 1;
  box.lpstrFile = file.data();
  box.nMaxFile = static_cast<DWORD>(file.size());
  box.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&box)) {
    if (const DWORD failure = ::CommDlgExtendedError(); failure != 0) {
      throw Error(kErrInvalidCall, "The file-open box failed (" + std::to_string(failure) + ")");
    }
    return std::nullopt;
  }
  file.resize(file.find(L'\0'));
  return win32::Narrow(file);
}

}  // namespace tervane::window
