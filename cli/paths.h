// Paths as `tervane` holds them: UTF-8 text, whatever the system's own
// encoding of names, made absolute and normal in one way for every command.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tervane::cli {

std::filesystem::path FromUtf8(std::string_view path);
std::string ToUtf8(const std::filesystem::path& path);

/// `path` taken from the folder `from` (unless it is absolute), lexically
/// normal, without a trailing separator except for a root ("/", "C:\").
std::string AbsolutePath(std::string_view path, const std::filesystem::path& from);

/// The same, taken from the current folder.
std::string AbsolutePath(std::string_view path);

}  // namespace tervane::cli
