// The confirmation before a treatment: the groups that would lose every copy,
// or keep copies only in Deleted Items, are listed for the user to treat too
// or leave alone, then the numbers of what the treatment does are stated for
// a last OK.
#include <algorithm>
#include <optional>
#include <set>

#include "mapi/StoreDeletedItems.h"
#include "results/AllCopiesGuard.h"
#include "results/TreatmentPreview.h"
#include "support/AnsiText.h"
#include "ui/CountText.h"
#include "ui/ReceivedText.h"
#include "ui/uMainDlg.h"

namespace {

results::ETreatment GuardKindOf(TTreatment treatment) {
  switch (treatment) {
    case TTreatment::DeletePermanently: return results::ETreatment::DeletePermanently;
    case TTreatment::MoveToDeletedItems: return results::ETreatment::MoveToDeletedItems;
    case TTreatment::CopyToFolder: return results::ETreatment::CopyToFolder;
    case TTreatment::MoveToFolder: return results::ETreatment::MoveToFolder;
  }
  return results::ETreatment::DeletePermanently;
}

// The preview's texts come through a plain function; while one is made,
// this is the window's language component (the window thread only).
TMLang* gPreviewLang = nullptr;
std::string PreviewText(const char* key, const char* english) {
  return gPreviewLang ? WideToUtf8(AnsiToWide(gPreviewLang->GetResString(key, true, english))) : english;
}

// Whether a confirmation was answered with its affirmative button, whichever
// button set it showed.
bool Affirmed(int answer) { return answer == IDOK || answer == IDYES; }

constexpr std::size_t kGroupsListed = 10;

constexpr TLangText kGuardIntro{"strGuardIntro", "Every copy of %d group(s) is checked:"};
constexpr TLangText kGuardDeletedIntro{
    "strGuardDeletedIntro", "The only unchecked copies of %d group(s) are in Deleted Items, which is emptied routinely:"};
constexpr TLangText kGuardDeletedUnknown{
    "strGuardDeletedUnknown", "Whether %d unchecked copies are in Deleted Items is not known; they count as if they were."};
constexpr TLangText kGuardDeletedFailed{"strGuardDeletedFailed", "Could not read Deleted Items of:"};
constexpr TLangText kGuardMore{"strGuardMore", "and %d more"};
constexpr TLangText kGuardYes{"strGuardYes", "Yes: treat these groups too, so that no copy of them is left."};
constexpr TLangText kGuardNo{"strGuardNo", "No: leave these groups alone and treat the rest."};
constexpr TLangText kGuardCancel{"strGuardCancel", "Cancel: treat nothing."};
constexpr TLangText kDeleteSure{"strDelMsg", "Are you sure that you want to permanently delete the selected item(s)?"};

constexpr results::ETreatment kPreviewed[] = {results::ETreatment::DeletePermanently,
                                              results::ETreatment::MoveToDeletedItems,
                                              results::ETreatment::CopyToFolder, results::ETreatment::MoveToFolder};

TLangText LangTextOf(const results::TPreviewText& text) { return {text.key, text.english}; }

}  // namespace

// The guard's own texts, then the preview's parts.
std::vector<std::string> GuardTextDefaults() {
  std::vector<std::string> lines;
  for (const TLangText& text : {kGuardIntro, kGuardDeletedIntro, kGuardDeletedUnknown, kGuardDeletedFailed,
                                kGuardMore, kGuardYes, kGuardNo, kGuardCancel, kDeleteSure})
    lines.push_back(LangLine(text));
  for (const results::ETreatment kind : kPreviewed)
    lines.push_back(LangLine(LangTextOf(results::PreviewActionText(kind))));
  for (const results::TPreviewText& text :
       {results::PreviewKeepText(), results::PreviewLeftAloneText(), results::PreviewKeptInDeletedText(),
        results::PreviewCannotUndoText()})
    lines.push_back(LangLine(LangTextOf(text)));
  return lines;
}

// The guard's list of one kind: its intro, then the first groups named.
std::string TMainDlg::GuardedGroupsText(const TLangText& intro, const std::vector<std::size_t>& listed) {
  const char thousands = UserThousandsSeparator();
  std::string text = FillCounts(MsgUtf8(intro), {static_cast<long>(listed.size())}, thousands);
  for (std::size_t i = 0; i < std::min(listed.size(), kGroupsListed); ++i) {
    const TEmailNode& group = *FEmails.Roots()[listed[i]];
    text += "\n    " + FEmailView->CellText(group, 0) + " " + GroupCountText(group.Children.size());
  }
  if (listed.size() > kGroupsListed)
    text += "\n    " + FillCounts(MsgUtf8(kGuardMore), {static_cast<long>(listed.size() - kGroupsListed)}, thousands);
  return text;
}

