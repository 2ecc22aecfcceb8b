// Why two messages are not duplicates: two of them side by side, every
// compared field as the index sees it, and the groups that one compared
// field fewer would form. Both are measured against the settings of the last
// search, whose records hold only the fields it compared (and the few every
// search reads): a field it did not compare is shown as "not compared".
#include <initializer_list>
#include <string>
#include <vector>

#include "support/AnsiText.h"
#include "ui/CountText.h"
#include "ui/ReceivedText.h"
#include "ui/uMainDlg.h"

namespace {

// The pattern with its first "%s" replaced by `value`.
std::wstring FillText(std::wstring pattern, const std::wstring& value) {
  const std::size_t at = pattern.find(L"%s");
  if (at != std::wstring::npos) pattern.replace(at, 2, value);
  return pattern;
}

// A language text (system code page) with its "%d"s filled in turn, then its "%s".
std::wstring Filled(const std::string& pattern, std::initializer_list<long> counts, const std::wstring& value = {}) {
  return FillText(AnsiToWide(FillCounts(pattern, counts)), value);
}

std::wstring Joined(const std::vector<std::wstring>& parts) {
  std::wstring text;
  for (const std::wstring& p : parts) text += (text.empty() ? L"" : L", ") + p;
  return text;
}

std::wstring Utf8Cell(const char* text) { return Utf8ToWide(text ? text : ""); }

// The texts of the comparison and of the near misses.
constexpr TLangText kCompareSelectTwo{"strCompareSelectTwo",
                                      "Select exactly two messages in the results to compare them."};
constexpr TLangText kCompareCaption{"strCompareCaption", "Compare"};
constexpr TLangText kCompareSame{"strCompareSame", "same"};
constexpr TLangText kCompareApart{"strCompareApart", "differs: keeps them apart"};
constexpr TLangText kCompareSameOff{"strCompareSameOff", "same (not compared)"};
constexpr TLangText kCompareDiffersOff{"strCompareDiffersOff", "differs (not compared)"};
constexpr TLangText kCompareDuplicates{"strCompareDuplicates",
                                       "These two messages are duplicates under these settings."};
constexpr TLangText kCompareKeptApartBy{"strCompareKeptApartBy", "Kept apart by: %s"};
constexpr TLangText kCompareAcross{"strCompareAcross", "searching across folders"};
constexpr TLangText kCompareEachFolder{"strCompareEachFolder", "searching each folder separately"};
constexpr TLangText kCompareSettings{"strCompareSettings", "Compared: %s"};
constexpr TLangText kCompareField{"strCompareField", "Field"};
constexpr TLangText kCompareMatch{"strCompareMatch", "Match"};
constexpr TLangText kCompareFirst{"strCompareFirst", "First message"};
constexpr TLangText kCompareSecond{"strCompareSecond", "Second message"};
constexpr TLangText kNearMissSearchFirst{"strNearMissSearchFirst",
                                         "Search first: near misses are measured against the last search."};
constexpr TLangText kNearMissCaption{"strNearMissCaption", "Near Misses"};
constexpr TLangText kNearMissStep{"strNearMissStep", "Near misses: without %s (%d of %d)"};
constexpr TLangText kNearMissStatus{"strNearMissStatus", "%d near-miss groups"};
constexpr TLangText kNearMissNone{"strNearMissNone",
                                  "No near misses: dropping any one compared field forms no new group."};
constexpr TLangText kNearMissFound{"strNearMissFound", "%d groups would form if one compared field were dropped."};
constexpr TLangText kNearMissLeftOut{"strNearMissLeftOut", "%d more not listed."};
constexpr TLangText kNearMissHint{"strNearMissHint", "Select two messages of one group and press Compare."};
constexpr TLangText kNearMissDropped{"strNearMissDropped", "Without"};
constexpr TLangText kNearMissCompare{"strNearMissCompare", "&Compare..."};
constexpr TLangText kNearMissGroup{"strNearMissGroup", "%d. without %s"};
constexpr TLangText kNearMissGone{"strNearMissGone", "(no longer in the index)"};
constexpr TLangText kNearMissSelectTwo{"strNearMissSelectTwo",
                                       "Select two messages of one near-miss group to compare them."};
constexpr TLangText kWhyNotTexts[] = {
    kCompareSelectTwo,  kCompareCaption,     kCompareSame,   kCompareApart,        kCompareSameOff,  kCompareDiffersOff,
    kCompareDuplicates, kCompareKeptApartBy, kCompareAcross, kCompareEachFolder,   kCompareSettings, kCompareField,
    kCompareMatch,      kCompareFirst,       kCompareSecond, kNearMissSearchFirst, kNearMissCaption, kNearMissStep,
    kNearMissStatus,    kNearMissNone,       kNearMissFound, kNearMissLeftOut,     kNearMissHint,    kNearMissDropped,
    kNearMissCompare,   kNearMissGroup,      kNearMissGone,  kNearMissSelectTwo};

}  // namespace

