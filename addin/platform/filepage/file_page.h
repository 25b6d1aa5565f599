// An HTML file on disk standing in for the page open in the editor. The page
// is read once, parsed with a real HTML parser, and changed only in memory;
// Save() writes it back. Everything outside the inserted markup stays byte
// for byte as it was, in the page's own encoding.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/codec/text_codec.h"
#include "addin/platform/filepage/page_charset.h"
#include "addin/platform/filepage/page_outline.h"

namespace tervane {

class FilePage {
 public:
  /// Reads the page at `path` (absolute, as given: symbolic links are not
  /// resolved here), in the encoding DetectPageEncoding finds. Throws Error
  /// when the file cannot be read or declares an encoding in which nothing
  /// can be written (see IsWritable).
  static std::unique_ptr<FilePage> Open(const std::string& path);

  ~FilePage();
  FilePage(const FilePage&) = delete;
  FilePage& operator=(const FilePage&) = delete;

  const std::string& Path() const;
  /// The page's address as an editor reports it (see PageFileUrl).
  std::string Url() const;
  Charset PageCharset() const;
  const PageEncoding& Encoding() const;

  /// The text of the title element, blanks collapsed and trimmed.
  std::string Title();
  /// The href of every a and area element that has one, in document order,
  /// as written in the page with character references and the percent-encoding
  /// of characters decoded (see AddressAsRead), as UTF-8. Includes what was
  /// inserted.
  std::vector<std::string> LinkHrefs();

  /// The comments of Contents(), offsets counted in its bytes.
  std::vector<PageComment> Comments();
  /// Where InsertBeforeBodyEnd places markup, in the bytes of the page as
  /// read (or last saved).
  std::size_t InsertionOffset() const;

  /// Places `markup` (UTF-8) just before the closing body tag, after what
  /// earlier calls inserted; at the end of the document when the page has no
  /// closing body tag, encoded by EncodeForPage. Throws Error, leaving the
  /// page as it was, when `markup` is not valid UTF-8.
  void InsertBeforeBodyEnd(std::string_view markup);

  bool Modified() const;
  /// The bytes Save() would write.
  std::string Contents() const;
  /// Checks that the page, read with what was inserted, still has every
  /// link it had plus every link inserted: a page that ends inside a comment
  /// or a title, say, would turn the inserted links into text. Error if not.
  void CheckInsertions();
  /// Writes the page back atomically (see ReplaceFileAtomically), after
  /// CheckInsertions. Throws Error on failure; the file on disk is then as it
  /// was. Throws PageChangedError when the file is no longer the one read
  /// (or last saved): another program saved it meanwhile.
  void Save();
  /// Writes `bytes` in place of the page as Save() does, without the checks
  /// of the insertions: the last step of a caller that made the new page
  /// itself, which uses no more than Path() afterwards. Bytes larger than
  /// Open reads are refused (Error), the file untouched.
  void Replace(std::string bytes);

  /// How many times the whole page has been parsed, reading it included.
  /// Title() and Save() after inserting only the link builder's markup before
  /// a body end tag that leaves nothing open parse it no further.
  std::size_t FullParses() const;

 private:
  struct Impl;
  explicit FilePage(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tervane
