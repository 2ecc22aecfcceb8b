// The Office add-in connection interface, as the add-in designer library
// publishes it: Outlook drives every COM add-in through it.
#pragma once

#include <windows.h>
#include <oaidl.h>

enum ext_ConnectMode { ext_cm_AfterStartup = 0, ext_cm_Startup = 1, ext_cm_External = 2, ext_cm_CommandLine = 3 };
enum ext_DisconnectMode { ext_dm_HostShutdown = 0, ext_dm_UserClosed = 1 };

extern "C" const IID IID__IDTExtensibility2;  // {B65AD801-ABAF-11D0-BB8B-00A0C90F2744}

// Dual, base IDispatch; slots 7 to 11 after IDispatch's.
struct _IDTExtensibility2 : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                                 IDispatch* AddInInst, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};
