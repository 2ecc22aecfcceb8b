// The duplicate finder window: the search settings on the left (folders,
// compare fields, search mode, received dates) with "&Search" / "&Stop" and
// the gauge, the results list on the right under the banner, the status
// bar at the bottom. It owns the MAPI session and the duplicate index, runs
// a search from the click to the loaded results, and hands the rows to the
// commands of the results list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "om/OutlookIntf.h"
#include "index/MsgSetFill.h"
#include "index/uDB.h"
#include "mapi/BatchTreatment.h"
#include "mapi/sx_MAPI_Session.h"
#include "results/TreatmentPreview.h"
#include "support/ComPtr.h"
#include "support/GFunctions.h"
#include "support/MLang.h"
#include "support/Utf8Text.h"
#include "support/WinControl.h"
#include "support/WinHandles.h"
#include "support/WindowClass.h"
#include "support/uAbout.h"
#include "ui/EmailList.h"
#include "ui/EmailListView.h"
#include "ui/FieldListView.h"
#include "ui/FolderTreeView.h"
#include "ui/Gauge.h"
#include "ui/KeepPanel.h"
#include "ui/MarkedListWindow.h"
#include "ui/MenuTable.h"
#include "ui/NearMissWindow.h"
#include "ui/OutlookFolderTree.h"
#include "ui/ProgressDialog.h"
#include "ui/ReportWindow.h"
#include "ui/RollUpPanel.h"
#include "ui/TreatmentJournal.h"
#include "ui/WindowDispatcher.h"
#include "ui/uLoadEmails.h"

enum class TSearchState { Idle, Collecting, Loading };

// What a treatment command does with each checked message.
enum class TTreatment { DeletePermanently, MoveToDeletedItems, CopyToFolder, MoveToFolder };
// A text a translator may change: its language-file key and English text.
struct TLangText {
  const char* szKey;
  const char* szText;
};
// "key=English text", as the language file lists it.
std::string LangLine(const TLangText& text);
// The kind of a message row in the windows that list what was left undone.
inline constexpr TLangText kReportMessageKind{"strSkippedMessage", "Message"};
// The "key=English text" lines of each feature's texts, registered with the
// language file at creation so that a translator finds every one of them.
std::vector<std::string> TreatmentTextDefaults();  // a treatment's outcome
std::vector<std::string> GuardTextDefaults();      // the confirmation before a treatment
std::vector<std::string> UndoTextDefaults();       // the journal and undo
std::vector<std::string> KeepTextDefaults();       // keep rules and why a copy is kept
std::vector<std::string> WhyNotTextDefaults();     // compare and near misses
std::vector<std::string> ExportTextDefaults();     // the export of the results

// Copies and moves go to a folder the user picks first.
constexpr bool NeedsTarget(TTreatment treatment) {
  return treatment == TTreatment::CopyToFolder || treatment == TTreatment::MoveToFolder;
}

// The file "&Export results..." writes, from the save dialog (CSV or JSON,
// UTF-8); empty when the user cancelled.
std::string AskExportFileName(HWND owner);

// Where the window takes its files from and how it reaches the user; tests
// point these elsewhere and answer the message boxes themselves. The texts
// of a message box are UTF-8: they may name a message or a folder.
struct TMainDlgSetup {
  std::string strLangFile = GetLangFile();
  std::string strDBFile = GetAppDataPath() + "\\temp.dat";
  std::string strSkinFile = GetSkinFile();
  // Where the treatment journal lives; empty: the folder of strDBFile, the
  // product's data folder.
  std::string strJournalFolder;
  std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)> ShowMessage =
      [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        return ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), type);
      };
  TShellOpen Open = ShellOpen;
  std::function<std::string(HWND owner)> AskExportFile = AskExportFileName;
};

class TMainDlg : public ILangComponent {
 public:
  explicit TMainDlg(TMainDlgSetup setup = TMainDlgSetup());
  ~TMainDlg() override;
  TMainDlg(const TMainDlg&) = delete;
  TMainDlg& operator=(const TMainDlg&) = delete;

  // Creates the window, hidden, centred on the screen; the creation steps
  // run inside. False when the window could not be made.
  bool Create(HWND owner = nullptr);
  HWND Handle() const { return FHandle; }
  // The Outlook application; kept as long as the window.
  void SetIDspApp(_Application* app);
  // Shows the window and runs the showing steps.
  void Show();
  // Shows the window and runs its message loop until it is closed.
  void ShowModal();
  void Close();
  bool PreTranslateMessage(MSG& msg);

