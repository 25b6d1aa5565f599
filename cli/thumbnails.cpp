#include "cli/thumbnails.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

#include "addin/dialog/linkaddress/markup.h"
#include "addin/platform/filepage/picture_file.h"
#include "addin/platform/html/tokenizer.h"
#include "addin/platform/imaging/thumbnail_maker.h"
#include "cli/paths.h"
#include "cli/site.h"

namespace tervane::cli {
namespace {

namespace fs = std::filesystem;

// The address the img element of `markup` shows, as a browser reads it.
std::optional<std::string> SourceOf(std::string_view markup) {
  html::Tokenizer tokenizer(markup);
  for (html::Token token;;) {
    tokenizer.Next(token);
    if (token.kind == html::TokenKind::kEndOfFile) return std::nullopt;
    if (token.kind != html::TokenKind::kStartTag || token.name != "img") continue;
    for (const html::Attribute& attribute : token.attributes) {
      if (attribute.name == "src") return attribute.value;
    }
    return std::nullopt;
  }
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

// A picture of the list that is shown by thumbnails.
struct Picture {
  std::size_t item = 0;
  std::string source;  // the address the item's img element shows
  fs::path original;
  std::uint32_t orientation = 1;
  PictureFormat format = PictureFormat::kJpeg;
  ThumbnailPlan plan;
  std::vector<PictureSize> sizes;  // largest first
  std::vector<std::string> files;  // the thumbnails' names, as `sizes`
  bool stale = false;
  bool failed = false;
};

// Makes (and with `write`, writes) the thumbnails of `pictures`, several
// pictures at a time: decoding one is the work of a single core, whatever
// the library. Why a picture failed goes to `notes[picture.item]`.
class ThumbnailWorkers {
 public:
  ThumbnailWorkers(std::vector<Picture*> pictures, const fs::path& thumbs, bool write,
                   std::vector<std::string>& notes)
      : pictures_(std::move(pictures)), thumbs_(thumbs), write_(write), notes_(notes) {}

  /// Rethrows what stopped a worker (the imaging library not starting).
  void Run() {
    if (pictures_.empty()) return;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t count = std::min({cores, kMaxWorkers, pictures_.size()});
    std::vector<std::thread> others;
    for (std::size_t i = 1; i < count; ++i) others.emplace_back([this] { Guarded(); });
    Guarded();
    for (std::thread& thread : others) thread.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  // Each holds a decoded picture or two: four bound the memory on machines
  // with many cores.
  static constexpr std::size_t kMaxWorkers = 4;

  void Guarded() {
    try {
      ThumbnailMaker maker;  // on the thread that uses it
      Work(maker);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      next_ = pictures_.size();
    }
  }

  void Work(ThumbnailMaker& maker) {
    for (std::size_t k; (k = next_++) < pictures_.size();) {
      Picture& picture = *pictures_[k];
      const std::string original = ToUtf8(picture.original);
      const ThumbnailMaker::Outcome outcome =
          maker.Make(original, picture.orientation, picture.sizes, picture.format);
      if (outcome.files.size() != picture.sizes.size()) {
        Fail(picture, "tervane: no thumbnail for " + original + ": " + outcome.problem);
        continue;
      }
      if (!write_) continue;
      try {
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          fs::create_directories(thumbs_);
        }
        for (std::size_t i = 0; i < picture.files.size(); ++i) {
          WriteFile(thumbs_ / FromUtf8(picture.files[i]), outcome.files[i]);
        }
      } catch (const fs::filesystem_error& e) {
        Fail(picture, "tervane: no thumbnail for " + original + ": cannot write " +
                          ToUtf8(e.path1()) + ": " + e.code().message());
      }
    }
  }

  void Fail(Picture& picture, std::string note) {
    picture.failed = true;
    notes_[picture.item] = std::move(note);  // one slot per picture: no lock
  }

  std::vector<Picture*> pictures_;
  const fs::path& thumbs_;
  const bool write_;
  std::vector<std::string>& notes_;
  std::atomic<std::size_t> next_{0};
  std::mutex mutex_;
  std::exception_ptr failure_;
};

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
  // What went wrong with each item, written in the list's order at the end.
  std::vector<std::string> notes(markups.size());
  std::vector<Picture> pictures;
  for (std::size_t i = 0; i < markups.size() && i < names.size(); ++i) {
    const std::optional<std::string> source = SourceOf(markups[i]);
    if (!source) continue;
    const fs::path original = base / FromUtf8(names[i]);
    if (site && !site->Holds(ToUtf8(original))) continue;
    const std::optional<PictureHeader> header = HeaderOf(original);
    if (!header) {
      notes[i] = "tervane: no thumbnail for " + ToUtf8(original) + ": not a readable picture";
      continue;
    }
    const std::optional<ThumbnailPlan> plan = PlanThumbnails(header->size, settings.edge);
    if (!plan) {
      markups[i] = WithThumbnail(markups[i], *source, std::nullopt, header->size);
      continue;
    }
    Picture picture;
    picture.item = i;
    picture.source = *source;
    picture.original = original;
    picture.orientation = header->orientation;
    picture.format = ThumbnailFormat(header->format);
    picture.plan = *plan;
    if (plan->size2x) picture.sizes.push_back(*plan->size2x);
    picture.sizes.push_back(plan->size);
    const std::optional<std::int64_t> originalTime = ModificationTime(original);
    for (const PictureSize& size : picture.sizes) {
      picture.files.push_back(ThumbnailName(names[i], size, picture.format));
      picture.stale = picture.stale || !originalTime ||
                      ThumbnailIsStale(ModificationTime(thumbs / FromUtf8(picture.files.back())),
                                       *originalTime);
    }
    pictures.push_back(std::move(picture));
  }

  // A run with every thumbnail fresh never starts the imaging library.
  const bool write = work == ThumbnailWork::kMake;
  if (work != ThumbnailWork::kNone) {
    std::vector<Picture*> stale;
    for (Picture& picture : pictures) {
      if (picture.stale) stale.push_back(&picture);
    }
    ThumbnailWorkers(std::move(stale), thumbs, write, notes).Run();
  }

  std::vector<ManifestEntry> made;
  for (const Picture& picture : pictures) {
    if (picture.failed) continue;
    std::string& markup = markups[picture.item];
    const std::string& source = picture.source;
    if (write && picture.stale) {
      for (const std::string& file : picture.files) made.push_back({names[picture.item], file});
    }
    std::optional<std::string> address2x;
    if (picture.plan.size2x) {
      address2x = ThumbnailAddress(source, settings.folder, picture.files.front());
    }
    markup = WithThumbnail(markup, ThumbnailAddress(source, settings.folder, picture.files.back()),
                           address2x, picture.plan.size);
  }
  for (const std::string& note : notes) {
    if (!note.empty()) err << note << '\n';
  }
  if (write) KeepManifest(base, thumbs, made, err);
}

}  // namespace tervane::cli
