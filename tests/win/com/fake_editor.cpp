#include "tests/win/com/fake_editor.h"

#include <olectl.h>

#include <algorithm>
#include <cwctype>

#include "addin/platform/win32/com_object.h"
#include "addin/platform/win32/dispatch/adopt.h"
#include "addin/platform/win32/dispatch/host_identifiers.h"

namespace tervane::testing {
namespace {

bool SameName(const std::wstring& a, const wchar_t* b) {
  const std::wstring other(b);
  return a.size() == other.size() &&
         std::equal(a.begin(), a.end(), other.begin(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

int IntOf(const VARIANT* value) {
  VARIANT number;
  ::VariantInit(&number);
  if (FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(value), 0, VT_I4))) {
    throw Raised{DISP_E_TYPEMISMATCH, L"Type mismatch"};
  }
  return number.lVal;
}

const VARIANT* Argument(const Arguments& args, std::size_t index) {
  static VARIANT missing = [] {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
  }();
  return index < args.size() ? args[index] : &missing;
}

std::wstring Describe(const VARIANT* value) { return IsMissing(value) ? L"-" : TextOf(value); }

}  // namespace

void SetText(VARIANT* result, const std::wstring& text) {
  if (!result) return;
  result->vt = VT_BSTR;
  result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SetObject(VARIANT* result, IDispatch* object) {
  if (!result) return;
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  if (object) object->AddRef();
}

std::wstring TextOf(const VARIANT* value) {
  VARIANT text;
  ::VariantInit(&text);
  if (FAILED(::VariantChangeType(&text, const_cast<VARIANT*>(value), 0, VT_BSTR))) {
    throw Raised{DISP_E_TYPEMISMATCH, L"Type mismatch"};
  }
  std::wstring result(text.bstrVal, ::SysStringLen(text.bstrVal));
  ::VariantClear(&text);
  return result;
}

bool IsMissing(const VARIANT* value) {
  return value->vt == VT_ERROR && value->scode == DISP_E_PARAMNOTFOUND;
}

HRESULT FakeObject::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FakeObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT FakeObject::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakeObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  for (UINT n = 0; n < count; ++n) ids[n] = DISPID_UNKNOWN;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (!members_[i].name.empty() && SameName(members_[i].name, names[0])) {
      ids[0] = static_cast<DISPID>(i + 1);
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT FakeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT*) {
  const Defined* member = nullptr;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    const bool isDefault = members_[i].name.empty();
    if ((id == DISPID_VALUE && isDefault) || (!isDefault && id == static_cast<DISPID>(i + 1))) {
      member = &members_[i];
    }
  }
  if (!member) return DISP_E_MEMBERNOTFOUND;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put != (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)) {
    return put ? DISP_E_PARAMNOTFOUND : DISP_E_NONAMEDARGS;
  }
  Arguments args;
  for (UINT i = params->cArgs; i > 0; --i) args.push_back(&params->rgvarg[i - 1]);
  const std::size_t required = put ? 1 : member->required;
  if (args.size() < required) return DISP_E_BADPARAMCOUNT;
  for (std::size_t i = 0; i < required; ++i) {
    if (IsMissing(args[i])) return DISP_E_PARAMNOTFOUND;
  }
  if (result) ::VariantInit(result);
  try {
    member->member(flags, args, result);
    return S_OK;
  } catch (const Raised& raised) {
    if (exception) {
      *exception = EXCEPINFO{};
      exception->scode = raised.scode;
      exception->bstrDescription = ::SysAllocString(raised.description.c_str());
    }
    return DISP_E_EXCEPTION;
  }
}

void FakeObject::Define(const std::wstring& name, Member member, std::size_t required) {
  members_.push_back({name, std::move(member), required});
}

void FakeObject::DefineText(const std::wstring& name, std::wstring& value) {
  Define(name, [&value](WORD flags, const Arguments& args, VARIANT* result) {
    if (flags & DISPATCH_PROPERTYPUT) {
      value = TextOf(args.at(0));
    } else {
      SetText(result, value);
    }
  });
}

// The connection point of a control for the button events interface.
class FakeControl::Point final : public win32::ComObject<IConnectionPoint> {
 public:
  explicit Point(FakeControl* control) : control_(control) {}
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = win32::kDiidCommandBarButtonEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
    *c = control_.Get();
    control_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (control_->sinksRefused) return CONNECT_E_ADVISELIMIT;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(win32::kDiidCommandBarButtonEvents,
                                    reinterpret_cast<void**>(events.GetAddressOf())))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = control_->nextCookie_++;
    control_->sinks_[*cookie] = events;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    return control_->sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  bool AnswersTo(REFIID riid) const override { return riid == IID_IConnectionPoint; }

