#include "cli/items.h"

#include <chrono>
#include <ctime>
#include <memory>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/dialog/linkaddress/picture_title.h"
#include "addin/platform/codec/text_codec.h"
#include "addin/platform/filepage/picture_file.h"
#include "cli/paths.h"
#include "cli/site.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

// The modification time as a time key in local time, to the nanosecond;
// nullopt when it cannot be read.
std::optional<std::string> ModifiedKey(const fs::path& path) {
  std::error_code ec;
  const fs::file_time_type written = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  const auto system = std::chrono::file_clock::to_sys(written);
  const auto seconds = std::chrono::floor<std::chrono::seconds>(system);
  const auto nanoseconds =
      std::chrono::duration_cast<std::chrono::nanoseconds>(system - seconds).count();
  const std::time_t time = std::chrono::system_clock::to_time_t(seconds);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &time) != 0) return std::nullopt;
#else
  if (localtime_r(&time, &local) == nullptr) return std::nullopt;
#endif
  char text[96];
  // The fraction as an int: the C library of older Windows knows no "%lld".
  std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d.%09d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(nanoseconds));
  return TimeKey(text);
}

}  // namespace

PictureMetadata PictureMetadataOfFile(const fs::path& path) {
  const std::unique_ptr<PictureFile> file =
      PictureFile::Open(ToUtf8(path), kMaxPictureMetadataBytes);
  if (!file) return {};
  return ReadPictureMetadata([&file](std::uint64_t offset, char* into, std::size_t length) {
    return file->ReadAt(offset, into, length);
  });
}

std::string PictureAltText(const fs::path& folder, const std::string& name) {
  const std::optional<std::string> title =
      PictureTitle(PictureMetadataOfFile(folder / FromUtf8(name)),
                   [](std::string_view bytes) { return DecodeStrict(Charset::kCp932, bytes); });
  return title ? *title : std::string(NameWithoutExtension(name));
}

void ArrangeItems(std::vector<std::string>& markups, std::vector<std::string>& names,
                  const std::string& folder, const ItemSettings& settings, const Site* site) {
  for (std::string& markup : markups) {
    markup = WithItemAttributes(markup, settings.lazy, settings.className);
  }
  std::vector<std::string> times;
  if (settings.sort == PictureOrder::kTaken || settings.sort == PictureOrder::kModified) {
    const fs::path base = FromUtf8(folder);
    for (const std::string& name : names) {
      const fs::path path = base / FromUtf8(name);
      std::optional<std::string> key;
      if (settings.sort == PictureOrder::kTaken && (!site || site->Holds(ToUtf8(path)))) {
        const PictureMetadata metadata = PictureMetadataOfFile(path);
        if (metadata.taken) key = TimeKey(*metadata.taken);
      }
      if (!key) key = ModifiedKey(path);
      times.push_back(key.value_or(std::string()));
    }
  }
  const std::vector<std::size_t> order =
      ArrangedOrder(names, settings.sort, settings.reverse, times);
  std::vector<std::string> arrangedMarkups, arrangedNames;
  for (const std::size_t i : order) {
    if (i < markups.size()) arrangedMarkups.push_back(std::move(markups[i]));
    arrangedNames.push_back(std::move(names[i]));
  }
  markups = std::move(arrangedMarkups);
  names = std::move(arrangedNames);
}

}  // namespace tervane::cli
