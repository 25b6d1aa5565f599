#include "cli/thumbnails.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/filepage/picture_file.h"
#include "addin/platform/imaging/thumbnail_maker.h"
#include "cli/paths.h"
#include "cli/site.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

// The address the img element of `markup` shows, its value unescaped.
std::optional<std::string> SourceOf(std::string_view markup) {
  static constexpr std::string_view kSrc = "<img src=\"";
  const std::size_t at = markup.find(kSrc);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t begin = at + kSrc.size();
  const std::size_t end = markup.find('"', begin);
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view value = markup.substr(begin, end - begin);
  static constexpr std::pair<std::string_view, char> kReferences[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string address;
  while (!value.empty()) {
    bool replaced = false;
    for (const auto& [reference, c] : kReferences) {
      if (value.starts_with(reference)) {
        address += c;
        value.remove_prefix(reference.size());
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      address += value.front();
      value.remove_prefix(1);
    }
  }
  return address;
}

std::optional<PictureHeader> HeaderOf(const fs::path& path) {
  const std::unique_ptr<PictureFile> file = PictureFile::Open(ToUtf8(path), kMaxPictureHeaderBytes);
  if (!file) return std::nullopt;
  return ReadPictureHeader([&file](std::uint64_t offset, char* into, std::size_t length) {
    return file->ReadAt(offset, into, length);
  });
}

std::optional<std::int64_t> ModificationTime(const fs::path& path) {
  std::error_code ec;
  const fs::file_time_type time = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  return time.time_since_epoch().count();
}

// Through a temporary file and a rename, so that a thumbnail cut short by a
// failure never looks newer than its original.
void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::path temporary = path;
  temporary += ".tmp";
  // A link planted under the temporary name would have the stream write
  // through it.
  std::error_code gone;
  fs::remove(temporary, gone);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      throw fs::filesystem_error("cannot write", temporary,
                                 std::make_error_code(std::errc::io_error));
    }
  }
  fs::rename(temporary, path);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Deletes the thumbnails of originals that are gone and lists those made.
void KeepManifest(const fs::path& base, const fs::path& thumbs,
                  const std::vector<ManifestEntry>& made, std::ostream& err) {
  const fs::path manifest = thumbs / FromUtf8(kThumbnailManifest);
  std::error_code ec;
  if (made.empty() && !fs::exists(manifest, ec)) return;
  const std::string before = ReadFile(manifest);
  const ManifestSplit split =
      SplitByOriginal(WithEntries(ReadManifest(before), made), [&](const std::string& original) {
        std::error_code missing;
        return fs::exists(base / FromUtf8(original), missing);
      });
  for (const ManifestEntry& entry : split.deleted) {
    std::error_code failed;
    fs::remove(thumbs / FromUtf8(entry.thumbnail), failed);
    if (failed) {
      err << "tervane: cannot delete " << ToUtf8(thumbs / FromUtf8(entry.thumbnail)) << ": "
          << failed.message() << '\n';
    }
  }
  const std::string after = ManifestText(split.kept);
  if (after == before) return;
  try {
    WriteFile(manifest, after);
  } catch (const fs::filesystem_error& e) {
    err << "tervane: cannot write " << ToUtf8(manifest) << ": " << e.code().message() << '\n';
  }
}

}  // namespace

void AddThumbnails(std::vector<std::string>& markups, const std::vector<std::string>& names,
                   const std::string& folder, const ThumbnailSettings& settings, ThumbnailWork work,
                   std::ostream& err, const Site* site) {
  const fs::path base = FromUtf8(folder);
  const fs::path thumbs = base / FromUtf8(settings.folder);
  // A thumbnail folder that a symbolic link leads out of the site would
  // have us write and delete files where a page from others chooses.
  if (site && !site->Holds(ToUtf8(thumbs))) {
    err << "tervane: no thumbnails in " << ToUtf8(thumbs) << ": it lies outside the site ("
        << site->Folder() << ")\n";
    return;
  }
  const bool write = work == ThumbnailWork::kMake;
  // Started at the first picture that needs decoding: a run with every
  // thumbnail fresh never starts the imaging library.
  std::optional<ThumbnailMaker> maker;
  std::vector<ManifestEntry> made;
  for (std::size_t i = 0; i < markups.size() && i < names.size(); ++i) {
    const std::optional<std::string> source = SourceOf(markups[i]);
    if (!source) continue;
    const fs::path original = base / FromUtf8(names[i]);
    if (site && !site->Holds(ToUtf8(original))) continue;
    const std::optional<PictureHeader> header = HeaderOf(original);
    if (!header) {
      err << "tervane: no thumbnail for " << ToUtf8(original) << ": not a readable picture\n";
      continue;
    }
    const std::optional<ThumbnailPlan> plan = PlanThumbnails(header->size, settings.edge);
    if (!plan) {
      markups[i] = WithThumbnail(markups[i], *source, std::nullopt, header->size);
      continue;
    }
    const PictureFormat format = ThumbnailFormat(header->format);
    std::vector<PictureSize> sizes;
    if (plan->size2x) sizes.push_back(*plan->size2x);
    sizes.push_back(plan->size);
    std::vector<std::string> files;
    bool stale = false;
    const std::optional<std::int64_t> originalTime = ModificationTime(original);
    for (const PictureSize& size : sizes) {
      files.push_back(ThumbnailName(names[i], size, format));
      stale = stale || !originalTime ||
              ThumbnailIsStale(ModificationTime(thumbs / FromUtf8(files.back())), *originalTime);
    }
    if (stale && work != ThumbnailWork::kNone) {
      if (!maker) maker.emplace();
      const ThumbnailMaker::Outcome outcome =
          maker->Make(ToUtf8(original), header->orientation, sizes, format);
      if (outcome.files.size() != sizes.size()) {
        err << "tervane: no thumbnail for " << ToUtf8(original) << ": " << outcome.problem << '\n';
        continue;
      }
      if (write) {
        try {
          fs::create_directories(thumbs);
          for (std::size_t k = 0; k < files.size(); ++k) {
            WriteFile(thumbs / FromUtf8(files[k]), outcome.files[k]);
            made.push_back({names[i], files[k]});
          }
        } catch (const fs::filesystem_error& e) {
          err << "tervane: no thumbnail for " << ToUtf8(original) << ": cannot write "
              << ToUtf8(e.path1()) << ": " << e.code().message() << '\n';
          continue;
        }
      }
    }
    std::optional<std::string> address2x;
    if (plan->size2x) address2x = ThumbnailAddress(*source, settings.folder, files.front());
    markups[i] = WithThumbnail(markups[i], ThumbnailAddress(*source, settings.folder, files.back()),
                               address2x, plan->size);
  }
  if (write) KeepManifest(base, thumbs, made, err);
}

}  // namespace tervane::cli