  ComPtr<FakeControl> control_;
};

FakeControl::FakeControl(FakeCommandBar* bar) : bar_(bar) {
  DefineText(L"Caption", caption);
  Define(L"Tag", [this](WORD flags, const Arguments& args, VARIANT* result) {
    if (flags & DISPATCH_PROPERTYPUT) {
      tag = TextOf(args.at(0));
    } else if (tagUnreadable) {
      throw Raised{E_ACCESSDENIED, L"Tag cannot be read"};
    } else {
      SetText(result, tag);
    }
  });
  DefineText(L"OnAction", onAction);
  Define(L"Style", [this](WORD flags, const Arguments& args, VARIANT* result) {
    if (!isButton) throw Raised{DISP_E_MEMBERNOTFOUND, L"not a button"};
    if (flags & DISPATCH_PROPERTYPUT) {
      style = IntOf(args.at(0));
    } else if (result) {
      result->vt = VT_I4;
      result->lVal = style;
    }
  });
  Define(L"Delete", [this](WORD, const Arguments&, VARIANT*) {
    if (deleteRefused) throw Raised{E_ACCESSDENIED, L"Delete refused"};
    if (!bar_) throw Raised{E_FAIL, L"The control has been deleted"};
    bar_->Remove(this);
  });
}

HRESULT FakeControl::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IConnectionPointContainer && isButton) {
    *object = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
  }
  // The button interface is dual: its first members are IDispatch's.
  if (riid == win32::kIidCommandBarButton && isButton) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  return FakeObject::QueryInterface(riid, object);
}

HRESULT FakeControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  *point = nullptr;
  if (riid != win32::kDiidCommandBarButtonEvents) return CONNECT_E_NOCONNECTION;
  *point = new Point(this);
  return S_OK;
}

HRESULT FakeControl::Click() {
  HRESULT hr = S_OK;
  std::vector<ComPtr<IDispatch>> sinks;
  for (const auto& [cookie, sink] : sinks_) sinks.push_back(sink);
  for (const ComPtr<IDispatch>& sink : sinks) {
    // Click(Ctrl, CancelDefault), last argument first.
    VARIANT_BOOL cancelDefault = VARIANT_FALSE;
    VARIANT args[2];
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancelDefault;
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = static_cast<IDispatch*>(this);
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO exception{};
    hr = sink->Invoke(win32::kDispidButtonClick, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                      &exception, nullptr);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
  }
  return hr;
}