  // Handlers, as the controls and menus call them.
  void FormShow();
  void btnSearchClick();
  bool UpdateMsgSet();
  void FillFields();
  void mniSelectDefaultClick();
  void mniFieldSelectAllClick();
  void mniFieldUnselectAllClick();
  void mniFieldInverseSelectionClick();
  void mniEmailSelectAllDuplicatesClick();
  void mniEmailClearSelectedClick();
  void mniInverseSelecionClick();
  void mniEmailExpandAllClick();
  void mniEmailCollapseAllClick();
  void mniViewEmailClick();
  void pmEmailPopup();
  void mniAboutClick();
  void mniHomeClick();
  // "&Skipped Items...": the list of what the last search could not read.
  void mniSkippedClick();
  // "&Export results...": the groups to a CSV or JSON file the user names.
  void mniExportClick();
  // "&Undo last treatment": the messages of the last soft delete or move put back.
  void mniUndoClick();
  // Where the treatment journal is kept (TMainDlgSetup::strJournalFolder).
  std::filesystem::path JournalFolder() const;
  // "&Compare...": two selected messages side by side, field by field.
  void mniCompareClick();
  // "&Near Misses...": the groups that one compared field fewer would form.
  void mniNearMissesClick();
  // Keep rules: the "Copy to &keep" section (its section window, for a
  // screenshot; ExpandKeepPanel rolls it down) and the chain it edits.
  HWND KeepPanelHandle() const;
  void ExpandKeepPanel();
  TKeepPanel& KeepPanel() { return *FKeepPanel; }
  results::TKeepChain KeepChain() const;
  void SetKeepChain(const results::TKeepChain& chain);
  // The compare view and the near-miss view (null when not open).
  TMarkedListWindow* CompareWindow() const {
    return FCompareWindow && FCompareWindow->Handle() ? FCompareWindow.get() : nullptr;
  }
  TNearMissWindow* NearMissWindow() const {
    return FNearMissWindow && FNearMissWindow->Handle() ? FNearMissWindow.get() : nullptr;
  }
  void ShowMsg(const std::string& text);

  // Treating the checked rows; the treatment commands of both menus come here.
  void TreatDuplicate(TTreatment treatment);
  void mniDeletePermanentlyClick() { TreatDuplicate(TTreatment::DeletePermanently); }
  void mniDeleteClick() { TreatDuplicate(TTreatment::MoveToDeletedItems); }
  void mniCopytoFolderClick() { TreatDuplicate(TTreatment::CopyToFolder); }
  void mniMovetoFolderClick() { TreatDuplicate(TTreatment::MoveToFolder); }
  void dlgProgressCancel() { FStopDel = true; }
  bool Treating() const { return FTreating; }
  TProgressDialog& dlgProgress() { return *FProgress; }

