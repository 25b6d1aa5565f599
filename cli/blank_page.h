// The editor with a new, never saved page: what `tervane list` loads the
// dialog on, since it has no page of its own. Its address is not a file
// address, so the lists stay at the current folder.
#pragma once

#include <memory>

#include "addin/platform/editor.h"
#include "addin/platform/error.h"

namespace tervane::cli {

class BlankPageEditor : public PageApplication {
 public:
  std::unique_ptr<PageWindow> ActivePageWindow() override { return std::make_unique<Window>(); }

 private:
  class NoLinks : public HtmlLinkCollection {
   public:
    std::size_t Length() override { return 0; }
    std::string Href(std::size_t) override { throw Error(kErrInvalidCall, "No such link"); }
    std::optional<std::string> HrefAsWritten(std::size_t) override { return std::nullopt; }
  };
  class Body : public HtmlElement {
   public:
    void InsertAdjacentHTML(std::string_view, std::string_view) override {
      throw Error(kErrInvalidCall, "The blank page cannot be changed");
    }
  };
  class Document : public HtmlDocument {
   public:
    std::string LocationHref() override { return "about:blank"; }
    std::string Title() override { return {}; }
    std::string URL() override { return "about:blank"; }
    std::unique_ptr<HtmlLinkCollection> Links() override { return std::make_unique<NoLinks>(); }
    std::unique_ptr<HtmlElement> Body() override { return std::make_unique<class Body>(); }
  };
  class Window : public PageWindow {
   public:
    std::unique_ptr<HtmlDocument> Document() override { return std::make_unique<class Document>(); }
  };
};

}  // namespace tervane::cli
