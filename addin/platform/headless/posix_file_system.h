// Files on a POSIX file system, as the file list and the shortcut reader see
// them. Hidden files are those whose names begin with "."; anything that is
// not a regular file (folders, devices, sockets, pipes) is not listed.
#pragma once

#include "addin/platform/file_system.h"

namespace tervane {

class PosixFileSystem : public FileSystem {
 public:
  bool FolderExists(std::string_view path) override;
  std::vector<std::string> ListFiles(std::string_view folder) override;
  std::optional<std::string> ReadSmallFile(std::string_view path, std::size_t maxBytes) override;
  /// POSIX has no ANSI code page: UTF-8, and code page 932 for bytes that are
  /// not UTF-8 (shortcut files copied from Japanese Windows).
  std::optional<std::string> DecodeAnsi(std::string_view bytes) override;
};

}  // namespace tervane
