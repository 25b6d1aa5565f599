// The editor's page, as the link builder reaches it: the page application
// object, its active page window, and that window's document with the few
// members the dialog reads and calls. The Win32 layer walks the editor's
// object model; the headless layer stands in with an HTML file on disk.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tervane {

/// The page's link elements (a and area elements with an href), in page order.
class HtmlLinkCollection {
 public:
  virtual ~HtmlLinkCollection() = default;
  virtual std::size_t Length() = 0;
  /// The link's address as the editor reports it (its `href`).
  virtual std::string Href(std::size_t index) = 0;
  /// The address as written in the page, when the editor reports `href` in
  /// another form (resolved to an absolute address); nullopt otherwise.
  virtual std::optional<std::string> HrefAsWritten(std::size_t index) = 0;
};

class HtmlElement {
 public:
  virtual ~HtmlElement() = default;
  /// Parses `html` and places it at `where` ("BeforeEnd": after the element's
  /// existing content).
  virtual void InsertAdjacentHTML(std::string_view where, std::string_view html) = 0;
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  /// The default value (`href`) of the document's `location`: the page address.
  virtual std::string LocationHref() = 0;
  virtual std::string Title() = 0;
  virtual std::string URL() = 0;
  virtual std::unique_ptr<HtmlLinkCollection> Links() = 0;
  virtual std::unique_ptr<HtmlElement> Body() = 0;
  /// Called once after the last insertion of a press of 作成, before the
  /// page is reported: an editor's open page already holds the insertions;
  /// a page kept on disk is written back here.
  virtual void KeepInsertions() {}
};

class PageWindow {
 public:
  virtual ~PageWindow() = default;
  virtual std::unique_ptr<HtmlDocument> Document() = 0;
};

/// The editor page application object. Every operation on a page walks from
/// here afresh and drops what it reached when it ends.
class PageApplication {
 public:
  virtual ~PageApplication() = default;
  /// The window of the active page; nullptr when no page is open.
  virtual std::unique_ptr<PageWindow> ActivePageWindow() = 0;
};

}  // namespace tervane