FakeCommandBar::FakeCommandBar() {
  Define(L"FindControl", [this](WORD, const Arguments& args, VARIANT* result) {
    lastFind.clear();
    for (std::size_t i = 0; i < 5; ++i) lastFind.push_back(Describe(Argument(args, i)));
    const VARIANT* tag = Argument(args, 2);
    ComPtr<FakeControl> found;
    if (!IsMissing(tag)) {
      const std::wstring wanted = TextOf(tag);
      for (const ComPtr<FakeControl>& control : controls) {
        if (control->tag == wanted) {
          found = control;
          break;
        }
      }
    }
    SetObject(result, found.Get());
  });
  // The control collection is this bar's own view of its controls.
  Define(L"Controls", [this](WORD, const Arguments&, VARIANT* result) { SetObject(result, this); });
  Define(L"Add", [this](WORD, const Arguments& args, VARIANT* result) {
    lastAdd.clear();
    for (std::size_t i = 0; i < 5; ++i) lastAdd.push_back(Describe(Argument(args, i)));
    ComPtr<FakeControl> control = Make<FakeControl>(this);
    if (!IsMissing(Argument(args, 0))) control->type = IntOf(Argument(args, 0));
    if (!IsMissing(Argument(args, 2))) control->parameter = TextOf(Argument(args, 2));
    controls.push_back(control);
    SetObject(result, control.Get());
  });
  Define(L"Count", [this](WORD, const Arguments&, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = static_cast<LONG>(controls.size());
  });
  Define(
      L"Item",
      [this](WORD, const Arguments& args, VARIANT* result) {
        const int index = IntOf(Argument(args, 0));
        if (index == failingItem) throw Raised{E_FAIL, L"Method 'Item' failed"};
        if (index < 1 || index > static_cast<int>(controls.size())) {
          throw Raised{E_INVALIDARG, L"Invalid procedure call or argument"};
        }
        SetObject(result, controls[static_cast<std::size_t>(index - 1)].Get());
      },
      1);
}

FakeCommandBar::~FakeCommandBar() {
  for (const ComPtr<FakeControl>& control : controls) control->bar_ = nullptr;
}

ComPtr<FakeControl> FakeCommandBar::AddControl(const std::wstring& caption,
                                               const std::wstring& tag) {
  ComPtr<FakeControl> control = Make<FakeControl>(this);
  control->caption = caption;
  control->tag = tag;
  controls.push_back(control);
  return control;
}

void FakeCommandBar::Restart() {
  for (ComPtr<FakeControl>& control : controls) {
    ComPtr<FakeControl> fresh = Make<FakeControl>(this);
    fresh->caption = control->caption;
    fresh->tag = control->tag;
    fresh->onAction = control->onAction;
    fresh->style = control->style;
    fresh->type = control->type;
    fresh->parameter = control->parameter;
    fresh->isButton = control->isButton;
    control->bar_ = nullptr;
    control = fresh;
  }
}

void FakeCommandBar::Remove(FakeControl* control) {
  control->bar_ = nullptr;
  std::erase_if(controls, [control](const ComPtr<FakeControl>& c) { return c.Get() == control; });
}

namespace {

// The application's CommandBars collection: the bars by name.
class FakeCommandBars final : public FakeObject {
 public:
  explicit FakeCommandBars(std::map<std::wstring, ComPtr<FakeCommandBar>> bars)
      : bars_(std::move(bars)) {
    Define(
        L"Item",
        [this](WORD, const Arguments& args, VARIANT* result) {
          const auto found = bars_.find(TextOf(Argument(args, 0)));
          if (found == bars_.end())
            throw Raised{E_INVALIDARG, L"Invalid procedure call or argument"};
          SetObject(result, found->second.Get());
        },
        1);
  }

 private:
  std::map<std::wstring, ComPtr<FakeCommandBar>> bars_;
};

}  // namespace

FakeApplication::FakeApplication() {
  Define(L"CommandBars", [this](WORD, const Arguments&, VARIANT* result) {
    SetObject(result, Make<FakeCommandBars>(bars).Get());
  });
}

FakeAddInInstance::FakeAddInInstance() { DefineText(L"ProgId", progId); }

