#include "addin/platform/filepage/file_editor.h"

#include <utility>

#include "addin/platform/error.h"
#include "addin/platform/filepage/page_charset.h"

namespace tervane {

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Where insertions go: into the page, or, when `recorded` is set, into that
// record, the page left alone.
struct InsertionTarget {
  FilePage* page;
  std::vector<std::string>* recorded;
};

class FileLinkCollection : public HtmlLinkCollection {
 public:
  explicit FileLinkCollection(std::vector<std::string> hrefs) : hrefs_(std::move(hrefs)) {}

  std::size_t Length() override { return hrefs_.size(); }

  std::string Href(std::size_t index) override {
    if (index >= hrefs_.size()) {
      throw Error(kErrInvalidCall, "There is no link number " + std::to_string(index));
    }
    return hrefs_[index];
  }

  // The stand-in reports every href as written, so there is no other form.
  std::optional<std::string> HrefAsWritten(std::size_t index) override {
    Href(index);
    return std::nullopt;
  }

 private:
  std::vector<std::string> hrefs_;
};

class FileBody : public HtmlElement {
 public:
  explicit FileBody(InsertionTarget target) : target_(target) {}

  void InsertAdjacentHTML(std::string_view where, std::string_view html) override {
    if (!EqualsIgnoringAsciiCase(where, "BeforeEnd")) {
      throw Error(kErrInvalidCall, "Cannot insert at \"" + std::string(where) +
                                       "\": the page takes markup only at \"BeforeEnd\"");
    }
    if (target_.recorded == nullptr) {
      target_.page->InsertBeforeBodyEnd(html);
      return;
    }
    // A dry run fails where the real insertion would.
    EncodeForPage(target_.page->Encoding(), html);
    target_.recorded->emplace_back(html);
  }

 private:
  InsertionTarget target_;
};

class FileDocument : public HtmlDocument {
 public:
  explicit FileDocument(InsertionTarget target) : target_(target) {}

  std::string LocationHref() override { return target_.page->Url(); }
  std::string Title() override { return target_.page->Title(); }
  std::string URL() override { return target_.page->Url(); }
  std::unique_ptr<HtmlLinkCollection> Links() override {
    return std::make_unique<FileLinkCollection>(target_.page->LinkHrefs());
  }
  std::unique_ptr<HtmlElement> Body() override { return std::make_unique<FileBody>(target_); }

 private:
  InsertionTarget target_;
};

class FilePageWindow : public PageWindow {
 public:
  explicit FilePageWindow(InsertionTarget target) : target_(target) {}

  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<FileDocument>(target_);
  }

 private:
  InsertionTarget target_;
};

}  // namespace

FileEditor::FileEditor(FilePage* page) : page_(page) {}

void FileEditor::SetRecordOnly(bool recordOnly) { recordOnly_ = recordOnly; }

const std::vector<std::string>& FileEditor::RecordedInsertions() const { return recorded_; }

void FileEditor::SetActivePage(FilePage* page) { page_ = page; }

std::unique_ptr<PageWindow> FileEditor::ActivePageWindow() {
  if (page_ == nullptr) return nullptr;
  return std::make_unique<FilePageWindow>(
      InsertionTarget{page_, recordOnly_ ? &recorded_ : nullptr});
}

}  // namespace tervane
