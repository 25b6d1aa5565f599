#include "addin/platform/filepage/file_page.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "addin/platform/error.h"
#include "addin/platform/filepage/atomic_file.h"
#include "addin/platform/filepage/page_charset.h"
#include "addin/platform/filepage/page_file.h"
#include "addin/platform/filepage/page_outline.h"

namespace tervane {

namespace {

// The parser's tree takes a few times the page's size in memory: a page
// larger than this is refused rather than risk the machine's memory.
constexpr std::size_t kMaxPageBytes = std::size_t{32} << 20;

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    const char c =
        text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

// Consumes one tag of the link builder's markup at the front of `rest`: <a>,
// <img>, <br> or <p>, with double-quoted href and src attributes only, or
// </a> or </p>.
bool ConsumeLinkTag(std::string_view& rest) {
  static constexpr std::string_view kStartTags[] = {"<a", "<img", "<br", "<p"};
  static constexpr std::string_view kEndTags[] = {"</a>", "</p>"};
  for (const std::string_view tag : kEndTags) {
    if (StartsWithIgnoringAsciiCase(rest, tag)) {
      rest.remove_prefix(tag.size());
      return true;
    }
  }
  for (const std::string_view tag : kStartTags) {
    if (!StartsWithIgnoringAsciiCase(rest, tag)) continue;
    std::string_view attributes = rest.substr(tag.size());
    while (!attributes.empty() && attributes.front() == ' ') {
      attributes.remove_prefix(1);
      std::size_t name = 0;
      if (StartsWithIgnoringAsciiCase(attributes, "href=\"")) name = 4;
      if (StartsWithIgnoringAsciiCase(attributes, "src=\"")) name = 3;
      if (name == 0) return false;
      const std::size_t close = attributes.find('"', name + 2);
      if (close == std::string_view::npos) return false;
      attributes.remove_prefix(close + 1);
    }
    if (attributes.empty() || attributes.front() != '>') return false;
    rest = attributes.substr(1);
    return true;
  }
  return false;
}

// True when `markup` holds only text without "<" and the tags above: parsed
// just inside the body, it can make nothing but those elements, and it
// leaves the tokenizer where it found it.
bool IsPlainLinkMarkup(std::string_view markup) {
  while (!markup.empty()) {
    const std::size_t tag = markup.find('<');
    if (tag == std::string_view::npos) return true;
    markup.remove_prefix(tag);
    if (!ConsumeLinkTag(markup)) return false;
  }
  return true;
}

}  // namespace

struct FilePage::Impl {
  std::string path;
  // The file as read (or last saved), which a save expects to replace.
  PageIdentity identity;
  PageEncoding encoding;
  // The page as read (or last saved), and the markup inserted since, which
  // goes in at insertAt.
  std::string original;
  std::size_t insertAt = 0;
  std::string inserted;
  // What the parser found in Contents(); dropped when the contents change.
  std::optional<PageOutline> outline;
  // The links and title of `original`; the links are read again when needed.
  std::optional<std::vector<std::string>> originalLinks;
  std::string originalTitle;
  // Whether the parser reached insertAt, in `original`, with nothing open
  // inside the body, and whether everything inserted since is the link
  // builder's plain markup. Together they mean the page with the insertions
  // parses as `original` did, plus the inserted elements inside the body: its
  // title is the same and every link is there, so neither needs a new parse
  // of the whole page.
  bool endsClean = false;
  bool insertedPlain = true;
  std::size_t fullParses = 0;

  bool InsertionsKeepThePage() const { return endsClean && insertedPlain; }

  const PageOutline& Outline() {
    if (!outline) {
      const std::string contents = Contents();
      ++fullParses;
      outline =
          ReadPageOutline(encoding.charset, std::string_view(contents).substr(encoding.bomLength));
    }
    return *outline;
  }

  const std::vector<std::string>& OriginalLinks() {
    if (!originalLinks) {
      ++fullParses;
      originalLinks =
          ReadPageOutline(encoding.charset, std::string_view(original).substr(encoding.bomLength))
              .linkHrefs;
    }
    return *originalLinks;
  }

