#include <windows.h>

#include <algorithm>

#include "addin/platform/filepage/picture_file.h"
#include "addin/platform/win32/unique_handle.h"
#include "addin/platform/win32/utf16.h"

namespace tervane {

struct PictureFile::Handle {
  win32::UniqueFile file;
};

PictureFile::PictureFile(std::unique_ptr<Handle> handle, std::uint64_t size, std::uint64_t maxBytes)
    : handle_(std::move(handle)), size_(size), maxBytes_(maxBytes) {}

PictureFile::~PictureFile() = default;

std::unique_ptr<PictureFile> PictureFile::Open(const std::string& path, std::uint64_t maxBytes) {
  auto handle = std::make_unique<Handle>();
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open; a device
  // (a name such as CON or COM1, or \\.\...) opens but is no disk file.
  handle->file.reset(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle->file || ::GetFileType(handle->file.get()) != FILE_TYPE_DISK) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle->file.get(), &size) || size.QuadPart < 0) return nullptr;
  return std::unique_ptr<PictureFile>(
      new PictureFile(std::move(handle), static_cast<std::uint64_t>(size.QuadPart), maxBytes));
}

std::size_t PictureFile::ReadAt(std::uint64_t offset, char* into, std::size_t length) {
  length = static_cast<std::size_t>(std::min<std::uint64_t>(length, maxBytes_ - spent_));
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED at{};
    const std::uint64_t from = offset + done;
    at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
    if (!::ReadFile(handle_->file.get(), into + done, want, &got, &at) || got == 0) break;
    done += got;
  }
  spent_ += done;
  return done;
}

}  // namespace tervane