namespace {

class FakeLink final : public FakeObject {
 public:
  FakeLink(std::shared_ptr<FakePage> page, std::size_t index) {
    const FakePage::Link link = page->links.at(index);
    Define(L"href",
           [link](WORD, const Arguments&, VARIANT* result) { SetText(result, link.href); });
    Define(
        L"getAttribute",
        [link](WORD, const Arguments& args, VARIANT* result) {
          if (TextOf(Argument(args, 0)) != L"href") {
            result->vt = VT_NULL;
          } else if (!IsMissing(Argument(args, 1)) && IntOf(Argument(args, 1)) == 2) {
            SetText(result, link.written.empty() ? link.href : link.written);
          } else {
            SetText(result, link.href);
          }
        },
        1);
  }
};

class FakeLinks final : public FakeObject {
 public:
  explicit FakeLinks(std::shared_ptr<FakePage> page) {
    Define(L"length", [page](WORD, const Arguments&, VARIANT* result) {
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(page->links.size());
    });
    Define(
        L"item",
        [page](WORD, const Arguments& args, VARIANT* result) {
          const int index = IntOf(Argument(args, 0));
          if (index < 0 || index >= static_cast<int>(page->links.size())) {
            result->vt = VT_NULL;
            return;
          }
          SetObject(result, Make<FakeLink>(page, static_cast<std::size_t>(index)).Get());
        },
        1);
  }
};

class FakeBody final : public FakeObject {
 public:
  explicit FakeBody(std::shared_ptr<FakePage> page) {
    Define(
        L"insertAdjacentHTML",
        [page](WORD, const Arguments& args, VARIANT*) {
          page->inserted.emplace_back(TextOf(Argument(args, 0)), TextOf(Argument(args, 1)));
        },
        2);
  }
};

class FakeLocation final : public FakeObject {
 public:
  explicit FakeLocation(std::shared_ptr<FakePage> page) {
    Define(L"",
           [page](WORD, const Arguments&, VARIANT* result) { SetText(result, page->location); });
    Define(L"href",
           [page](WORD, const Arguments&, VARIANT* result) { SetText(result, page->location); });
  }
};

class FakeDocument final : public FakeObject {
 public:
  explicit FakeDocument(std::shared_ptr<FakePage> page) {
    Define(L"location", [page](WORD, const Arguments&, VARIANT* result) {
      SetObject(result, Make<FakeLocation>(page).Get());
    });
    Define(L"title",
           [page](WORD, const Arguments&, VARIANT* result) { SetText(result, page->title); });
    Define(L"URL", [page](WORD, const Arguments&, VARIANT* result) { SetText(result, page->url); });
    Define(L"links", [page](WORD, const Arguments&, VARIANT* result) {
      SetObject(result, Make<FakeLinks>(page).Get());
    });
    Define(L"body", [page](WORD, const Arguments&, VARIANT* result) {
      SetObject(result, Make<FakeBody>(page).Get());
    });
  }
};

class FakePageWindow final : public FakeObject {
 public:
  explicit FakePageWindow(std::shared_ptr<FakePage> page) {
    Define(L"Document", [page](WORD, const Arguments&, VARIANT* result) {
      SetObject(result, Make<FakeDocument>(page).Get());
    });
  }
};

}  // namespace

FakePageApplication::FakePageApplication() {
  Define(L"ActivePageWindow", [this](WORD, const Arguments&, VARIANT* result) {
    // No page: an empty object reference (Nothing), or an error.
    if (!page && noPageRaises) throw Raised{E_FAIL, L"No page is active"};
    SetObject(result, page ? Make<FakePageWindow>(page).Get() : nullptr);
  });
}

class PageApplicationRegistration::Factory final : public win32::ComObject<IClassFactory> {
 public:
  explicit Factory(ComPtr<FakePageApplication> application)
      : application_(std::move(application)) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** object) override {
    ++creations;
    return application_->QueryInterface(riid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  int creations = 0;
  /// Dropped at revocation, so that only the add-in can keep the object.
  ComPtr<FakePageApplication> application_;

 private:
  bool AnswersTo(REFIID riid) const override { return riid == IID_IClassFactory; }
};

PageApplicationRegistration::PageApplicationRegistration(ComPtr<FakePageApplication> application) {
  factory_ = win32::Adopt(new Factory(std::move(application)));
  ::CoRegisterClassObject(win32::kClsidPageApplication, factory_.Get(), CLSCTX_LOCAL_SERVER,
                          REGCLS_MULTIPLEUSE, &cookie_);
}

PageApplicationRegistration::~PageApplicationRegistration() {
  ::CoRevokeClassObject(cookie_);
  factory_->application_.Reset();
}

int PageApplicationRegistration::Creations() const { return factory_->creations; }

}  // namespace tervane::testing
