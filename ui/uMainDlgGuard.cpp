// The confirmation before a treatment: the groups that would lose every copy
// are listed for the user to treat too or leave alone, then the numbers of
// what the treatment does are stated for a last OK.
#include <algorithm>
#include <set>

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
  for (const TLangText& text : {kGuardIntro, kGuardMore, kGuardYes, kGuardNo, kGuardCancel, kDeleteSure})
    lines.push_back(LangLine(text));
  for (const results::ETreatment kind : kPreviewed)
    lines.push_back(LangLine(LangTextOf(results::PreviewActionText(kind))));
  for (const results::TPreviewText& text :
       {results::PreviewKeepText(), results::PreviewLeftAloneText(), results::PreviewCannotUndoText()})
    lines.push_back(LangLine(LangTextOf(text)));
  return lines;
}

bool TMainDlg::ConfirmTreatment(TTreatment treatment, const std::string& target,
                                std::vector<std::size_t>& leftAlone) {
  const results::ETreatment kind = GuardKindOf(treatment);
  const auto& roots = FEmails.Roots();
  // Each top-level row as a group of its untreated copies; a row outside any
  // group is a group of none, never guarded.
  std::vector<results::TCheckedGroup> groups(roots.size());
  for (std::size_t g = 0; g < roots.size(); ++g)
    for (const auto& row : roots[g]->Children)
      if (!row->Data.bDeleted) groups[g].push_back(row->Checked);
  const std::vector<std::size_t> losing = results::GroupsLosingEveryCopy(groups, kind);
  const char thousands = UserThousandsSeparator();

  leftAlone.clear();
  if (!losing.empty()) {
    std::string text = FillCounts(MsgUtf8(kGuardIntro), {static_cast<long>(losing.size())}, thousands);
    for (std::size_t i = 0; i < std::min(losing.size(), kGroupsListed); ++i) {
      const TEmailNode& group = *roots[losing[i]];
      text += "\n    " + FEmailView->CellText(group, 0) + " " + GroupCountText(group.Children.size());
    }
    if (losing.size() > kGroupsListed)
      text += "\n    " + FillCounts(MsgUtf8(kGuardMore), {static_cast<long>(losing.size() - kGroupsListed)}, thousands);
    text += "\n\n" + MsgUtf8(kGuardYes) + "\n" + MsgUtf8(kGuardNo) + "\n" + MsgUtf8(kGuardCancel);
    const int answer = FSetup.ShowMessage(FHandle, text, "Quop", MB_ICONWARNING | MB_YESNOCANCEL);
    if (answer == IDNO) leftAlone = losing;
    else if (answer != IDYES) return false;
  }

  results::TPreviewCounts counts;
  counts.treatment = kind;
  counts.target = target;
  counts.groupsLeftAlone = static_cast<long>(leftAlone.size());
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
  std::string text = results::PreviewSentence(counts, thousands, &PreviewText);
  gPreviewLang = nullptr;
  UINT type = MB_ICONQUESTION | MB_OKCANCEL;
  if (treatment == TTreatment::DeletePermanently) {
    text += "\n\n" + MsgUtf8(kDeleteSure);
    type = MB_ICONQUESTION | MB_YESNO;
  }
  return Affirmed(FSetup.ShowMessage(FHandle, text, "Quop", type));
}