  // What the window shows, for its tests.
  TSearchState State() const;
  std::string BannerText() const;
  bool BannerVisible() const;
  std::string StatusText() const;  // UTF-8
  std::string SearchCaption() const;
  int GaugePosition() const { return bsbGauge->Position(); }
  TGauge& Gauge() { return *bsbGauge; }
  bool GaugeVisible() const { return (GetWindowLongA(bsbGauge->Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }
  int SettingsPanelHeight() const;
  int GaugeTop() const;
  int GaugeHeight() const;
  bool DateFieldsEnabled() const;
  TMenus& Menus() { return *FMenus; }
  TOutlookFolderTree& TreeFolder() { return FTreeFolder; }
  TFolderTreeView& TreeFolderView() { return *FTreeView; }
  TFieldListView& vstFields() { return *FFieldList; }
  TEmailList& Emails() { return FEmails; }
  TEmailListView& vstEmails() { return *FEmailView; }
  TsxMAPI_Session* Session() { return FSession.get(); }
  TQuopDB* DB() { return FtxDB.get(); }
  TMLang& Lang() { return *MLang; }
  // What the last collection could not read, and the window listing it
  // (null when it is not open).
  const std::vector<TSkippedItem>& SkippedItems() const { return FSkippedItems; }
  // The window listing what the last treatment left (null when not open).
  TReportWindow* TreatReportWindow() const {
    return FTreatWindow && FTreatWindow->Handle() ? FTreatWindow.get() : nullptr;
  }
  TReportWindow* SkippedWindow() const {
    return FSkippedWindow && FSkippedWindow->Handle() ? FSkippedWindow.get() : nullptr;
  }
  HWND Control(const std::string& strName) const;
  void ClickRadio(const std::string& strName);
  int FFoldersCount = 0;
  int FFoldersNum = 0;

  // The form as the language component sees it.
  std::string Name() const override { return "MainDlg"; }
  std::string ClassName() const override { return "TMainDlg"; }
  TLangOwnerKind OwnerKind() const override { return TLangOwnerKind::Form; }
  bool HasProperty(std::string_view name) const override { return name == "Caption" || name == "Font"; }
  std::optional<std::string> GetText(std::string_view name) const override;
  void SetText(std::string_view name, const std::string& value) override;
  std::optional<TLangFont> GetFont() const override { return FFormFont; }
  void SetFont(const TLangFont& font) override { FFormFont = font; }
  std::vector<ILangComponent*> OwnedComponents() const override;

 private:
  // A radio button of the settings: where its handle goes, its name for the
  // language file, its text and its command identifier.
  struct TRadioDef {
    HWND* button;
    const char* szName;
    const char* szText;
    int nId;
  };

  friend struct TWindowThunk<TMainDlg>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  void CreateFonts();
  void CreateControls();
  void CreateSettings();
  HWND CreateChild(HWND parent, const char* szClass, const char* szText, DWORD nStyle, int nId);
  void CreateRadioGroup(HWND parent, std::initializer_list<TRadioDef> radios);
  TWinControl* AddControl(const std::string& strName, HWND hwnd, bool bold = false);
  void FormCreate();
  void FormDestroy();
  void Layout();
  void LayoutSettings();
  void plFoldersResize();
  void plFieldsResize();
  void OnCommand(UINT nId, UINT nCode, HWND hwndFrom);
  LRESULT OnNotify(NMHDR* header);
  void OnContextMenu(HWND hwndFrom, POINT pt);

  // The search run.
  void BindSessionEvents(unsigned nRun);
  void StartLoader();
  void AddEmails(std::vector<TOwnedQuopMsg>& batch);
  void OnStepProgress(bool fromSession);
  void OnShowProgressMsg(const std::string& text);  // UTF-8
  void ShowStatus(const std::wstring& text);
  void TakeCollectionCounts();
  std::wstring ReadSkippedText();
  void OnTerminateGetAllMsg(bool fromSession);
  void EndOfSearch(bool forStop);
  void WaitForWorkers();
  void ClearResults();
  void SetSettingsPanelHeight(bool searching);
  void EnableCommands(std::span<const TMenuCommand> commands, bool enabled);
  void vstEmailsChecked();
  void SetDateFieldsEnabled(bool enabled);
  TReceivedRange ReceivedRange() const;
  std::string Msg(const std::string& strKey, const std::string& strDefault);
  std::string FieldText(const std::string& strKey, const std::string& strDefault);
  // A language text (system code page) in UTF-8, for the message boxes.
  std::string MsgUtf8(const std::string& strKey, const std::string& strDefault);
  // A registered text, translated: as Msg, MsgUtf8 and MsgW (wide).
  std::string Msg(const TLangText& text) { return Msg(text.szKey, text.szText); }
  std::string MsgUtf8(const TLangText& text) { return MsgUtf8(text.szKey, text.szText); }
  std::wstring MsgW(const TLangText& text);
  void ErrorBox(const std::string& text);  // UTF-8
  bool PickTarget(std::string& strEntryID, std::string* name = nullptr);  // name: UTF-8
  // The end of a treatment: its summary in the status bar; the messages it
  // could not treat and the folders that did not come out as planned in a
  // window of their own.
  void ShowTreatmentOutcome(TTreatment treatment, std::span<const TBatchItem> items,
                            std::span<TEmailNode* const> rows, std::size_t uncheckedMeanwhile,
                            std::size_t notReached, const std::vector<TFolderCheck>& checks);
  // What a treatment or an undo left, in the window TreatReportWindow gives.
  void ShowLeftReport(const std::string& summary, std::vector<TReportWindow::TRow> rows);
  void LockForTreatment(bool locked);
  void ProcessMessages();

  TMainDlgSetup FSetup;
  HWND FHandle = nullptr;
  bool FClosed = false;
  bool FControlsMade = false;
  TLangFont FFormFont{"Tahoma", 8, 1};
  // Freed with the members, after the destructor has destroyed the window
  // and with it every control that draws with them.
  TFontHandle FFont, FBoldFont, FStruckFont, FBannerFont;
  TBrushHandle FBannerBrush;

  std::unique_ptr<TMenus> FMenus;
  std::vector<std::unique_ptr<ILangComponent>> FMenuComponents;
  std::vector<std::unique_ptr<TWinControl>> FControls;  // in the order of their creation
  std::unique_ptr<TScrollBox> FScrollBox;
  std::unique_ptr<TRollUpPanel> plFolders, plFields, RollUpPanel3, RollUpPanel4, plAdvanced;
  TOutlookFolderTree FTreeFolder;
  std::unique_ptr<TFolderTreeView> FTreeView;
  std::unique_ptr<TFieldListView> FFieldList;
  HWND rbtnEachFolder = nullptr, rbtnOverFolders = nullptr;
  HWND rbtnAllTime = nullptr, rbtnLastWeek = nullptr, rbtnPastMonth = nullptr, rbtnPastYear = nullptr,
       rbtnSpecify = nullptr, lblFrom = nullptr, lblTo = nullptr, deFrom = nullptr, deTo = nullptr;
  std::unique_ptr<TGauge> bsbGauge;
  HWND btnSearch = nullptr;
  std::unique_ptr<TSplitter> FSplitter;
  TEmailList FEmails;
  std::unique_ptr<TEmailListView> FEmailView;
  HWND mmoMsg = nullptr;
  HWND splMain = nullptr;
  int FLeftWidth = 273;
  bool FSearchingLayout = false;

  std::unique_ptr<TMLang> MLang;
  TSkinData bsbSkinData;
  std::string strSkinFile;
  std::unique_ptr<TFormAbout> FAbout;
  TComPtr<_Application> m_IDspApp;
  std::unique_ptr<TWindowDispatcher> FDispatcher;
  std::unique_ptr<TQuopDB> FtxDB;
  std::unique_ptr<TsxMAPI_Session> FSession;
  std::unique_ptr<TLoadEmails> FLoadEmails;
  TMsgSetData FMsgSet{std::string(), 0, TDateRange{}, false};
  unsigned FRun = 0;  // tags the events of each search
  bool FSearching = false;
  bool FStoping = false;
  bool FStopDel = false;
  std::unique_ptr<TProgressDialog> FProgress;
  bool FTreating = false;
  bool FCloseAfterTreat = false;  // the window was closed during a treatment
  static constexpr UINT_PTR kStatusTimer = 1;
  static constexpr unsigned kCollectProgressInterval = 50;  // ms between message counts shown
  UINT_PTR FStatusTimer = 0;
  std::string FPendingStatus;  // UTF-8
  // The counts of the last collection, taken when it ended; shown in the
  // status bar when it ran to its end (FCollectionComplete).
  std::int32_t FMsgRead = 0;
  std::vector<TSkippedItem> FSkippedItems;
  bool FCollectionComplete = false;
  std::unique_ptr<TReportWindow> FSkippedWindow;
  std::unique_ptr<TReportWindow> FTreatWindow;  // what the last treatment left
  // Keep rules, the guard against treating every copy and the preview.
  void CreateKeepSettings(HWND box);
  void LayoutKeepSettings();
  void LoadKeepChain();
  void SaveKeepChain();
  TKeepPick ChooseKeepRow(std::span<TEmailNode* const> rows);
  std::string KeepReason(results::EKeepRule rule) const;
  bool ConfirmTreatment(TTreatment treatment, const std::string& target, std::vector<std::size_t>& leftAlone);
  // The guard's question, when a group would lose every copy or keep copies
  // only in Deleted Items: false when cancelled; `leftAlone` the groups the
  // user leaves alone; `unsaid` what could not be told about Deleted Items
  // when no question came, for the preview to say.
  bool AskAboutGuardedGroups(results::ETreatment kind, std::vector<std::size_t>& leftAlone,
                             results::TPreviewCounts& counts, std::string& unsaid);
  // One kind of the groups the guard lists, `listed` by index: its intro and the first names.
  std::string GuardedGroupsText(const TLangText& intro, const std::vector<std::size_t>& listed);
  std::unique_ptr<TRollUpPanel> plKeep;
  std::unique_ptr<TKeepPanel> FKeepPanel;
  std::string FKeepChainStored;  // the chain's text as the language file has it
  std::vector<std::string> FKeepReasons;  // each rule's "Kept because" text, by EKeepRule
  // Compare, near misses and the export.
  void ShowComparison(const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& settings);
  void ShowNearMisses(TNearMissFound found);
  std::wstring OriginText(const TQuopMsg& record) const;
  // "text", "HTML", "RTF" or "none": the body the record's CRC was taken from.
  std::string BodyFormText(const TQuopMsg& record) const;
  std::wstring FieldCaption(std::int32_t field);
  void UpdateWhyNotCommands();
  std::unique_ptr<TMarkedListWindow> FCompareWindow;
  std::unique_ptr<TNearMissWindow> FNearMissWindow;
  // The treatment journal and undo (uMainDlgUndo.cpp): false when the user
  // would rather not treat without a journal; `journal` stays null when it
  // cannot be written and the user agreed to go on.
  bool StartJournal(TTreatment treatment, const std::string& target, std::unique_ptr<TTreatmentJournal>& journal);
  void EndJournal(TTreatmentJournal* journal, const TBatchTreatment& batch);
  void ShowJournalOutcome(TTreatmentJournal* journal, TTreatment treatment);
  void RefreshUndoCommand();
  void OfferUndoOfCutRun();
  void UndoRun(const TJournalRun& run);
  void ShowUndoOutcome(std::span<const TUndoItem> items);
  std::vector<std::string> FJournalProblems;  // of the last treatment
};
