#include "addin/platform/filepage/page_on_disk.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/file_editor.h"
#include "addin/platform/filepage/file_page.h"
#include "addin/platform/filepage/page_lock.h"

namespace tervane {
namespace {

// How many times the insertions are made before a page that another program
// keeps saving is given up.
constexpr int kPageAttempts = 5;

// One operation's view of the page: the page as read when the operation
// reached it. The first insertion takes the lock and reads the page again
// under it, so that what is written back holds every other writer's links.
class DiskDocument : public HtmlDocument {
 public:
  DiskDocument(const std::string& path, std::chrono::milliseconds lockTimeout)
      : path_(path), lockTimeout_(lockTimeout) {
    Read();
  }

  std::string LocationHref() override { return inner_->LocationHref(); }
  std::string Title() override { return inner_->Title(); }
  std::string URL() override { return inner_->URL(); }
  std::unique_ptr<HtmlLinkCollection> Links() override { return inner_->Links(); }
  std::unique_ptr<HtmlElement> Body() override { return std::make_unique<DiskBody>(*this); }

  // Another program that saves the page after it was read under the lock
  // (an editor does not heed the lock) gets its save kept: the page is read
  // again and the insertions made anew on it, a few times at most.
  void KeepInsertions() override {
    for (int tries = 1; page_->Modified(); ++tries) {
      try {
        page_->Save();
      } catch (const PageChangedError&) {
        if (tries == kPageAttempts) throw;
        Read();
        for (const auto& [where, html] : insertions_) {
          inner_->Body()->InsertAdjacentHTML(where, html);
        }
      }
    }
  }

 private:
  class DiskBody : public HtmlElement {
   public:
    explicit DiskBody(DiskDocument& document) : document_(document) {}
    void InsertAdjacentHTML(std::string_view where, std::string_view html) override {
      document_.Insert(where, html);
    }

   private:
    DiskDocument& document_;
  };

  void Read() {
    page_ = FilePage::Open(path_);
    editor_.SetActivePage(page_.get());
    inner_ = editor_.ActivePageWindow()->Document();
  }

  void Insert(std::string_view where, std::string_view html) {
    if (!lock_) {
      lock_.emplace(path_, lockTimeout_);
      Read();
    }
    inner_->Body()->InsertAdjacentHTML(where, html);
    insertions_.emplace_back(where, html);
  }

  const std::string& path_;
  std::chrono::milliseconds lockTimeout_;
  std::optional<PageLock> lock_;
  std::unique_ptr<FilePage> page_;
  FileEditor editor_{nullptr};
  std::unique_ptr<HtmlDocument> inner_;
  std::vector<std::pair<std::string, std::string>> insertions_;
};

class DiskPageWindow : public PageWindow {
 public:
  DiskPageWindow(const std::string& path, std::chrono::milliseconds lockTimeout)
      : path_(path), lockTimeout_(lockTimeout) {}
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<DiskDocument>(path_, lockTimeout_);
  }

 private:
  const std::string& path_;
  std::chrono::milliseconds lockTimeout_;
};

}  // namespace

PageOnDisk::PageOnDisk(std::string path, std::chrono::milliseconds lockTimeout)
    : path_(std::move(path)), lockTimeout_(lockTimeout) {}

std::unique_ptr<PageWindow> PageOnDisk::ActivePageWindow() {
  std::error_code error;
  const auto status = std::filesystem::status(
      std::filesystem::path(std::u8string(path_.begin(), path_.end())), error);
  if (status.type() == std::filesystem::file_type::not_found) return nullptr;
  return std::make_unique<DiskPageWindow>(path_, lockTimeout_);
}

}  // namespace tervane
