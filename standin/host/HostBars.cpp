// The command bars in the window, and button presses.
#include "om/OutlookCalls.h"
#include "standin/host/CommandBars.h"
#include "standin/host/Host.h"

namespace host {

std::vector<BarRecord> THost::Bars() const {
  std::vector<BarRecord> records;
  if (bars_) {
    for (const TComPtr<HostBar>& bar : bars_->Bars()) records.push_back(bar->Snapshot());
  }
  return records;
}

void THost::RefreshBars() {
  std::vector<BarView> views;
  std::vector<BarRecord> records = Bars();
  for (size_t i = 0; i < records.size(); ++i) {
    if (!records[i].visible) continue;
    BarView view{i, records[i].name, {}};
    for (const ButtonRecord& button : records[i].buttons) view.captions.push_back(button.caption);
    views.push_back(std::move(view));
  }
  window_.ShowBars(views);
}

int THost::ClickButton(std::wstring_view caption, size_t occurrence) {
  std::vector<BarRecord> records = Bars();
  for (size_t bar = 0; bar < records.size(); ++bar) {
    for (size_t button = 0; button < records[bar].buttons.size(); ++button) {
      HWND shown = window_.ButtonWindow(bar, button);
      if (records[bar].buttons[button].caption != caption || shown == nullptr) continue;
      if (occurrence-- != 0) continue;
      lastClickSinks_ = -1;
      SendMessageW(shown, BM_CLICK, 0, 0);
      return lastClickSinks_;
    }
  }
  return -1;
}

void THost::OnButton(size_t bar, size_t button) {
  if (!bars_ || bar >= bars_->Bars().size()) return;
  const HostControls& controls = bars_->Bars()[bar]->Controls();
  if (button >= controls.Buttons().size()) return;
  TComPtr<HostButton> pressed = TComPtr<HostButton>::Share(controls.Buttons()[button].Get());
  lastClickSinks_ = pressed->Click();
  Log(L"Click \"" + pressed->Record().caption + L"\": " + std::to_wstring(lastClickSinks_) + L" sink(s)");
}

// The folders of every store, indented by depth (three levels).
void THost::ShowFolders() {
  std::vector<std::wstring> lines;
  auto walk = [&lines](auto& self, _Folders* folders, int depth) -> void {
    for (TComPtr<MAPIFolder> folder = om::GetFirst(folders); folder; folder = om::GetNext(folders)) {
      lines.push_back(std::wstring(depth * 4, L' ') + om::GetName(folder.Get()));
      if (depth < 2) self(self, om::GetFolders(folder.Get()).Get(), depth + 1);
    }
  };
  try {
    TComPtr<_NameSpace> session = om::GetNamespace(standinApplication_.Get(), L"MAPI");
    walk(walk, om::GetFolders(session.Get()).Get(), 0);
  } catch (const EOleException&) {
    lines.push_back(L"(the folders cannot be read)");
  }
  window_.ShowFolders(lines);
}

}  // namespace host
