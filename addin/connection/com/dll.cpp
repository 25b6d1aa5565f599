// The module plumbing of Tervane.dll: its instance handle, the count of live
// objects and locks, a class factory per creatable class, and the four
// exports (named in Tervane.def).
#include <ole2.h>
#include <olectl.h>

#include <atomic>
#include <exception>
#include <new>
#include <string>

#include "addin/connection/com/connection_object.h"
#include "addin/connection/com/identifiers.h"
#include "addin/connection/com/module.h"
#include "addin/connection/com/registration.h"
#include "addin/platform/error.h"
#include "addin/platform/win32/com_object.h"
#include "addin/platform/win32/dispatch/click_sink.h"
#include "addin/platform/win32/dispatch/variant.h"

namespace tervane::com {
namespace {

HINSTANCE moduleInstance = nullptr;
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

using CreateFunction = HRESULT (*)(REFIID riid, void** object);

struct ClassEntry {
  const CLSID* clsid;
  CreateFunction create;
};

const ClassEntry kClasses[] = {
    {&kClsidAddInDesigner1, &ConnectionObject::Create},
};

class ClassFactory final : public win32::ComObject<IClassFactory> {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) { ObjectCreated(); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                           void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(riid, object);
  }
  // An unlock without its lock is ignored: the count never goes below zero.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock) {
      ++serverLocks;
      return S_OK;
    }
    long locks = serverLocks.load();
    while (locks > 0 && !serverLocks.compare_exchange_weak(locks, locks - 1)) {
    }
    return S_OK;
  }

 private:
  ~ClassFactory() override { ObjectDestroyed(); }
  bool AnswersTo(REFIID riid) const override { return riid == IID_IClassFactory; }

  CreateFunction create_;
};

}  // namespace

HINSTANCE ModuleInstance() { return moduleInstance; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(moduleInstance, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ObjectCreated() { ++liveObjects; }
void ObjectDestroyed() { --liveObjects; }

HRESULT HResultFromCurrentException() noexcept {
  HRESULT hr = E_FAIL;
  const char* description = "";
  try {
    throw;
  } catch (const Error& e) {
    // Numbers below zero are HRESULTs already; others are the automation
    // runtime's error numbers, which callers see in the control facility.
    hr = e.Number() < 0 ? e.Number() : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, e.Number());
    description = e.what();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    description = e.what();
  } catch (...) {
  }
  // The exception, and the text it owns, live until this function returns.
  try {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
      const win32::UniqueBstr text = win32::MakeBstr(description);
      create->SetDescription(text.get());
      create->SetGUID(kIidExtensibility2);
      Microsoft::WRL::ComPtr<IErrorInfo> info;
      if (SUCCEEDED(create.As(&info))) ::SetErrorInfo(0, info.Get());
    }
  } catch (...) {
  }
  return hr;
}

}  // namespace tervane::com

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  // Thread notifications stay on: the static runtime frees each thread's
  // data at its detach.
  if (reason == DLL_PROCESS_ATTACH) tervane::com::moduleInstance = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  using namespace tervane::com;
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const ClassEntry& entry : kClasses) {
    if (*entry.clsid != clsid) continue;
    ClassFactory* factory = new (std::nothrow) ClassFactory(entry.create);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  using namespace tervane::com;
  return liveObjects == 0 && serverLocks == 0 && tervane::win32::LiveClickSinkCount() == 0
             ? S_OK
             : S_FALSE;
}

STDAPI DllRegisterServer() {
  try {
    const std::wstring path = tervane::com::ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    return tervane::com::RegisterServer(path);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() {
  try {
    const std::wstring path = tervane::com::ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    return tervane::com::UnregisterServer(path);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