  std::string Contents() const {
    if (inserted.empty()) return original;
    std::string contents;
    contents.reserve(original.size() + inserted.size());
    contents.append(original, 0, insertAt);
    contents.append(inserted);
    contents.append(original, insertAt);
    return contents;
  }
};

std::unique_ptr<FilePage> FilePage::Open(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->path = AbsolutePagePath(path);
  impl->original = ReadPageFile(impl->path, kMaxPageBytes, &impl->identity);
  // Text in the encodings read here never holds a NUL byte; a file that does
  // is not a page to write markup into.
  if (impl->original.find('\0') != std::string::npos && !impl->original.starts_with("\xFF\xFE") &&
      !impl->original.starts_with("\xFE\xFF")) {
    throw Error(kErrPathFileAccess,
                "Cannot read " + impl->path + ": not a text page (it holds NUL bytes)");
  }
  try {
    impl->encoding = DetectPageEncoding(impl->original);
    const std::string_view text = std::string_view(impl->original).substr(impl->encoding.bomLength);
    impl->outline = ReadPageOutline(impl->encoding.charset, text);
    impl->fullParses = 1;
  } catch (const Error& error) {
    throw Error(error.Number(), "Cannot read " + impl->path + ": " + error.what(),
                error.SystemCode());
  }
  impl->originalLinks = impl->outline->linkHrefs;
  impl->originalTitle = impl->outline->title;
  impl->endsClean = impl->outline->bodyEndTag && impl->outline->bodyClosedClean;
  const auto& bodyEnd = impl->outline->bodyEndTag;
  impl->insertAt = bodyEnd ? impl->encoding.bomLength + *bodyEnd : impl->original.size();
  return std::unique_ptr<FilePage>(new FilePage(std::move(impl)));
}

FilePage::FilePage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

FilePage::~FilePage() = default;

const std::string& FilePage::Path() const { return impl_->path; }

std::string FilePage::Url() const { return PageFileUrl(impl_->path); }

Charset FilePage::PageCharset() const { return impl_->encoding.charset; }

const PageEncoding& FilePage::Encoding() const { return impl_->encoding; }

std::string FilePage::Title() {
  if (!impl_->outline && impl_->InsertionsKeepThePage()) return impl_->originalTitle;
  return impl_->Outline().title;
}

std::vector<std::string> FilePage::LinkHrefs() {
  std::vector<std::string> hrefs = impl_->Outline().linkHrefs;
  for (std::string& href : hrefs) href = AddressAsRead(href);
  return hrefs;
}

std::vector<PageComment> FilePage::Comments() {
  std::vector<PageComment> comments = impl_->Outline().comments;
  for (PageComment& comment : comments) comment.offset += impl_->encoding.bomLength;
  return comments;
}

std::size_t FilePage::InsertionOffset() const { return impl_->insertAt; }

void FilePage::InsertBeforeBodyEnd(std::string_view markup) {
  std::string encoded;
  try {
    encoded = EncodeForPage(impl_->encoding, markup);
  } catch (const Error& error) {
    throw Error(error.Number(), "Cannot insert into " + impl_->path + ": " + error.what(),
                error.SystemCode());
  }
  impl_->inserted += encoded;
  impl_->insertedPlain = impl_->insertedPlain && IsPlainLinkMarkup(markup);
  impl_->outline.reset();
}

std::size_t FilePage::FullParses() const { return impl_->fullParses; }

bool FilePage::Modified() const { return !impl_->inserted.empty(); }

std::string FilePage::Contents() const { return impl_->Contents(); }

void FilePage::CheckInsertions() {
  if (impl_->inserted.empty() || impl_->InsertionsKeepThePage()) return;
  std::unordered_map<std::string, long> missing;
  for (const std::string& href : impl_->OriginalLinks()) ++missing[href];
  for (const std::string& href :
       ReadPageOutline(impl_->encoding.charset, impl_->inserted).linkHrefs) {
    ++missing[href];
  }
  for (const std::string& href : impl_->Outline().linkHrefs) --missing[href];
  const bool allThere = std::all_of(missing.begin(), missing.end(),
                                    [](const auto& entry) { return entry.second <= 0; });
  if (!allThere) {
    throw Error(kErrInvalidCall,
                "Cannot write " + impl_->path +
                    ": links placed where the page ends would not be links there (the page ends "
                    "inside a comment, a title, a script or a similar element)");
  }
}

void FilePage::Save() {
  CheckInsertions();
  std::string contents = impl_->Contents();
  Replace(std::move(contents));
  if (impl_->outline) {
    impl_->originalLinks = impl_->outline->linkHrefs;
    impl_->originalTitle = impl_->outline->title;
  } else {
    impl_->originalLinks.reset();
  }
  // Where the next insertions go, the parser may now have elements open.
  impl_->endsClean = false;
  impl_->insertedPlain = true;
  impl_->insertAt += impl_->inserted.size();
  impl_->inserted.clear();
}

void FilePage::Replace(std::string bytes) {
  // The next run would refuse to read it.
  if (bytes.size() > kMaxPageBytes) {
    throw Error(kErrPathFileAccess, "Cannot write " + impl_->path + ": it would grow to " +
                                        std::to_string(bytes.size() >> 20) +
                                        " MiB, larger than the " +
                                        std::to_string(kMaxPageBytes >> 20) + " MiB read");
  }
  ReplaceFileAtomically(impl_->path, bytes, impl_->identity);
  if (const std::optional<PageIdentity> written = PageIdentityAt(impl_->path)) {
    impl_->identity = *written;
  }
  impl_->original = std::move(bytes);
}

}  // namespace tervane
