// Keep rules in the window: the "Copy to &keep" section, its chain kept in
// the language file across runs, and the copy of each group it proposes
// for keeping.
#include <algorithm>
#include <exception>

#include "results/KeepRules.h"
#include "support/AnsiText.h"
#include "support/IniFile.h"
#include "ui/uMainDlg.h"

namespace {

// Where the chain is kept in the language file, as FormatKeepChain writes it.
constexpr char kKeepSection[] = "Options";
constexpr char kKeepKey[] = "KeepChain";

constexpr TLangText kKeptBecause{"strKeptBecause", "Kept because"};
constexpr TLangText kKeepChainUnread{
    "strKeepChainUnread", "The keep rules stored as \"%s\" could not be read (%s); the default rule is used."};

constexpr results::EKeepRule kLastRule = results::EKeepRule::EarliestAdded;
TLangText RuleText(results::EKeepRule rule) {
  const results::TKeepRuleText text = results::KeepRuleText(rule);
  return {text.key, text.english};
}

// A tree node as a folder-list entry: the captions from the store down, "/"-joined.
std::string FolderEntryOf(const TFolderNode* node) {
  std::wstring path;
  for (; node; node = node->Parent) path = path.empty() ? node->Data.strCaption : node->Data.strCaption + L"/" + path;
  return WideToUtf8(path);
}

}  // namespace

// The column's caption, its reasons (each rule's name) and the unreadable chain.
std::vector<std::string> KeepTextDefaults() {
  std::vector<std::string> lines{LangLine(kKeptBecause), LangLine(kKeepChainUnread)};
  for (int rule = 0; rule <= static_cast<int>(kLastRule); ++rule)
    lines.push_back(LangLine(RuleText(static_cast<results::EKeepRule>(rule))));
  return lines;
}

void TMainDlg::CreateKeepSettings(HWND box) {
  plKeep = std::make_unique<TRollUpPanel>(box, "Copy to &keep", TKeepPanel::kDesignHeight, FBoldFont.Get());
  AddControl("plKeep", plKeep->Handle());
  FKeepPanel = std::make_unique<TKeepPanel>(
      plKeep->Handle(), FFont.Get(), [this](const results::TKeepRuleText& text) { return MsgUtf8(text.key, text.english); });
  for (const TKeepPanel::TNamedControl& control : FKeepPanel->Controls()) AddControl(control.name, control.hwnd);
  FKeepPanel->SelectedFolder = [this]() -> std::optional<std::string> {
    const HTREEITEM item = TreeView_GetSelection(FTreeView->Handle());
    const TFolderNode* node = item ? FTreeView->NodeOf(item) : nullptr;
    if (!node) return std::nullopt;
    return FolderEntryOf(node);
  };
  FEmails.SetKeepChooser([this](std::span<TEmailNode* const> rows) { return ChooseKeepRow(rows); });
  plKeep->SetExpanded(false);  // the default layout shows it rolled up
}

void TMainDlg::LayoutKeepSettings() {
  if (plKeep && FKeepPanel) FKeepPanel->Layout(plKeep->ContentRect());
}

HWND TMainDlg::KeepPanelHandle() const { return plKeep ? plKeep->Handle() : nullptr; }

void TMainDlg::ExpandKeepPanel() {
  if (!plKeep) return;
  plKeep->SetExpanded(true);
  LayoutKeepSettings();
}

results::TKeepChain TMainDlg::KeepChain() const { return FKeepPanel->Chain(); }

void TMainDlg::SetKeepChain(const results::TKeepChain& chain) { FKeepPanel->SetChain(chain); }

// The chain of the last run, or the default when none was stored; a stored
// text that does not read is named to the user, and the default used.
void TMainDlg::LoadKeepChain() {
  FEmailView->SetColumnCaption(5, Msg(kKeptBecause));
  // Read once: the language file is read again on every look-up.
  FKeepReasons.clear();
  for (int rule = 0; rule <= static_cast<int>(kLastRule); ++rule)
    FKeepReasons.push_back(MsgUtf8(RuleText(static_cast<results::EKeepRule>(rule))));
  results::TKeepChain chain = results::DefaultKeepChain();
  FKeepChainStored = results::FormatKeepChain(chain);
  std::optional<std::string> stored;
  if (MLang) stored = TIniFile(MLang->LangFileNameFull()).ReadString(kKeepSection, kKeepKey);
  if (stored) {
    FKeepChainStored = *stored;
    const results::TKeepChainParse parsed = results::ParseKeepChain(*stored);
    if (parsed.ok) {
      chain = parsed.chain;
    } else {
      std::string text = MsgUtf8(kKeepChainUnread);
      for (const std::string& part : {*stored, parsed.error})
        if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, part);
      ErrorBox(text);
    }
  }
  FKeepPanel->SetChain(chain);
}

// Writes the chain when it changed; a file that cannot be written is named.
void TMainDlg::SaveKeepChain() {
  if (!FKeepPanel || !MLang) return;
  const std::string text = results::FormatKeepChain(KeepChain());
  if (text == FKeepChainStored) return;
  try {
    TIniFile(MLang->LangFileNameFull()).WriteString(kKeepSection, kKeepKey, text);
    FKeepChainStored = text;
  } catch (const std::exception& e) {
    ErrorBox(e.what());
  }
}

std::string TMainDlg::KeepReason(results::EKeepRule rule) const {
  const auto at = static_cast<std::size_t>(rule);
  return at < FKeepReasons.size() ? FKeepReasons[at] : results::KeepRuleText(rule).english;
}

TKeepPick TMainDlg::ChooseKeepRow(std::span<TEmailNode* const> rows) {
  const results::TKeepChain chain = KeepChain();
  // The default keeps the index's first copy of each group, as the list
  // always has: the index's order is what "Received first" means here.
  if (chain == results::DefaultKeepChain()) return {0, KeepReason(results::EKeepRule::ReceivedFirst)};
  std::vector<results::TKeepCandidate> candidates;
  candidates.reserve(rows.size());
  for (const TEmailNode* row : rows) {
    const TQuopMsg& record = row->Data.txMsg;
    results::TKeepCandidate& c = candidates.emplace_back();
    c.received = record.dtRecivedTime;
    c.size = record.nMsgSize < 0 ? 0 : static_cast<std::uint64_t>(record.nMsgSize);
    c.read = record.bRead != 0;
    // The record's attachment summary tells only whether there are any.
    c.attachments = record.szAttached && *record.szAttached ? 1 : 0;
    if (!FSession || !record.szEntryID) continue;
    const TMessageOrigin origin = FSession->Origins().Find(record.szEntryID);
    c.flagged = origin.flagged;
    c.attachments = std::max(c.attachments, origin.attachments);
    if (origin.folder) {
      c.store = origin.folder->store;
      c.path = origin.folder->path;
    }
  }
  const results::TKeepChoice choice = results::ChooseKeep(candidates, chain);
  return {choice.index, KeepReason(choice.decidedBy)};
}
