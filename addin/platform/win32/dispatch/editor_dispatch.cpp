#include "addin/platform/win32/dispatch/editor_dispatch.h"

#include <optional>

#include "addin/platform/win32/com_error.h"
#include "addin/platform/win32/dispatch/host_identifiers.h"
#include "addin/platform/win32/dispatch/late_binding.h"

namespace tervane::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// getAttribute's flag for the attribute's value as written in the page.
constexpr std::int32_t kAttributeAsWritten = 2;

class DispatchLinks final : public HtmlLinkCollection {
 public:
  explicit DispatchLinks(ComPtr<IDispatch> links) : links_(std::move(links)) {}

  std::size_t Length() override {
    const std::int32_t length = Get(links_.Get(), "length").ToInt();
    return length > 0 ? static_cast<std::size_t>(length) : 0;
  }
  std::string Href(std::size_t index) override { return Get(Item(index).Get(), "href").ToString(); }
  std::optional<std::string> HrefAsWritten(std::size_t index) override {
    const ComPtr<IDispatch> link = Item(index);
    const Variant written = Call(link.Get(), "getAttribute",
                                 {Variant::String("href"), Variant::Int(kAttributeAsWritten)});
    if (written.get().vt == VT_NULL || written.get().vt == VT_EMPTY) return std::nullopt;
    std::string text = written.ToString();
    if (text == Get(link.Get(), "href").ToString()) return std::nullopt;
    return text;
  }

 private:
  ComPtr<IDispatch> Item(std::size_t index) {
    return RequireObject(
        Call(links_.Get(), "item", {Variant::Int(static_cast<std::int32_t>(index))}), "item");
  }

  ComPtr<IDispatch> links_;
};

class DispatchElement final : public HtmlElement {
 public:
  explicit DispatchElement(ComPtr<IDispatch> element) : element_(std::move(element)) {}
  void InsertAdjacentHTML(std::string_view where, std::string_view html) override {
    Call(element_.Get(), "insertAdjacentHTML", {Variant::String(where), Variant::String(html)});
  }

 private:
  ComPtr<IDispatch> element_;
};

class DispatchDocument final : public HtmlDocument {
 public:
  explicit DispatchDocument(ComPtr<IDispatch> document) : document_(std::move(document)) {}

  std::string LocationHref() override {
    const ComPtr<IDispatch> location = RequireObject(Get(document_.Get(), "location"), "location");
    return GetDefault(location.Get()).ToString();
  }
  std::string Title() override { return Get(document_.Get(), "title").ToString(); }
  std::string URL() override { return Get(document_.Get(), "URL").ToString(); }
  std::unique_ptr<HtmlLinkCollection> Links() override {
    return std::make_unique<DispatchLinks>(RequireObject(Get(document_.Get(), "links"), "links"));
  }
  std::unique_ptr<HtmlElement> Body() override {
    return std::make_unique<DispatchElement>(RequireObject(Get(document_.Get(), "body"), "body"));
  }

 private:
  ComPtr<IDispatch> document_;
};

class DispatchPageWindow final : public PageWindow {
 public:
  explicit DispatchPageWindow(ComPtr<IDispatch> window) : window_(std::move(window)) {}
  std::unique_ptr<HtmlDocument> Document() override {
    return std::make_unique<DispatchDocument>(
        RequireObject(Get(window_.Get(), "Document"), "Document"));
  }

 private:
  ComPtr<IDispatch> window_;
};

}  // namespace

std::unique_ptr<PageWindow> DispatchPageApplication::ActivePageWindow() {
  if (!application_) {
    ThrowIfFailed(
        ::CoCreateInstance(kClsidPageApplication, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&application_)),
        "editor page application object");
  }
  ComPtr<IDispatch> window = Get(application_.Get(), "ActivePageWindow").ToDispatch();
  if (!window) return nullptr;
  return std::make_unique<DispatchPageWindow>(std::move(window));
}

}  // namespace tervane::win32
