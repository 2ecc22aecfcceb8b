// One COM add-in as the host drives it through _IDTExtensibility2:
// created from its ProgID, connected, told of start-up and shut-down,
// disconnected and released.
#pragma once

#include <string>

#include "om/AddInIntf.h"
#include "support/ComPtr.h"

namespace host {

class TAddInConnection {
 public:
  explicit TAddInConnection(std::wstring progId) : progId_(std::move(progId)) {}
  ~TAddInConnection() { Disconnect(ext_dm_HostShutdown); }
  TAddInConnection(const TAddInConnection&) = delete;
  TAddInConnection& operator=(const TAddInConnection&) = delete;

  const std::wstring& ProgId() const { return progId_; }
  bool Connected() const { return static_cast<bool>(addIn_); }

  // CLSIDFromProgID, CoCreateInstance (in-process), _IDTExtensibility2,
  // OnConnection with a new add-in instance object. A failure leaves the
  // add-in released.
  HRESULT Connect(IDispatch* application, ext_ConnectMode mode);
  // After OnConnection, as Office does: IRibbonExtensibility and
  // GetCustomUI(ribbonId) into *xml (empty: the add-in has no ribbon part
  // or none for that ribbon); S_FALSE when the add-in does not answer for
  // IRibbonExtensibility.
  HRESULT AskRibbon(const wchar_t* ribbonId, std::wstring* xml);
  // The add-in object's IDispatch, which ribbon callbacks are called on.
  IDispatch* Callbacks() const { return callbacks_.Get(); }
  void StartupComplete();
  void BeginShutdown();
  // OnDisconnection, then the add-in and its instance object are released.
  void Disconnect(ext_DisconnectMode mode);

 private:
  std::wstring progId_;
  TComPtr<_IDTExtensibility2> addIn_;
  TComPtr<IDispatch> instance_;
  TComPtr<IDispatch> callbacks_;
};

}  // namespace host
