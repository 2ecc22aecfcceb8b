// What a search could not read: the counts in the status bar when the
// collection has ended, and the list of the skipped stores, folders and
// messages in a window of its own.
#include <initializer_list>

#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "ui/CountText.h"
#include "ui/uMainDlg.h"

namespace {

struct TKindText {
  const char* szKind;  // as the collection names it
  const char* szKey;
  const char* szDefault;
};
constexpr TKindText kKinds[] = {
    {"store", "strSkippedStore", "Store"},
    {"folder", "strSkippedFolder", "Folder"},
    {"message", "strSkippedMessage", "Message"},
    {"run", "strSkippedRun", "Search"},  // a failure before any store could be read
};

}  // namespace

void TMainDlg::TakeCollectionCounts() {
  FMsgRead = FSession->MsgCount();
  FSkippedItems = FSession->Skipped().Items();
  FCollectionComplete = !FStoping;
  FMenus->Enable(cmdSkipped, !FSkippedItems.empty());
}

std::wstring TMainDlg::ReadSkippedText() {
  const std::string pattern = Msg("strReadSkipped", "%d messages read, %d skipped");
  return AnsiToWide(FillCounts(pattern, {static_cast<long>(FMsgRead), static_cast<long>(FSkippedItems.size())}));
}

void TMainDlg::mniSkippedClick() {
  if (FSkippedItems.empty()) return;
  const auto text = [this](const char* key, const char* english) { return AnsiToWide(Msg(key, english)); };
  std::vector<TReportWindow::TRow> rows;
  rows.reserve(FSkippedItems.size());
  for (const TSkippedItem& item : FSkippedItems) {
    std::wstring kind = Utf8ToWide(item.strKind);
    for (const TKindText& k : kKinds)
      if (item.strKind == k.szKind) kind = text(k.szKey, k.szDefault);
    rows.push_back({kind, Utf8ToWide(item.strName), Utf8ToWide(item.strReason), Utf8ToWide(item.strError)});
  }
  FSkippedWindow.reset();
  FSkippedWindow = std::make_unique<TReportWindow>(
      FHandle, FFont.Get(), text("strSkippedCaption", "Skipped Items"),
      std::vector<TReportWindow::TColumn>{{text("strSkippedKind", "Kind"), 70},
                                          {text("strSkippedName", "Name"), 220},
                                          {text("strSkippedReason", "Reason"), 200},
                                          {text("strSkippedError", "Error"), 180}},
      std::move(rows));
}
