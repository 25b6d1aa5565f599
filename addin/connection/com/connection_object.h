// The COM class AddInDesigner1: what the editor creates through the class
// factory and drives through IDTExtensibility2. It owns the Win32 platform
// and the platform-neutral connection object, and forwards each call.
#pragma once

#include <ole2.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>

#include "addin/connection/AddInDesigner1.h"
#include "addin/connection/com/identifiers.h"
#include "addin/platform/platform.h"
#include "addin/platform/win32/dispatch/editor_dispatch.h"
#include "addin/platform/win32/win32_platform.h"

namespace tervane::com {

/// IDTExtensibility2 is dual: its IDispatch half is served from the
/// IDTExtensibility2 type information of the library embedded in this DLL.
/// _AddInDesigner1, the class's default interface, has no members of its
/// own, so the same vtable serves it. Failures carry error information, as
/// ISupportErrorInfo says.
class ConnectionObject final : public IDTExtensibility2,
                               public ISupportErrorInfo,
                               private win32::EventOwner {
 public:
  /// A new object, answering `riid`.
  static HRESULT Create(REFIID riid, void** object) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale,
                                        ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) noexcept override;

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst,
                                         SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode,
                                            SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) noexcept override;

 private:
  ConnectionObject();
  ~ConnectionObject();
  ConnectionObject(const ConnectionObject&) = delete;
  ConnectionObject& operator=(const ConnectionObject&) = delete;

  /// The IDTExtensibility2 type information, loaded on first use.
  HRESULT TypeInfo(ITypeInfo** info) noexcept;

  /// A click or a window message: the object stays alive, and the dialog
  /// loaded, until the event ends.
  void EventStarted() noexcept override;
  void EventEnded() noexcept override;

  std::atomic<ULONG> refs_{1};
  Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
  // Declared before the designer, so that they outlive it: the designer's
  // destruction unloads the dialog through them.
  win32::Win32DriveSystem drives_;
  win32::Win32FileSystem files_;
  win32::Win32MessageBoxes boxes_;
  win32::Win32Shell shell_;
  win32::Win32DialogViewFactory views_;
  win32::DispatchPageApplication editor_;
  Platform platform_;
  std::unique_ptr<AddInDesigner1> designer_;
};

}  // namespace tervane::com
