// Exporting the results: one row a message row of the list, to a CSV or
// JSON file the user names. A row the user left unchecked is "kept" (with
// the rule that chose it), a checked one "removed"; a row already treated
// (struck out: deleted, moved or copied) is "treated", whatever its check.
#include "ui/uMainDlg.h"

#include <commdlg.h>

#include <vector>

#include "mapi/MapiErrors.h"
#include "results/ResultsExport.h"
#include "support/AnsiText.h"
#include "support/WinHandles.h"
#include "ui/CountText.h"

namespace {

constexpr TLangText kExportNothing{"strExportNothing", "There are no results to export yet."};
constexpr TLangText kExportCaption{"strExportCaption", "Export results"};
constexpr TLangText kExportFailed{"strExportFailed", "The results could not be written to this file:"};
constexpr TLangText kExportDone{"strExportDone", "%d rows written to %s"};

results::TExportRow ExportRowOf(const TEmailNode& row, int group, const TMessageOrigins& origins) {
  const TQuopMsg& m = row.Data.txMsg;
  const auto text = [](const char* s) { return std::string(s ? s : ""); };
  results::TExportRow out;
  out.group = group;
  out.kept = !row.Checked;
  out.treated = row.Data.bDeleted;
  out.whyKept = row.Data.strKeptBecause;
  const TMessageOrigin origin = m.szEntryID ? origins.Find(m.szEntryID) : TMessageOrigin{};
  if (origin.folder) {
    out.store = origin.folder->store;
    out.path = origin.folder->path;
  } else {
    out.path = text(m.szFolder);  // not recorded: the folder's name as the record has it
  }
  out.senderName = text(m.szSenderName);
  out.senderAddress = text(m.szSenderEmail);
  out.subject = text(m.szSubject);
  out.received = m.dtRecivedTime;
  out.size = static_cast<std::uint64_t>(m.nMsgSize < 0 ? 0 : m.nMsgSize);
  out.entryID = text(m.szEntryID);
  return out;
}

// Every message row in list order; a message row outside any group counts
// as a group of its own.
std::vector<results::TExportRow> ExportRowsOf(const TEmailList& list, const TMessageOrigins& origins) {
  std::vector<results::TExportRow> rows;
  int group = 0;
  for (const auto& root : list.Roots()) {
    ++group;
    if (!root->IsGroup()) rows.push_back(ExportRowOf(*root, group, origins));
    for (const auto& child : root->Children) rows.push_back(ExportRowOf(*child, group, origins));
  }
  return rows;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = text[text.size() - tail.size() + i];
    if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != tail[i]) return false;
  }
  return true;
}

bool Failed(DWORD code, std::string& error) {
  error = WideToUtf8(AnsiToWide(SystemErrorText(HRESULT_FROM_WIN32(code))));
  return false;
}

// The whole text to the file (UTF-8 name), replacing it; the system's reason
// when that fails.
bool WriteWholeFile(const std::string& file, const std::string& text, std::string& error) {
  const HANDLE opened =
      CreateFileW(Utf8ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return Failed(GetLastError(), error);
  TKernelHandle handle(opened);
  DWORD written = 0;
  if (!WriteFile(handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size())
    return Failed(GetLastError(), error);
  // The close may be where the write fails (a share that fills up): its answer counts.
  if (!CloseHandle(handle.Release())) return Failed(GetLastError(), error);
  return true;
}

}  // namespace

std::vector<std::string> ExportTextDefaults() {
  std::vector<std::string> lines;
  for (const TLangText& text : {kExportNothing, kExportCaption, kExportFailed, kExportDone})
    lines.push_back(LangLine(text));
  return lines;
}

std::string AskExportFileName(HWND owner) {
  wchar_t file[MAX_PATH] = L"duplicates.csv";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"CSV (*.csv)\0*.csv\0JSON (*.json)\0*.json\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = L"csv";  // the chosen filter's extension when the name has none
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&ofn)) return std::string();
  return WideToUtf8(file);
}

void TMainDlg::mniExportClick() {
  if (FSearching || FTreating) return;
  if (FEmails.Roots().empty()) {
    FSetup.ShowMessage(FHandle, MsgUtf8(kExportNothing), MsgUtf8(kExportCaption), MB_ICONINFORMATION | MB_OK);
    return;
  }
  const std::string file = FSetup.AskExportFile ? FSetup.AskExportFile(FHandle) : std::string();
  if (file.empty()) return;
  const std::vector<results::TExportRow> rows = ExportRowsOf(FEmails, FSession->Origins());
  // A name ending in .json gets JSON; any other name CSV.
  const std::string text = EndsWithNoCase(file, ".json") ? results::ExportJson(rows) : results::ExportCsv(rows);
  std::string error;
  if (!WriteWholeFile(file, text, error)) {
    ErrorBox(MsgUtf8(kExportFailed) + "\r\n" + file + "\r\n" + error);
    return;
  }
  std::wstring done = AnsiToWide(FillCounts(Msg(kExportDone), {static_cast<long>(rows.size())}));
  if (const std::size_t at = done.find(L"%s"); at != std::wstring::npos) done.replace(at, 2, Utf8ToWide(file));
  ShowStatus(done);
}
