// An Outlook-like host for COM add-ins, over the stand-in platform: it
// opens the profile, shows a main window with a command-bar area, loads
// the add-ins registered for Outlook with LoadBehavior 3 and drives them
// through _IDTExtensibility2 as Outlook does. Test and demo equipment.
// Everything runs on the thread that calls Start, a single-threaded
// apartment with a message loop.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "om/OutlookIntf.h"
#include "standin/host/AddInConnection.h"
#include "standin/host/BarRecords.h"
#include "standin/host/HostOptions.h"
#include "standin/host/HostRibbon.h"
#include "standin/host/HostWindow.h"
#include "standin/host/StandinPlatform.h"
#include "support/ComPtr.h"

namespace host {

class HostCommandBars;

// The host's live COM objects (application, explorer, bars, buttons,
// connection points, add-in instance objects).
long HostLiveObjects();

struct AddInState {
  std::wstring progId;
  HRESULT lastConnect = S_OK;  // of the last attempt
  bool connected = false;
};

class THost {
 public:
  explicit THost(HostOptions options);
  ~THost();
  THost(const THost&) = delete;
  THost& operator=(const THost&) = delete;

  // COM, the platform, the window, then the add-ins (OnConnection with
  // ext_cm_Startup, then OnStartupComplete). A failure is explained by Error().
  HRESULT Start();
  // The message loop until the window closes, then Shutdown.
  void Run();
  // OnBeginShutdown to every add-in, then OnDisconnection (ext_dm_HostShutdown);
  // everything released, the profile saved when asked. Safe to call twice.
  void Shutdown();

  // Presses the occurrence-th shown button with this caption (bars and
  // buttons in order), as a mouse click would; the number of sinks that
  // received Click, or -1 when no such button is shown.
  int ClickButton(std::wstring_view caption, size_t occurrence = 0);
  // Presses the occurrence-th shown ribbon button with this label, as a
  // mouse click would; the result of its onAction, or
  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND) when no such button is shown.
  HRESULT ClickRibbonButton(std::wstring_view label, size_t occurrence = 0);
  // A user's (dis)connection in the running host: OnConnection with
  // ext_cm_AfterStartup, or OnDisconnection with ext_dm_UserClosed.
  HRESULT Connect(const std::wstring& progId);
  HRESULT Disconnect(const std::wstring& progId);

  std::vector<BarRecord> Bars() const;
  // The ribbon groups the add-ins added, with their buttons.
  std::vector<RibbonGroupRecord> Ribbon() const { return ribbon_.Records(); }
  std::vector<AddInState> AddIns() const;
  const std::wstring& Error() const { return error_; }
  HWND Window() const { return window_.Handle(); }
  _Application* Application() const { return application_.Get(); }

 private:
  HRESULT OpenPlatform();
  void LoadAddIns();
  bool Wanted(const std::wstring& progId) const;
  TAddInConnection* Find(const std::wstring& progId);
  HRESULT ConnectOne(TAddInConnection& addIn, ext_ConnectMode mode);
  void ShowFolders();
  void RefreshBars();
  void OnButton(size_t bar, size_t button);
  void LoadRibbon(TAddInConnection& addIn);
  void RefreshRibbon();
  void OnRibbonButton(size_t group, size_t button);
  void Log(const std::wstring& line);
  void ShowStatus();

  HostOptions options_;
  std::wstring error_;
  bool comStarted_ = false;
  bool started_ = false;
  TStandinPlatform platform_;
  TComPtr<_Application> standinApplication_;
  Notifier notifier_;
  TComPtr<HostCommandBars> bars_;
  TComPtr<_Application> application_;
  THostWindow window_;
  std::vector<std::unique_ptr<TAddInConnection>> addIns_;
  std::vector<HRESULT> lastConnect_;  // beside addIns_
  int lastClickSinks_ = -1;
  THostRibbon ribbon_;
  HRESULT lastRibbonAction_ = S_FALSE;
};

}  // namespace host
