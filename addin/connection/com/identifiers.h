// The add-in's own identifiers as GUIDs, and the connection interface that
// the editor calls. IDTExtensibility2 is declared here as the editor expects
// it: the type library declares the same five members in the same order.
#pragma once

#include <ole2.h>

#include "addin/connection/registration_data.h"
#include "addin/platform/win32/dispatch/guid.h"

namespace tervane::com {

inline constexpr GUID kClsidAddInDesigner1 = win32::GuidFromText(registration::kClassId);
inline constexpr GUID kIidAddInDesigner1 = win32::GuidFromText(registration::kDefaultInterfaceId);
inline constexpr GUID kIidExtensibility2 =
    win32::GuidFromText(registration::kExtensibilityInterfaceId);
inline constexpr GUID kLibidTervane = win32::GuidFromText(registration::kTypeLibraryId);

enum ext_ConnectMode {
  ext_cm_AfterStartup = 0,
  ext_cm_Startup = 1,
  ext_cm_External = 2,
  ext_cm_CommandLine = 3,
};

enum ext_DisconnectMode {
  ext_dm_HostShutdown = 0,
  ext_dm_UserClosed = 1,
};

struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application,
                                                 ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                                 SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode,
                                                    SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

}  // namespace tervane::com
