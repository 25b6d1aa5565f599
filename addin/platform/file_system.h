// The files of a folder, and the bounded reading of a shortcut file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FolderExists(std::string_view path) = 0;
  /// The names of the files in `folder` that a file list shows: no folders,
  /// no hidden or system files. In no particular order. Error when the
  /// folder cannot be read.
  virtual std::vector<std::string> ListFiles(std::string_view folder) = 0;
  /// The whole contents of the file at `path`; nullopt when it is missing,
  /// unreadable, not a regular file, or larger than `maxBytes`.
  virtual std::optional<std::string> ReadSmallFile(std::string_view path, std::size_t maxBytes) = 0;
  /// Turns text in the system's ANSI code page into UTF-8; nullopt when the
  /// bytes are not valid in it.
  virtual std::optional<std::string> DecodeAnsi(std::string_view bytes) = 0;
};

}  // namespace tervane