bool TMainDlg::AskAboutGuardedGroups(results::ETreatment kind, std::vector<std::size_t>& leftAlone,
                                     results::TPreviewCounts& counts, std::string& unsaid) {
  const auto& roots = FEmails.Roots();
  // Each store's Deleted Items is read once, and only when a copy left there
  // would be the last one.
  std::optional<TDeletedItemsFolders> deletedItems;
  if (FSession && results::GuardsDeletedItems(kind)) deletedItems.emplace(FSession->Session(), FSession->Origins());
  // Each top-level row as a group of its untreated copies; a row outside any
  // group is a group of none, never guarded.
  std::vector<results::TGuardedGroup> groups(roots.size());
  for (std::size_t g = 0; g < roots.size(); ++g)
    for (const auto& row : roots[g]->Children) {
      if (row->Data.bDeleted) continue;
      const char* id = row->Data.txMsg.szEntryID;
      groups[g].push_back({row->Checked, !row->Checked && deletedItems && deletedItems->MayHold(id ? id : "")});
    }
  const results::TGuardedGroups guarded = results::GuardedGroups(groups, kind);
  // What could not be told about Deleted Items, said with the question.
  unsaid.clear();
  if (deletedItems && deletedItems->Unknown() > 0)
    unsaid = FillCounts(MsgUtf8(kGuardDeletedUnknown), {deletedItems->Unknown()}, UserThousandsSeparator());
  if (deletedItems && !deletedItems->Failures().empty()) {
    unsaid += (unsaid.empty() ? "" : "\n") + MsgUtf8(kGuardDeletedFailed);
    for (const std::string& failure : deletedItems->Failures()) unsaid += "\n    " + failure;
  }

  leftAlone.clear();
  const std::vector<std::size_t> listed = guarded.All();
  if (listed.empty()) return true;
  std::string text;
  if (!guarded.everyCopyChecked.empty()) text = GuardedGroupsText(kGuardIntro, guarded.everyCopyChecked);
  if (!guarded.keptOnlyInDeletedItems.empty())
    text += (text.empty() ? "" : "\n\n") + GuardedGroupsText(kGuardDeletedIntro, guarded.keptOnlyInDeletedItems);
  if (!unsaid.empty()) text += "\n\n" + unsaid;
  unsaid.clear();
  text += "\n\n" + MsgUtf8(kGuardYes) + "\n" + MsgUtf8(kGuardNo) + "\n" + MsgUtf8(kGuardCancel);
  const int answer = FSetup.ShowMessage(FHandle, text, "Quop", MB_ICONWARNING | MB_YESNOCANCEL);
  if (answer == IDNO) {
    leftAlone = listed;
    counts.groupsLeftAlone = static_cast<long>(guarded.everyCopyChecked.size());
    counts.groupsKeptInDeletedItems = static_cast<long>(guarded.keptOnlyInDeletedItems.size());
  }
  return answer == IDNO || answer == IDYES;
}

bool TMainDlg::ConfirmTreatment(TTreatment treatment, const std::string& target,
                                std::vector<std::size_t>& leftAlone) {
  const results::ETreatment kind = GuardKindOf(treatment);
  const auto& roots = FEmails.Roots();
  results::TPreviewCounts counts;
  counts.treatment = kind;
  counts.target = target;
  std::string unsaid;
  if (!AskAboutGuardedGroups(kind, leftAlone, counts, unsaid)) return false;

  std::set<std::string> folders;
  for (std::size_t g = 0; g < roots.size(); ++g) {
    if (std::binary_search(leftAlone.begin(), leftAlone.end(), g)) continue;
    const auto visit = [&](const TEmailNode& row) {
      if (row.Data.bDeleted) return;
      if (!row.Checked) {
        counts.kept += row.Parent ? 1 : 0;
        return;
      }
      ++counts.messages;
      const TQuopMsg& record = row.Data.txMsg;
      const std::string id = record.szEntryID ? record.szEntryID : "";
      const TMessageOrigin origin = FSession ? FSession->Origins().Find(id) : TMessageOrigin{};
      // Without a recorded origin: the store's part of the entry id and the folder's name.
      folders.insert(origin.folder ? origin.folder->folderEntryID
                                   : id.substr(0, std::min<std::size_t>(id.size(), 40)) + "|" +
                                         (record.szFolder ? record.szFolder : ""));
    };
    if (roots[g]->IsGroup()) {
      for (const auto& row : roots[g]->Children) visit(*row);
    } else {
      visit(*roots[g]);
    }
  }
  counts.folders = static_cast<long>(folders.size());

  gPreviewLang = MLang.get();
  std::string text = results::PreviewSentence(counts, UserThousandsSeparator(), &PreviewText);
  gPreviewLang = nullptr;
  if (!unsaid.empty()) text += "\n\n" + unsaid;
  UINT type = MB_ICONQUESTION | MB_OKCANCEL;
  if (treatment == TTreatment::DeletePermanently) {
    text += "\n\n" + MsgUtf8(kDeleteSure);
    type = MB_ICONQUESTION | MB_YESNO;
  }
  return Affirmed(FSetup.ShowMessage(FHandle, text, "Quop", type));
}