std::vector<std::string> WhyNotTextDefaults() {
  std::vector<std::string> lines;
  for (const TLangText& text : kWhyNotTexts) lines.push_back(LangLine(text));
  return lines;
}

std::wstring TMainDlg::MsgW(const TLangText& text) { return AnsiToWide(Msg(text)); }

std::wstring TMainDlg::FieldCaption(std::int32_t field) {
  for (const TCompareField& f : CompareFields)
    if (f.nFieldID == field) return AnsiToWide(FieldText(f.szKey, f.szCaption));
  return AnsiToWide(FieldText("strFolder", "Folder"));  // the one thing compared that is no field
}

std::wstring TMainDlg::OriginText(const TQuopMsg& record) const {
  const TMessageOrigin origin =
      FSession && record.szEntryID ? FSession->Origins().Find(record.szEntryID) : TMessageOrigin{};
  if (!origin.folder) return Utf8Cell(record.szFolder);
  return Utf8ToWide(origin.folder->store + "/" + origin.folder->path);
}

std::string TMainDlg::BodyFormText(const TQuopMsg& record) const {
  const TMessageOrigin origin =
      FSession && record.szEntryID ? FSession->Origins().Find(record.szEntryID) : TMessageOrigin{};
  return BodyFormName(origin.body);
}

void TMainDlg::UpdateWhyNotCommands() {
  if (!FEmailView || !FMenus) return;
  const bool idle = !FSearching && !FTreating;
  const std::vector<TEmailNode*> selected = FEmailView->SelectedRows();
  const bool two = selected.size() == 2 && !selected[0]->IsGroup() && !selected[1]->IsGroup();
  FMenus->Enable(cmdCompare, idle && two);
  FMenus->Enable(cmdCompare1, idle && two);
  FMenus->Enable(cmdNearMisses1, idle && FMsgSet.Record().nSelFields != 0 && FtxDB && FtxDB->GetMsgCount() > 0);
  FMenus->Enable(cmdExport, idle && !FEmails.Roots().empty());
}

void TMainDlg::mniCompareClick() {
  if (FSearching || FTreating) return;
  const std::vector<TEmailNode*> rows = FEmailView->SelectedRows();
  if (rows.size() != 2 || rows[0]->IsGroup() || rows[1]->IsGroup()) {
    FSetup.ShowMessage(FHandle, MsgUtf8(kCompareSelectTwo), MsgUtf8(kCompareCaption), MB_ICONINFORMATION | MB_OK);
    return;
  }
  const TMsgSet set = FMsgSet.Record();
  ShowComparison(rows[0]->Data.txMsg, rows[1]->Data.txMsg, {set.nSelFields, set.bSearchOverFolders != 0});
}

void TMainDlg::ShowComparison(const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& settings) {
  const auto match = [this](bool equal, bool compared) {
    if (compared) return equal ? MsgW(kCompareSame) : MsgW(kCompareApart);
    return equal ? MsgW(kCompareSameOff) : MsgW(kCompareDiffersOff);
  };
  TFieldComparison cmp = CompareRecords(a, b, settings);
  // Which body each CRC was taken from: the plain text, the HTML or the RTF.
  if ((FMsgSet.Record().nSelFields & FIELD_MESSAGE) != 0)
    for (TFieldRow& f : cmp.Rows)
      if (f.nFieldID == FIELD_MESSAGE) {
        f.strLeft += " (" + BodyFormText(a) + ")";
        f.strRight += " (" + BodyFormText(b) + ")";
      }
  std::vector<TMarkedRow> rows;
  std::vector<std::wstring> compared, apart;
  for (const TFieldRow& f : cmp.Rows) {
    const std::wstring caption = FieldCaption(f.nFieldID);
    rows.push_back(
        {{caption, match(f.bEqual, f.bSelected), Utf8ToWide(f.strLeft), Utf8ToWide(f.strRight)}, f.KeptApart()});
    if (f.bSelected) compared.push_back(caption);
    if (f.KeptApart()) apart.push_back(caption);
  }
  // The folder counts only when each folder is searched on its own.
  const std::wstring folder = FieldCaption(0);
  rows.push_back({{folder, match(cmp.bSameFolder, !settings.bSearchOverFolders), OriginText(a), OriginText(b)},
                  cmp.bFolderKeptApart});
  if (cmp.bFolderKeptApart) apart.push_back(folder);

  const std::wstring verdict =
      cmp.Duplicates() ? MsgW(kCompareDuplicates) : FillText(MsgW(kCompareKeptApartBy), Joined(apart));
  const std::wstring mode = settings.bSearchOverFolders ? MsgW(kCompareAcross) : MsgW(kCompareEachFolder);
  TMarkedListLook look;
  look.caption = MsgW(kCompareCaption);
  look.note = verdict + L"\r\n" + FillText(MsgW(kCompareSettings), Joined(compared) + L"; " + mode);
  look.columns = {
      {MsgW(kCompareField), 110}, {MsgW(kCompareMatch), 170}, {MsgW(kCompareFirst), 230}, {MsgW(kCompareSecond), 230}};
  FCompareWindow.reset();
  FCompareWindow = std::make_unique<TMarkedListWindow>(FHandle, FFont.Get(), FBoldFont.Get(), look, std::move(rows));
}

