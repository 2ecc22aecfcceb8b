// The add-ins' ribbon in the window, and presses of its buttons.
#include "standin/host/Host.h"
#include "standin/host/Variants.h"

namespace host {
namespace {

constexpr wchar_t kExplorerRibbonId[] = L"Microsoft.Outlook.Explorer";

// The name a tab row shows: Outlook's name of a built-in tab, else the
// add-in's label.
std::wstring TabName(const RibbonGroupXml& group) {
  if (group.tabIdMso == L"TabMail") return L"Home";
  if (!group.tabIdMso.empty()) return group.tabIdMso;
  return group.tabLabel.empty() ? group.tabId : group.tabLabel;
}

}  // namespace

// Outlook 2010 and later ask an add-in for its explorer ribbon once it is
// connected, before OnStartupComplete; Outlook 2007 (--no-ribbon) and an
// Outlook without a main window do not.
void THost::LoadRibbon(TAddInConnection& addIn) {
  if (options_.noRibbon || options_.noExplorer) return;
  std::wstring xml;
  const HRESULT hr = addIn.AskRibbon(kExplorerRibbonId, &xml);
  if (hr == S_FALSE) return;
  if (FAILED(hr)) {
    Log(L"Ribbon of " + addIn.ProgId() + L": GetCustomUI failed: " + HexCode(hr));
    return;
  }
  if (xml.empty()) return;
  TComPtr<_Explorer> explorer;
  application_->ActiveExplorer(&explorer);
  std::wstring error;
  if (!ribbon_.Add(addIn.ProgId(), addIn.Callbacks(), xml, explorer.Get(), &error)) {
    Log(L"Ribbon of " + addIn.ProgId() + L" not shown: " + error);
    return;
  }
  for (const RibbonGroupRecord& group : ribbon_.Records()) {
    if (group.progId != addIn.ProgId()) continue;
    Log(L"Ribbon of " + addIn.ProgId() + L": group \"" + group.xml.label + L"\" on " + TabName(group.xml) + L", " +
        std::to_wstring(group.buttons.size()) + L" button(s)");
    for (const RibbonButtonRecord& button : group.buttons) {
      if (FAILED(button.imageResult)) Log(L"  " + button.xml.getImage + L" failed: " + HexCode(button.imageResult));
    }
  }
  RefreshRibbon();
}

void THost::RefreshRibbon() {
  std::vector<RibbonGroupView> views;
  const std::vector<RibbonGroupRecord> records = ribbon_.Records();
  for (size_t g = 0; g < records.size(); ++g) {
    RibbonGroupView view{g, TabName(records[g].xml), records[g].xml.label, {}};
    for (size_t b = 0; b < records[g].buttons.size(); ++b) {
      RibbonButtonView button{records[g].buttons[b].xml.label, records[g].buttons[b].xml.size == L"large"};
      SHORT type = PICTYPE_NONE;
      HANDLE image = ribbon_.Image(g, b, &type);
      if (type == PICTYPE_ICON) button.icon = static_cast<HICON>(image);
      if (type == PICTYPE_BITMAP) button.bitmap = static_cast<HBITMAP>(image);
      view.buttons.push_back(std::move(button));
    }
    views.push_back(std::move(view));
  }
  window_.ShowRibbon(views);
}

HRESULT THost::ClickRibbonButton(std::wstring_view label, size_t occurrence) {
  const std::vector<RibbonGroupRecord> records = ribbon_.Records();
  for (size_t group = 0; group < records.size(); ++group) {
    for (size_t button = 0; button < records[group].buttons.size(); ++button) {
      HWND shown = window_.RibbonButtonWindow(group, button);
      if (records[group].buttons[button].xml.label != label || shown == nullptr) continue;
      if (occurrence-- != 0) continue;
      lastRibbonAction_ = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
      SendMessageW(shown, BM_CLICK, 0, 0);
      return lastRibbonAction_;
    }
  }
  return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

void THost::OnRibbonButton(size_t group, size_t button) {
  const std::vector<RibbonGroupRecord> records = ribbon_.Records();
  if (group >= records.size() || button >= records[group].buttons.size()) return;
  const RibbonButtonXml pressed = records[group].buttons[button].xml;
  lastRibbonAction_ = ribbon_.Press(group, button);
  Log(L"Ribbon \"" + pressed.label + L"\": " + (pressed.onAction.empty() ? L"no onAction" : pressed.onAction) +
      L" " + HexCode(lastRibbonAction_));
}

}  // namespace host
