// Windows: the new contents go to a hidden temporary file beside the page,
// which ReplaceFileW then puts in the page's place, keeping the page's
// attributes, security and creation time, as saving in place would.
#include <windows.h>

#include <algorithm>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw Error(kErrPathFileAccess, "Cannot write " + path + ": " + reason);
}

[[noreturn]] void Fail(const std::string& path, const std::string& step, DWORD cause) {
  Fail(path, step + ": " + win32::SystemMessage(HRESULT_FROM_WIN32(cause)));
}

// The file that becomes the page; deleted again unless it replaced it.
class TemporaryFile {
 public:
  TemporaryFile(const std::wstring& target, const std::string& page) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
    const std::wstring name = slash == std::wstring::npos ? target : target.substr(slash + 1);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      path_ = folder + L"." + name.substr(0, 200) + L"." +
              std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
      file_.reset(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
      if (file_) return;
      if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    Fail(page, "cannot create a temporary file beside it", ::GetLastError());
  }
  ~TemporaryFile() {
    file_.reset();
    if (!replaced_) ::DeleteFileW(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  HANDLE Handle() const { return file_.get(); }
  void Close() { file_.reset(); }
  const std::wstring& Path() const { return path_; }
  void MarkReplaced() { replaced_ = true; }

 private:
  std::wstring path_;
  win32::UniqueFile file_;
  bool replaced_ = false;
};

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::wstring target = win32::FileApiPath(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) Fail(path, "cannot inspect it", ::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) Fail(path, "it is a folder");
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) Fail(path, "it is read-only");

  TemporaryFile temporary(target, path);
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(temporary.Handle(), bytes.data(), chunk, &written, nullptr)) {
      Fail(path, "writing the temporary file", ::GetLastError());
    }
    bytes.remove_prefix(written);
  }
  if (!::FlushFileBuffers(temporary.Handle())) {
    Fail(path, "flushing the temporary file", ::GetLastError());
  }
  temporary.Close();
  if (!::ReplaceFileW(target.c_str(), temporary.Path().c_str(), nullptr,
                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    Fail(path, "replacing it with the temporary file", ::GetLastError());
  }
  temporary.MarkReplaced();
}

}  // namespace tervane