void TMainDlg::mniNearMissesClick() {
  if (FSearching || FTreating || !FtxDB) return;
  const TMsgSet base = FMsgSet.Record();
  if (base.nSelFields == 0 || FtxDB->GetMsgCount() == 0) {
    FSetup.ShowMessage(FHandle, MsgUtf8(kNearMissSearchFirst), MsgUtf8(kNearMissCaption), MB_ICONINFORMATION | MB_OK);
    return;
  }
  // One regroup a field, each a fraction of a second even over many
  // messages: the window waits, and says which field it is on.
  const HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const std::string stepText = Msg(kNearMissStep);
  TNearMissFound found = SearchNearMisses(*FtxDB, base, [&](std::int32_t field, int step, int steps) {
    if (field == 0) return;
    ShowStatus(Filled(stepText, {step, steps - 1}, FieldCaption(field)));
    UpdateWindow(splMain);
  });
  SetCursor(before);
  ShowStatus(Filled(Msg(kNearMissStatus), {static_cast<long>(found.misses.Groups.size())}));
  ShowNearMisses(std::move(found));
}

void TMainDlg::ShowNearMisses(TNearMissFound found) {
  const long count = static_cast<long>(found.misses.Groups.size()), leftOut = static_cast<long>(found.misses.nLeftOut);
  TMarkedListLook look;
  look.caption = MsgW(kNearMissCaption);
  look.note = count == 0 ? MsgW(kNearMissNone) : Filled(Msg(kNearMissFound), {count});
  if (leftOut > 0) look.note += L" " + Filled(Msg(kNearMissLeftOut), {leftOut});
  if (count > 0) look.note += L"\r\n" + MsgW(kNearMissHint);
  look.columns = {{MsgW(kNearMissDropped), 150},
                  {AnsiToWide(FieldText("strFrom", "From")), 140},
                  {FieldCaption(0), 150},
                  {AnsiToWide(FieldText("strSubject", "Subject")), 200},
                  {AnsiToWide(FieldText("strRecieved", "Recieved")), 130}};
  look.button = MsgW(kNearMissCompare);
  look.multiSelect = true;
  TNearMissWindow::TRowTexts texts;
  const std::string withoutText = Msg(kNearMissGroup);
  texts.heading = [&](const TNearMiss& group, int number) {
    return TMarkedRow{{Filled(withoutText, {number}, FieldCaption(group.nDroppedField)), L"", L"", L"", L""}, true};
  };
  const std::wstring gone = MsgW(kNearMissGone);
  texts.message = [&](const TQuopMsg* record, const std::string& entryID) {
    if (!record) return TMarkedRow{{L"", L"", L"", gone + L" " + Utf8ToWide(entryID), L""}, false};
    return TMarkedRow{{L"", Utf8Cell(record->szSenderName), OriginText(*record), Utf8Cell(record->szSubject),
                       Utf8ToWide(ReceivedText(record->dtRecivedTime))},
                      false};
  };
  FNearMissWindow.reset();
  FNearMissWindow =
      std::make_unique<TNearMissWindow>(FHandle, FFont.Get(), FBoldFont.Get(), look, texts, std::move(found));
  FNearMissWindow->OnCompare = [this](const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& settings) {
    ShowComparison(a, b, settings);
  };
  FNearMissWindow->OnWrongSelection = [this] {
    FSetup.ShowMessage(NearMissWindow() ? NearMissWindow()->Handle() : FHandle, MsgUtf8(kNearMissSelectTwo),
                       MsgUtf8(kNearMissCaption), MB_ICONINFORMATION | MB_OK);
  };
}
