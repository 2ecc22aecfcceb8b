// Loading, connecting and disconnecting the registered add-ins.
#include "standin/host/AddInRegistry.h"
#include "standin/host/Host.h"
#include "standin/host/Variants.h"

namespace host {

bool THost::Wanted(const std::wstring& progId) const {
  if (options_.onlyAddIns.empty()) return true;
  for (const std::wstring& wanted : options_.onlyAddIns) {
    if (lstrcmpiW(wanted.c_str(), progId.c_str()) == 0) return true;
  }
  return false;
}

TAddInConnection* THost::Find(const std::wstring& progId) {
  for (auto& addIn : addIns_) {
    if (lstrcmpiW(addIn->ProgId().c_str(), progId.c_str()) == 0) return addIn.get();
  }
  return nullptr;
}

// Every add-in with LoadBehavior 3 is connected first; then each connected
// one hears that start-up is complete.
void THost::LoadAddIns() {
  for (const AddInEntry& entry : ReadAddInEntries()) {
    if (entry.loadBehavior != kLoadAtStartup || !Wanted(entry.progId)) continue;
    addIns_.push_back(std::make_unique<TAddInConnection>(entry.progId));
    lastConnect_.push_back(S_OK);
    ConnectOne(*addIns_.back(), ext_cm_Startup);
  }
  for (auto& addIn : addIns_) addIn->StartupComplete();
}

HRESULT THost::ConnectOne(TAddInConnection& addIn, ext_ConnectMode mode) {
  HRESULT hr = addIn.Connect(application_.Get(), mode);
  for (size_t i = 0; i < addIns_.size(); ++i) {
    if (addIns_[i].get() == &addIn) lastConnect_[i] = hr;
  }
  Log(SUCCEEDED(hr) ? L"Connected " + addIn.ProgId() : L"Not loaded " + addIn.ProgId() + L": " + HexCode(hr));
  if (SUCCEEDED(hr)) LoadRibbon(addIn);
  ShowStatus();
  return hr;
}

HRESULT THost::Connect(const std::wstring& progId) {
  TAddInConnection* addIn = Find(progId);
  if (addIn == nullptr) {
    addIns_.push_back(std::make_unique<TAddInConnection>(progId));
    lastConnect_.push_back(S_OK);
    addIn = addIns_.back().get();
  }
  return ConnectOne(*addIn, ext_cm_AfterStartup);
}

HRESULT THost::Disconnect(const std::wstring& progId) {
  TAddInConnection* addIn = Find(progId);
  if (addIn == nullptr || !addIn->Connected()) return S_FALSE;
  addIn->Disconnect(ext_dm_UserClosed);
  ribbon_.Remove(progId);
  RefreshRibbon();
  Log(L"Disconnected " + progId);
  ShowStatus();
  return S_OK;
}

std::vector<AddInState> THost::AddIns() const {
  std::vector<AddInState> states;
  for (size_t i = 0; i < addIns_.size(); ++i) {
    states.push_back({addIns_[i]->ProgId(), lastConnect_[i], addIns_[i]->Connected()});
  }
  return states;
}

void THost::ShowStatus() {
  size_t connected = 0;
  for (auto& addIn : addIns_) connected += addIn->Connected() ? 1 : 0;
  std::wstring text = std::to_wstring(connected) + L" add-in(s) connected";
  if (options_.noExplorer) text += L" - no explorer offered";
  window_.ShowStatus(text);
}

}  // namespace host
