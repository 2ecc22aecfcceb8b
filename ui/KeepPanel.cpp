#include "ui/KeepPanel.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "support/ModuleFolder.h"
#include "support/Utf8Text.h"

using results::EKeepRule;

namespace {

// Every rule the user can chain, in the order the list starts with.
constexpr EKeepRule kRules[] = {EKeepRule::ReceivedFirst,   EKeepRule::ReceivedLast,  EKeepRule::Largest,
                                EKeepRule::MostAttachments, EKeepRule::ReadOrFlagged, EKeepRule::PreferredFolder};

void Place(HWND hwnd, int x, int y, int w, int h) {
  SetWindowPos(hwnd, nullptr, x, y, std::max(0, w), std::max(0, h), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TKeepPanel::TKeepPanel(HWND parent, HFONT font, TRuleName ruleName)
    : FParent(parent), FFont(font), FRuleName(std::move(ruleName)) {
  FRules = Child("SysListView32", "",
                 LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                 idRules, true);
  ListView_SetExtendedListViewStyle(FRules, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 150;
  ListView_InsertColumn(FRules, 0, &column);
  FRuleUp = Child("BUTTON", "&Up", BS_PUSHBUTTON | WS_TABSTOP, idRuleUp);
  FRuleDown = Child("BUTTON", "Dow&n", BS_PUSHBUTTON | WS_TABSTOP, idRuleDown);
  FFoldersLabel = Child("STATIC", "Preferred folders:", SS_LEFT, idFoldersLabel);
  FFolders = Child("LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                   idFolders, true);
  FFolderAdd = Child("BUTTON", "A&dd", BS_PUSHBUTTON | WS_TABSTOP, idFolderAdd);
  FFolderRemove = Child("BUTTON", "Remo&ve", BS_PUSHBUTTON | WS_TABSTOP, idFolderRemove);
  FFolderUp = Child("BUTTON", "U&p", BS_PUSHBUTTON | WS_TABSTOP, idFolderUp);
  FFolderDown = Child("BUTTON", "D&own", BS_PUSHBUTTON | WS_TABSTOP, idFolderDown);
  SetChain(results::DefaultKeepChain());
}

HWND TKeepPanel::Child(const char* szClass, const char* szText, DWORD nStyle, int nId, bool wide) {
  const DWORD style = WS_CHILD | WS_VISIBLE | nStyle;
  const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId));
  // The lists show folder and rule names in any script; the buttons take
  // their captions from the language file as the other controls do.
  const HWND hwnd = wide ? CreateWindowExW(0, Utf8ToWide(szClass).c_str(), L"", style, 0, 0, 10, 10, FParent, id,
                                           OwnModule(), nullptr)
                         : CreateWindowExA(0, szClass, szText, style, 0, 0, 10, 10, FParent, id, OwnModule(), nullptr);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  return hwnd;
}

std::vector<TKeepPanel::TNamedControl> TKeepPanel::Controls() const {
  return {{"btnKeepUp", FRuleUp},         {"btnKeepDown", FRuleDown},           {"lblKeepFolders", FFoldersLabel},
          {"btnKeepAdd", FFolderAdd},     {"btnKeepRemove", FFolderRemove},     {"btnKeepFolderUp", FFolderUp},
          {"btnKeepFolderDown", FFolderDown}};
}

// --- the rule list -------------------------------------------------------------

std::vector<TKeepPanel::TRuleRow> TKeepPanel::ReadRules() const {
  std::vector<TRuleRow> rows;
  const int count = ListView_GetItemCount(FRules);
  for (int i = 0; i < count; ++i) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    SendMessageW(FRules, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    rows.push_back({static_cast<EKeepRule>(item.lParam), ListView_GetCheckState(FRules, i) != FALSE});
  }
  return rows;
}

void TKeepPanel::ShowRules(const std::vector<TRuleRow>& rows, int selected) {
  FChain.reset();
  ListView_DeleteAllItems(FRules);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const std::wstring text = Utf8ToWide(FRuleName(results::KeepRuleText(rows[i].rule)));
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = static_cast<LPARAM>(rows[i].rule);
    SendMessageW(FRules, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ListView_SetCheckState(FRules, i, rows[i].checked);
  }
  SelectRule(selected);
}

results::TKeepChain TKeepPanel::Chain() const {
  if (!FChain) FChain = ReadChain();
  return *FChain;
}

results::TKeepChain TKeepPanel::ReadChain() const {
  results::TKeepChain chain;
  for (const TRuleRow& row : ReadRules()) {
    if (!row.checked) continue;
    // A preferred-folder rule with no folders prefers nothing: left out.
    if (row.rule == EKeepRule::PreferredFolder && FFolderEntries.empty()) continue;
    chain.push_back({row.rule, row.rule == EKeepRule::PreferredFolder ? FFolderEntries : std::vector<std::string>{}});
  }
  return chain;
}

void TKeepPanel::SetChain(const results::TKeepChain& chain) {
  std::vector<TRuleRow> rows;
  FFolderEntries.clear();
  for (const results::TKeepStep& step : chain) {
    if (step.rule == EKeepRule::EarliestAdded) continue;
    if (step.rule == EKeepRule::PreferredFolder)
      FFolderEntries.insert(FFolderEntries.end(), step.folders.begin(), step.folders.end());
    const bool listed = std::any_of(rows.begin(), rows.end(), [&](const TRuleRow& r) { return r.rule == step.rule; });
    if (!listed) rows.push_back({step.rule, true});
  }
  for (EKeepRule rule : kRules)
    if (std::none_of(rows.begin(), rows.end(), [&](const TRuleRow& r) { return r.rule == rule; }))
      rows.push_back({rule, false});
  ShowRules(rows, 0);
  ShowFolders(-1);
}

std::vector<EKeepRule> TKeepPanel::RuleOrder() const {
  std::vector<EKeepRule> order;
  for (const TRuleRow& row : ReadRules()) order.push_back(row.rule);
  return order;
}



void TKeepPanel::SelectRule(int row) {
  ListView_SetItemState(FRules, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0) ListView_SetItemState(FRules, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int TKeepPanel::SelectedRule() const { return ListView_GetNextItem(FRules, -1, LVNI_SELECTED); }

void TKeepPanel::MoveRule(int delta) {
  const int from = SelectedRule();
  std::vector<TRuleRow> rows = ReadRules();
  const int to = from + delta;
  if (from < 0 || to < 0 || to >= static_cast<int>(rows.size())) return;
  std::swap(rows[from], rows[to]);
  ShowRules(rows, to);
}

// --- the folder list -----------------------------------------------------------

void TKeepPanel::ShowFolders(int selected) {
  FChain.reset();
  SendMessageW(FFolders, LB_RESETCONTENT, 0, 0);
  for (const std::string& folder : FFolderEntries)
    SendMessageW(FFolders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(folder).c_str()));
  SendMessageW(FFolders, LB_SETCURSEL, selected, 0);
}

void TKeepPanel::SelectFolder(int row) { SendMessageW(FFolders, LB_SETCURSEL, row, 0); }

int TKeepPanel::SelectedFolderRow() const { return static_cast<int>(SendMessageW(FFolders, LB_GETCURSEL, 0, 0)); }

void TKeepPanel::AddFolder() {
  const std::optional<std::string> folder = SelectedFolder ? SelectedFolder() : std::nullopt;
  if (!folder || folder->empty()) return;
  const auto found = std::find(FFolderEntries.begin(), FFolderEntries.end(), *folder);
  if (found == FFolderEntries.end()) FFolderEntries.push_back(*folder);
  ShowFolders(static_cast<int>(std::find(FFolderEntries.begin(), FFolderEntries.end(), *folder) -
                               FFolderEntries.begin()));
}

void TKeepPanel::RemoveFolder() {
  const int row = SelectedFolderRow();
  if (row < 0 || row >= static_cast<int>(FFolderEntries.size())) return;
  FFolderEntries.erase(FFolderEntries.begin() + row);
  ShowFolders(std::min(row, static_cast<int>(FFolderEntries.size()) - 1));
}

void TKeepPanel::MoveFolder(int delta) {
  const int from = SelectedFolderRow(), to = from + delta;
  if (from < 0 || to < 0 || to >= static_cast<int>(FFolderEntries.size())) return;
  std::swap(FFolderEntries[from], FFolderEntries[to]);
  ShowFolders(to);
}

// --- commands and layout -------------------------------------------------------

bool TKeepPanel::OnCommand(UINT nId, UINT nCode) {
  if (nId < idRules || nId > idFolderDown) return false;
  if (nCode != BN_CLICKED) return true;  // the lists' own notifications
  switch (nId) {
    case idRuleUp: MoveRule(-1); break;
    case idRuleDown: MoveRule(+1); break;
    case idFolderAdd: AddFolder(); break;
    case idFolderRemove: RemoveFolder(); break;
    case idFolderUp: MoveFolder(-1); break;
    case idFolderDown: MoveFolder(+1); break;
    default: break;
  }
  return true;
}

bool TKeepPanel::OnNotify(const NMHDR* header) {
  if (header->hwndFrom != FRules) return false;
  if (header->code == LVN_ITEMCHANGED) FChain.reset();
  return true;
}

void TKeepPanel::Layout(const RECT& content) {
  const int margin = 8, left = 12, buttonWidth = 60, buttonHeight = 23, gap = 4;
  const int listWidth = (content.right - content.left) - left - margin - gap - buttonWidth;
  const int buttons = left + listWidth + gap;
  int top = content.top + 6;
  const int rulesHeight = 104;
  Place(FRules, left, top, listWidth, rulesHeight);
  RECT client;
  GetClientRect(FRules, &client);
  ListView_SetColumnWidth(FRules, 0, client.right);
  Place(FRuleUp, buttons, top, buttonWidth, buttonHeight);
  Place(FRuleDown, buttons, top + buttonHeight + gap, buttonWidth, buttonHeight);
  top += rulesHeight + 6;
  Place(FFoldersLabel, left, top, listWidth, 16);
  top += 18;
  Place(FFolders, left, top, listWidth, 4 * (buttonHeight + gap) - gap);
  for (HWND button : {FFolderAdd, FFolderRemove, FFolderUp, FFolderDown}) {
    Place(button, buttons, top, buttonWidth, buttonHeight);
    top += buttonHeight + gap;
  }
}
