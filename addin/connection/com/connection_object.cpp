#include "addin/connection/com/connection_object.h"

#include <new>

#include "addin/connection/com/module.h"
#include "addin/platform/win32/dispatch/adopt.h"
#include "addin/platform/win32/dispatch/command_bars_dispatch.h"

namespace tervane::com {

using Microsoft::WRL::ComPtr;

ConnectionObject::ConnectionObject()
    : views_(ModuleInstance(), drives_, files_, boxes_, this),
      platform_{drives_, files_, boxes_, shell_, editor_, views_},
      designer_(std::make_unique<AddInDesigner1>(platform_)) {
  ObjectCreated();
}

ConnectionObject::~ConnectionObject() {
  designer_.reset();
  ObjectDestroyed();
}

HRESULT ConnectionObject::Create(REFIID riid, void** object) noexcept {
  try {
    const ComPtr<ConnectionObject> created = win32::Adopt(new ConnectionObject());
    return created->QueryInterface(riid, object);
  } catch (...) {
    return HResultFromCurrentException();
  }
}

// Every interface the class answers to but ISupportErrorInfo is the one dual
// vtable. (shlwapi's QISearch does the same, but XP exports it by ordinal
// only.)
HRESULT ConnectionObject::QueryInterface(REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (riid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
    AddRef();
    return S_OK;
  }
  for (const IID* iid : {&IID_IUnknown, &kIidExtensibility2, &kIidAddInDesigner1, &IID_IDispatch}) {
    if (riid == *iid) {
      *object = static_cast<IDTExtensibility2*>(this);
      AddRef();
      return S_OK;
    }
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectionObject::AddRef() noexcept { return ++refs_; }

ULONG ConnectionObject::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT ConnectionObject::InterfaceSupportsErrorInfo(REFIID riid) noexcept {
  return riid == kIidExtensibility2 ? S_OK : S_FALSE;
}

void ConnectionObject::EventStarted() noexcept {
  AddRef();
  designer_->EventStarted();
}

void ConnectionObject::EventEnded() noexcept {
  designer_->EventEnded();
  Release();
}

HRESULT ConnectionObject::TypeInfo(ITypeInfo** info) noexcept {
  try {
    if (!typeInfo_) {
      const std::wstring path = ModulePath();
      ComPtr<ITypeLib> library;
      HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
      if (FAILED(hr)) return hr;
      hr = library->GetTypeInfoOfGuid(kIidExtensibility2, &typeInfo_);
      if (FAILED(hr)) return hr;
    }
    return typeInfo_.CopyTo(info);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ConnectionObject::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT ConnectionObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return TypeInfo(info);
}

HRESULT ConnectionObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* ids) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  return ::DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT ConnectionObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception,
                                 UINT* argumentError) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = TypeInfo(&info);
  if (FAILED(hr)) return hr;
  return ::DispInvoke(static_cast<IDTExtensibility2*>(this), info.Get(), id, flags, params, result,
                      exception, argumentError);
}

HRESULT ConnectionObject::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                       IDispatch* AddInInst, SAFEARRAY**) noexcept {
  try {
    const std::unique_ptr<AddInInstance> addInInst = win32::MakeDispatchAddInInstance(AddInInst);
    designer_->OnConnection(win32::MakeDispatchHostApplication(Application, this),
                            static_cast<int>(ConnectMode), *addInInst);
    return S_OK;
  } catch (...) {
    return HResultFromCurrentException();
  }
}

HRESULT ConnectionObject::OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY**) noexcept {
  try {
    designer_->OnDisconnection(static_cast<int>(RemoveMode));
    return S_OK;
  } catch (...) {
    return HResultFromCurrentException();
  }
}

HRESULT ConnectionObject::OnAddInsUpdate(SAFEARRAY**) noexcept {
  designer_->OnAddInsUpdate();
  return S_OK;
}

HRESULT ConnectionObject::OnStartupComplete(SAFEARRAY**) noexcept {
  designer_->OnStartupComplete();
  return S_OK;
}

HRESULT ConnectionObject::OnBeginShutdown(SAFEARRAY**) noexcept {
  designer_->OnBeginShutdown();
  return S_OK;
}

}  // namespace tervane::com
