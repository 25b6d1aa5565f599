// Windows: the new contents go to a hidden temporary file beside the page,
// which ReplaceFileW then puts in the page's place, keeping the page's
// attributes, security and creation time, as saving in place would. The old
// page goes to a backup name meanwhile: when ReplaceFileW fails halfway, the
// page (old or new) is put back under its name from there, and no file that
// holds the only copy of the text is ever deleted.
#include "addin/platform/filepage/atomic_file_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/atomic_file_hook.h"
#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/long_path.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {

win32::ReplaceFileFunction win32::replaceFile = ::ReplaceFileW;

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw Error(kErrPathFileAccess, "Cannot write " + path + ": " + reason);
}

[[noreturn]] void Fail(const std::string& path, const std::string& step, DWORD cause) {
  throw Error(
      kErrPathFileAccess,
      "Cannot write " + path + ": " + step + ": " + win32::SystemMessage(HRESULT_FROM_WIN32(cause)),
      cause);
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
  /// After it replaced the page, or when it holds the only copy of the text.
  void Keep() { replaced_ = true; }

 private:
  std::wstring path_;
  win32::UniqueFile file_;
  bool replaced_ = false;
};

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MoveInto(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::optional<PageIdentity>& expected) {
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
  RunBeforeReplaceHook(path);
  if (expected && PageIdentityAt(path) != expected) throw PageChangedError(path);
  // Named after the temporary file, which no other writer uses.
  const std::wstring backup = temporary.Path() + L".old";
  if (win32::replaceFile(target.c_str(), temporary.Path().c_str(), backup.c_str(),
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    temporary.Keep();
    ::DeleteFileW(backup.c_str());
    return;
  }
  const DWORD cause = ::GetLastError();
  // The new file could not take the page's name, after the page went to the
  // backup name (1177; with 1176 both keep their names, but a page found
  // missing is put back all the same). The new file took the page's
  // attributes already: it goes in if it can, else the old page goes back.
  if (!Exists(target) && Exists(backup)) {
    if (cause == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && MoveInto(temporary.Path(), target)) {
      temporary.Keep();
      ::DeleteFileW(backup.c_str());
      return;
    }
    if (!MoveInto(backup, target)) {
      temporary.Keep();
      Fail(path, "replacing it with the temporary file: " +
                     win32::SystemMessage(HRESULT_FROM_WIN32(cause)) +
                     "; its old contents are in " + win32::Narrow(backup) +
                     ", its new contents in " + win32::Narrow(temporary.Path()));
    }
  }
  if (!Exists(target)) {
    temporary.Keep();
    Fail(path, "replacing it with the temporary file: " +
                   win32::SystemMessage(HRESULT_FROM_WIN32(cause)) + "; its new contents are in " +
                   win32::Narrow(temporary.Path()));
  }
  Fail(path, "replacing it with the temporary file", cause);
}

}  // namespace tervane
