// A stand-in for the editor, as IDispatch objects written for the tests: the
// host application with its command bars and controls (Click through a
// connection point), the add-in instance, and the editor page application
// object with its page window, document, links and body. Members are found
// by name, case-insensitively, as the automation runtime does, and called as
// strictly: a property is written only with DISPID_PROPERTYPUT as its named
// argument, no other named argument is taken, and a member's required
// arguments must be given. Every object counts itself, so a test can tell
// whether anyone still holds one.
#pragma once

#include <ocidl.h>
#include <ole2.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/platform/win32/dispatch/adopt.h"

namespace tervane::testing {

using Microsoft::WRL::ComPtr;

/// Thrown by a member: the caller gets DISP_E_EXCEPTION with this
/// exception information.
struct Raised {
  HRESULT scode;
  std::wstring description;
};

/// Arguments in the order the caller wrote them; missing optional arguments
/// are VT_ERROR/DISP_E_PARAMNOTFOUND.
using Arguments = std::vector<const VARIANT*>;
using Member = std::function<void(WORD flags, const Arguments& args, VARIANT* result)>;

class FakeObject : public IDispatch {
 public:
  /// Objects alive now, of every kind.
  static long Live() { return live_; }
  ULONG Refs() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override;

 protected:
  FakeObject() { ++live_; }
  virtual ~FakeObject() { --live_; }
  /// `name` "" is the default member (DISPID_VALUE). Calls with fewer than
  /// `required` arguments, or with one of those missing, fail.
  void Define(const std::wstring& name, Member member, std::size_t required = 0);
  /// A read-write text property kept in `value`.
  void DefineText(const std::wstring& name, std::wstring& value);

 private:
  static inline std::atomic<long> live_{0};
  std::atomic<ULONG> refs_{1};
  struct Defined {
    std::wstring name;
    Member member;
    std::size_t required;
  };
  std::vector<Defined> members_;
};

/// Creates a fake object with a reference count of one, owned by the result.
template <typename T, typename... A>
ComPtr<T> Make(A&&... args) {
  return win32::Adopt(new T(std::forward<A>(args)...));
}

void SetText(VARIANT* result, const std::wstring& text);
void SetObject(VARIANT* result, IDispatch* object);
std::wstring TextOf(const VARIANT* value);
bool IsMissing(const VARIANT* value);

class FakeCommandBar;

class FakeControl final : public FakeObject, public IConnectionPointContainer {
 public:
  std::wstring caption, tag, onAction;
  int style = 0;
  int type = 1;
  std::wstring parameter;
  /// Whether the control is a button (answers to the button interface and
  /// has the button events).
  bool isButton = true;
  /// Failures the control raises: reading Tag, Delete, and advising a sink
  /// on its Click.
  bool tagUnreadable = false;
  bool deleteRefused = false;
  bool sinksRefused = false;

  /// Raises Click on every advised sink, as the editor does; the result of
  /// the last sink.
  HRESULT Click();
  std::size_t Sinks() const { return sinks_.size(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return FakeObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return FakeObject::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;
  explicit FakeControl(FakeCommandBar* bar);

 private:
  friend class FakeCommandBar;

  class Point;
  FakeCommandBar* bar_;  // null once deleted or the bar is gone
  std::map<DWORD, ComPtr<IDispatch>> sinks_;
  DWORD nextCookie_ = 1;
};

class FakeCommandBar final : public FakeObject {
 public:
  std::vector<ComPtr<FakeControl>> controls;
  /// Controls.Item raises for this index (from 1); 0 for none.
  int failingItem = 0;
  /// How the last FindControl was called: its five arguments, "-" where
  /// missing.
  std::vector<std::wstring> lastFind;
  /// How Add was last called, the same way.
  std::vector<std::wstring> lastAdd;

  ComPtr<FakeControl> AddControl(const std::wstring& caption, const std::wstring& tag);
  void Remove(FakeControl* control);
  /// The editor starts again: every control is a new object with the old
  /// one's data, and nothing is advised on it.
  void Restart();
  FakeCommandBar();
  ~FakeCommandBar() override;
};

class FakeApplication final : public FakeObject {
 public:
  std::map<std::wstring, ComPtr<FakeCommandBar>> bars;
  FakeApplication();
};

class FakeAddInInstance final : public FakeObject {
 public:
  std::wstring progId = L"Tervane.AddInDesigner1";
  FakeAddInInstance();
};

/// The page that the editor shows, as plain data.
struct FakePage {
  struct Link {
    std::wstring href;     // as the editor reports it
    std::wstring written;  // as written in the page; empty: the same as href
  };
  std::wstring location;
  std::wstring title;
  std::wstring url;
  std::vector<Link> links;
  /// Every insertAdjacentHTML: where, then the markup.
  std::vector<std::pair<std::wstring, std::wstring>> inserted;
};

/// The editor page application object; `page` null: no page open, which
/// ActivePageWindow answers with Nothing, or with an error where
/// `noPageRaises`.
class FakePageApplication final : public FakeObject {
 public:
  std::shared_ptr<FakePage> page;
  bool noPageRaises = false;
  FakePageApplication();
};

/// Registers `application` as the running editor's page application object
/// (class factory in the class table) until destroyed.
class PageApplicationRegistration {
 public:
  explicit PageApplicationRegistration(ComPtr<FakePageApplication> application);
  ~PageApplicationRegistration();
  PageApplicationRegistration(const PageApplicationRegistration&) = delete;
  PageApplicationRegistration& operator=(const PageApplicationRegistration&) = delete;
  /// How often the add-in asked the class for an object.
  int Creations() const;

 private:
  class Factory;
  ComPtr<Factory> factory_;
  DWORD cookie_ = 0;
};

}  // namespace tervane::testing
