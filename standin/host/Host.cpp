#include "standin/host/Host.h"

#include <cstdio>

#include "standin/host/CommandBars.h"
#include "standin/host/OutlookObjects.h"

namespace host {

long HostLiveObjects() { return LiveObjects(); }

THost::THost(HostOptions options)
    : options_(std::move(options)),
      window_([this](size_t bar, size_t button) { OnButton(bar, button); },
              [this](size_t group, size_t button) { OnRibbonButton(group, button); }) {}

THost::~THost() { Shutdown(); }

HRESULT THost::Start() {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) {
    error_ = L"the thread is not a single-threaded apartment";
    return hr;
  }
  comStarted_ = true;
  started_ = true;
  hr = OpenPlatform();
  if (FAILED(hr)) return hr;
  if (!window_.Create(L"Quop Outlook host", options_.showWindow)) {
    error_ = L"cannot create the main window";
    return HRESULT_FROM_WIN32(GetLastError());
  }
  notifier_->changed = [this] { RefreshBars(); };
  RefreshBars();
  ShowFolders();
  LoadAddIns();
  ShowStatus();
  if (options_.exitAfterMs != 0) window_.CloseAfter(options_.exitAfterMs);
  if (options_.printReady) {
    std::printf("ready\n");
    std::fflush(stdout);
  }
  return S_OK;
}

// The stand-in's application, and the host's application, explorer and
// command bars over it.
HRESULT THost::OpenPlatform() {
  HRESULT hr = platform_.Open(options_.profile, &error_);
  if (FAILED(hr)) return hr;
  hr = platform_.CreateApplication(&standinApplication_);
  if (FAILED(hr)) {
    error_ = L"the stand-in gives no Application object (no profile?)";
    return hr;
  }
  notifier_ = std::make_shared<BarChangeNotifier>();
  bars_ = TComPtr<HostCommandBars>(new HostCommandBars(notifier_, options_.refuseDuplicateBars));
  TComPtr<_Explorer> explorer;
  if (!options_.noExplorer) explorer = NewHostExplorer(bars_.Get());
  // Outlook 2010 (14) brought the explorer's ribbon; 2007 (12) had none.
  application_ = NewHostApplication(TComPtr<_Application>::Share(standinApplication_.Get()), std::move(explorer),
                                    options_.noRibbon ? L"12.0.0.6423" : L"16.0.0.4266");
  return S_OK;
}

void THost::Run() {
  MSG message;
  while (window_.Handle() != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  Shutdown();
}

void THost::Shutdown() {
  if (!started_) return;
  started_ = false;
  for (auto& addIn : addIns_) addIn->BeginShutdown();
  for (auto& addIn : addIns_) addIn->Disconnect(ext_dm_HostShutdown);
  ribbon_.Clear();
  addIns_.clear();
  lastConnect_.clear();
  if (bars_) bars_->Close();
  if (notifier_) notifier_->changed = nullptr;
  window_.Destroy();
  application_.Reset();
  bars_.Reset();
  standinApplication_.Reset();
  if (!options_.saveProfile.empty() && FAILED(platform_.SaveProfile(options_.saveProfile))) {
    std::fwprintf(stderr, L"cannot save the profile to %ls\n", options_.saveProfile.c_str());
  }
  platform_.Close();
  if (comStarted_) CoUninitialize();
  comStarted_ = false;
}

void THost::Log(const std::wstring& line) { window_.AddLogLine(line); }

}  // namespace host
