#include "ui/uMainDlg.h"

#include <windowsx.h>

#include <algorithm>

#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "support/ModuleFolder.h"
#include "support/ProductInfo.h"
#include "ui/uMainDlgIds.h"

namespace {

constexpr char kClassName[] = "TMainDlg";
constexpr char kCaption[] = "Quop Twinsweeps";
constexpr int kSplitterWidth = 5;
constexpr int kBannerHeight = 28;

TFontHandle MakeFont(int points, int weight, bool strike = false) {
  return TFontHandle(CreateFontA(FontHeightOfSize(points), 0, 0, 0, weight, FALSE, FALSE, strike, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 "Tahoma"));
}

std::string WindowText(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  return text;
}

}  // namespace

TMainDlg::TMainDlg(TMainDlgSetup setup) : FSetup(std::move(setup)) {}

TMainDlg::~TMainDlg() {
  // The fonts and the brush go after this, with the members.
  if (FHandle) DestroyWindow(FHandle);
}

bool TMainDlg::Create(HWND owner) {
  static const TWindowClass registered(kClassName, TWindowThunk<TMainDlg>::Proc,
                                       TWindowLook{.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                                                   .hIcon = LoadIcon(nullptr, IDI_APPLICATION)});
  // Width 800, height 600, centred on the screen.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 600) / 2;
  CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                  std::max(0, x), std::max(0, y), 800, 600, owner, nullptr, OwnModule(), this);
  return FHandle != nullptr;
}

void TMainDlg::SetIDspApp(_Application* app) {
  if (app) m_IDspApp = TComPtr<_Application>::Share(app);
}

void TMainDlg::Show() {
  ShowWindow(FHandle, SW_SHOW);
  FormShow();
}

void TMainDlg::ShowModal() {
  const HWND owner = GetWindow(FHandle, GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  Show();
  MSG msg;
  while (!FClosed && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (FAbout && FAbout->PreTranslateMessage(msg)) continue;
    if (PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (owner) EnableWindow(owner, TRUE);
}

// Keyboard navigation between the controls (Tab, arrows in the radio
// groups, mnemonics); Enter and Space stay with the results list.
bool TMainDlg::PreTranslateMessage(MSG& msg) {
  if (!FHandle || (msg.hwnd != FHandle && !IsChild(FHandle, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_SPACE) &&
      msg.hwnd == FEmailView->Handle())
    return false;
  return IsDialogMessageA(FHandle, &msg) != FALSE;
}

void TMainDlg::Close() {
  if (FHandle) SendMessageA(FHandle, WM_CLOSE, 0, 0);
}

// --- creation --------------------------------------------------------------

void TMainDlg::CreateFonts() {
  FFont = MakeFont(8, FW_NORMAL);
  FBoldFont = MakeFont(8, FW_BOLD);
  FStruckFont = MakeFont(8, FW_NORMAL, true);
  FBannerFont = MakeFont(10, FW_BOLD);
  FBannerBrush.Reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
}

HWND TMainDlg::CreateChild(HWND parent, const char* szClass, const char* szText, DWORD nStyle, int nId) {
  return CreateWindowExA(0, szClass, szText, WS_CHILD | WS_VISIBLE | nStyle, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), OwnModule(), nullptr);
}

TWinControl* TMainDlg::AddControl(const std::string& strName, HWND hwnd, bool bold) {
  FControls.push_back(std::make_unique<TWinControl>(strName, hwnd, FFormFont));
  if (bold) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FBoldFont.Get()), TRUE);
  return FControls.back().get();
}

HWND TMainDlg::Control(const std::string& strName) const {
  for (const auto& c : FControls)
    if (c->Name() == strName) return c->Handle();
  return nullptr;
}

// The first button opens the group, takes the tab stop, is drawn in bold and
// starts checked.
void TMainDlg::CreateRadioGroup(HWND parent, std::initializer_list<TRadioDef> radios) {
  bool first = true;
  for (const TRadioDef& radio : radios) {
    *radio.button = CreateChild(parent, "BUTTON", radio.szText,
                                BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), radio.nId);
    AddControl(radio.szName, *radio.button, first);
    first = false;
  }
  Button_SetCheck(*radios.begin()->button, BST_CHECKED);
}

void TMainDlg::CreateSettings() {
  FScrollBox = std::make_unique<TScrollBox>(FHandle);
  const HWND box = FScrollBox->Handle();
  plFolders = std::make_unique<TRollUpPanel>(box, "Search &In", 193, FBoldFont.Get());
  AddControl("plFolders", plFolders->Handle());
  FTreeFolder.SetShowFolders(kMailShowFolders);
  FTreeView = std::make_unique<TFolderTreeView>(plFolders->Handle(), idTreeFolder, FTreeFolder);
  SendMessageA(FTreeView->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);

  plFields = std::make_unique<TRollUpPanel>(box, "Select &Fields to compare", 144, FBoldFont.Get());
  AddControl("plFields", plFields->Handle());
  FFieldList = std::make_unique<TFieldListView>(plFields->Handle(), idFields, FFont.Get(), FBoldFont.Get());

  RollUpPanel3 = std::make_unique<TRollUpPanel>(box, "Select Search &Mode", 56, FBoldFont.Get());
  AddControl("RollUpPanel3", RollUpPanel3->Handle());
  CreateRadioGroup(RollUpPanel3->Handle(),
                   {{&rbtnEachFolder, "rbtnEachFolder", "Searching &each folder separately", idEachFolder},
                    {&rbtnOverFolders, "rbtnOverFolders", "Searching &across folders", idOverFolders}});

  RollUpPanel4 = std::make_unique<TRollUpPanel>(box, "&When was the Email received In", 176, FBoldFont.Get());
  AddControl("RollUpPanel4", RollUpPanel4->Handle());
  const HWND p4 = RollUpPanel4->Handle();
  CreateRadioGroup(p4, {{&rbtnAllTime, "rbtnAllTime", "&All Times", idAllTime},
                        {&rbtnLastWeek, "rbtnLastWeek", "&Within the last week", idLastWeek},
                        {&rbtnPastMonth, "rbtnPastMonth", "&Past month", idPastMonth},
                        {&rbtnPastYear, "rbtnPastYear", "Within the past &year", idPastYear},
                        {&rbtnSpecify, "rbtnSpecify", "Specify &dates", idSpecify}});
  lblFrom = CreateChild(p4, "STATIC", "F&rom", SS_LEFT, idFrom);
  AddControl("lblFrom", lblFrom);
  lblTo = CreateChild(p4, "STATIC", "&To", SS_LEFT, idTo);
  AddControl("lblTo", lblTo);
  deFrom = CreateChild(p4, DATETIMEPICK_CLASSA, "", DTS_SHORTDATECENTURYFORMAT | WS_TABSTOP, idDateFrom);
  deTo = CreateChild(p4, DATETIMEPICK_CLASSA, "", DTS_SHORTDATECENTURYFORMAT | WS_TABSTOP, idDateTo);
  for (HWND d : {deFrom, deTo}) SendMessageA(d, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
  SetDateFieldsEnabled(false);
  RollUpPanel4->SetExpanded(false);  // collapsed, its controls hidden
  CreateKeepSettings(box);

  plAdvanced = std::make_unique<TRollUpPanel>(box, "&More advanced options", 0, FBoldFont.Get());
  AddControl("plAdvanced", plAdvanced->Handle());
  plAdvanced->SetExpanded(false);
  ShowWindow(plAdvanced->Handle(), SW_HIDE);

  for (TRollUpPanel* s :
       {plFolders.get(), plFields.get(), RollUpPanel3.get(), RollUpPanel4.get(), plKeep.get(), plAdvanced.get()})
    FScrollBox->Add(s);
}

void TMainDlg::CreateControls() {
  CreateFonts();
  FMenus = std::make_unique<TMenus>();
  SetMenu(FHandle, FMenus->Root(TMenuRoot::MainMenu));
  FMenus->MainMenuGiven();
  FMenuComponents = FMenus->MakeLangComponents(FHandle);

  CreateSettings();
  bsbGauge = std::make_unique<TGauge>(FHandle, FFont.Get());
  btnSearch = CreateChild(FHandle, "BUTTON", "&Search", BS_PUSHBUTTON | WS_TABSTOP, idSearch);
  AddControl("btnSearch", btnSearch);
  FSplitter = std::make_unique<TSplitter>(FHandle);
  FSplitter->OnMoved = [this](int x) {
    RECT client;
    GetClientRect(FHandle, &client);
    FLeftWidth = std::clamp(x, 180, std::max<int>(180, client.right - 240));
    Layout();
  };
  FEmailView =
      std::make_unique<TEmailListView>(FHandle, idEmails, FEmails, FFont.Get(), FBoldFont.Get(), FStruckFont.Get());
  FEmailView->OnChecked = [this] { vstEmailsChecked(); };
  FEmailView->OnViewEmail = [this] { mniViewEmailClick(); };
  FEmailView->OnContextPopup = [this](POINT pt) {
    // Only a list with at least one group row has a popup.
    if (FEmails.GroupCount() == 0) return;
    pmEmailPopup();
    TrackPopupMenu(FMenus->Root(TMenuRoot::pmEmail), TPM_RIGHTBUTTON, pt.x, pt.y, 0, FHandle, nullptr);
  };
  mmoMsg = CreateChild(FHandle, "STATIC", "", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, idBanner);
  SendMessageA(mmoMsg, WM_SETFONT, reinterpret_cast<WPARAM>(FBannerFont.Get()), FALSE);
  splMain = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                            FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idStatus)),
                            OwnModule(), nullptr);
  SendMessageA(splMain, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
}

std::vector<ILangComponent*> TMainDlg::OwnedComponents() const {
  std::vector<ILangComponent*> owned;
  for (const auto& m : FMenuComponents) owned.push_back(m.get());
  for (const auto& c : FControls) owned.push_back(c.get());
  return owned;
}

std::optional<std::string> TMainDlg::GetText(std::string_view name) const {
  if (name != "Caption") return std::nullopt;
  return WindowText(FHandle);
}

void TMainDlg::SetText(std::string_view name, const std::string& value) {
  if (name == "Caption") SetWindowTextA(FHandle, value.c_str());
}

std::string TMainDlg::Msg(const std::string& strKey, const std::string& strDefault) {
  return MLang ? MLang->GetResString(strKey, true, strDefault) : strDefault;
}

std::string TMainDlg::FieldText(const std::string& strKey, const std::string& strDefault) {
  return MLang ? MLang->GetResString(strKey, FieldsSection, strDefault, true) : strDefault;
}

std::string TMainDlg::MsgUtf8(const std::string& strKey, const std::string& strDefault) {
  return WideToUtf8(AnsiToWide(Msg(strKey, strDefault)));
}

void TMainDlg::ErrorBox(const std::string& text) {
  FSetup.ShowMessage(FHandle, text, MsgUtf8("strError", "Error"), MB_ICONERROR | MB_OK);
}

void TMainDlg::FormCreate() {
  // 1. The language file, and where the skin lies.
  MLang = std::make_unique<TMLang>(this);
  MLang->SetIgnoreEmptyString(true);
  MLang->SetIgnoreControls({"N1", "N2", "N3", "N4", "N5", "mmoMsg"});
  MLang->SetIgnoreFormCaption(true);
  MLang->SetIncludeListViewItems(true);
  MLang->SetIncludeListViewHead(true);
  MLang->SetIncludeTreeViewItems(true);
  TLangLines messages = {"strError=Error", "strSelFolders=Please select folders for search",
                     "strSelFields=Please select fields for compare",
                     "strClickSearch=Click Search button to find duplicate emails",
                     "strNoDuplicates=No duplicated emails found yet", "strSearching=Searching...",
                     "strReadSkipped=%d messages read, %d skipped", "strSkippedCaption=Skipped Items"};
  // Each feature's texts; a key two of them share (strTreatNotMoved,
  // strSkippedMessage) the file takes once.
  for (const auto& defaults : {TreatmentTextDefaults, GuardTextDefaults, UndoTextDefaults, KeepTextDefaults,
                               WhyNotTextDefaults, ExportTextDefaults})
    for (const std::string& line : defaults()) {
      const std::string key = line.substr(0, line.find('=') + 1);
      if (std::none_of(messages.begin(), messages.end(), [&](const std::string& m) { return m.starts_with(key); }))
        messages.push_back(line);
    }
  MLang->SetMsgList(messages);
  try {
    MLang->SetFileName(FSetup.strLangFile);
    MLang->SetActive(true);
  } catch (const std::exception&) {
    // An unwritable language file leaves the built-in texts.
  }
  strSkinFile = FSetup.strSkinFile;

  // 2. The duplicate index; its failures only mean that searches find nothing.
  try {
    FtxDB = std::make_unique<TQuopDB>();
    FtxDB->Init(std::string());
    FtxDB->OpenDB(FSetup.strDBFile);
  } catch (...) {
  }

  // 3. The skin.
  if (GetFileAttributesA(strSkinFile.c_str()) != INVALID_FILE_ATTRIBUTES)
    bsbSkinData.LoadFromCompressedFile(strSkinFile);

  // 4. The MAPI session; the collection run logs on again when this fails.
  FDispatcher = std::make_unique<TWindowDispatcher>(FHandle, WM_QUOP_EVENTS);
  FSession = std::make_unique<TsxMAPI_Session>(FHandle);
  FSession->SetDB(FtxDB.get());
  FSession->SetDispatcher(FDispatcher.get());
  // The status bar shows a message count; a few updates a second read well.
  FSession->SetProgressInterval(kCollectProgressInterval);
  BindSessionEvents(FRun);
  try {
    FSession->Logon();
  } catch (...) {
  }

  // 5. and 6. Sizes are set at creation; both lists start empty.
  TreeView_SetBkColor(FTreeView->Handle(), GetSysColor(COLOR_BTNFACE));
  ListView_SetBkColor(FFieldList->Handle(), GetSysColor(COLOR_BTNFACE));
  ListView_SetTextBkColor(FFieldList->Handle(), GetSysColor(COLOR_BTNFACE));

  // 7. Column headers.
  const char* const columns[5][2] = {
      {"strFrom", "From"}, {"strFolder", "Folder"}, {"strSubject", "Subject"},
      {"strRecieved", "Recieved"}, {"strSize", "Size"}};
  for (int c = 0; c < 5; ++c) FEmailView->SetColumnCaption(c, FieldText(columns[c][0], columns[c][1]));
  LoadKeepChain();  // and the caption of its column

  // 8. The banner.
  ShowMsg(Msg("strClickSearch", "Click search button to find duplicated emails"));

  // 9. The treatment progress box.
  FProgress = std::make_unique<TProgressDialog>(FHandle, FFont.Get());
  FProgress->SetCaption(Msg("strProgressCaption", "Treating Messages"));
  FProgress->SetLabel(Msg("strProgressLabel", "Treating Messages:"));
  FProgress->OnCancel = [this] { dlgProgressCancel(); };
}

void TMainDlg::FormShow() {
  try {
    FTreeFolder.SetIDspApp(m_IDspApp.Get());
    FTreeFolder.FillTree();
    FTreeView->Reload();
    plFoldersResize();
  } catch (const std::exception& e) {
    FTreeView->Reload();
    ErrorBox(e.what());
    return;
  } catch (...) {
    FTreeView->Reload();
    return;
  }
  FillFields();
  FSearching = FStoping = FStopDel = false;
  SetSettingsPanelHeight(false);
  SYSTEMTIME today;
  GetLocalTime(&today);
  for (HWND d : {deFrom, deTo}) DateTime_SetSystemtime(d, GDT_VALID, &today);
  // Lay the sections out again, as a one-pixel wider panel would.
  ++FLeftWidth;
  Layout();
  --FLeftWidth;
  Layout();
  EnableCommands(SelectionCommands, false);
  EnableCommands(TreatmentCommands, false);
  FMenus->Enable(cmdSkipped, !FSkippedItems.empty());
  OfferUndoOfCutRun();  // and "&Undo last treatment" as the journal allows
}

void TMainDlg::FormDestroy() {
  // Every worker is told to stop before any is joined, so that they wind
  // down together; the joins in WaitForWorkers are the wait.
  SaveKeepChain();
  FStoping = true;
  if (FSession) FSession->StopGetAllMsg();
  if (FLoadEmails) FLoadEmails->Terminate();
  if (FtxDB) FtxDB->StopFindMsg();
  WaitForWorkers();
  // The workers have ended; what they queued for this window is dropped.
  if (FDispatcher) FDispatcher->Discard();
  FAbout.reset();
  FSkippedWindow.reset();
  FProgress.reset();
  FSession.reset();
  FtxDB.reset();
  FEmails.Clear();
}

// --- layout ----------------------------------------------------------------

int TMainDlg::GaugeHeight() const { return 16; }

int TMainDlg::GaugeTop() const {
  RECT client, status;
  GetClientRect(FHandle, &client);
  GetWindowRect(splMain, &status);
  const int bottom = client.bottom - (status.bottom - status.top);
  return bottom - 8 - 25 - 6 - GaugeHeight();
}

int TMainDlg::SettingsPanelHeight() const {
  RECT r;
  GetWindowRect(FScrollBox->Handle(), &r);
  return r.bottom - r.top;
}

void TMainDlg::SetSettingsPanelHeight(bool searching) {
  FSearchingLayout = searching;
  Layout();
}

void TMainDlg::Layout() {
  if (!FScrollBox) return;
  SendMessageA(splMain, WM_SIZE, 0, 0);
  RECT client, status;
  GetClientRect(FHandle, &client);
  GetWindowRect(splMain, &status);
  const int bottom = client.bottom - (status.bottom - status.top);
  const int gaugeTop = GaugeTop(), gaugeHeight = GaugeHeight();
  // The panel covers the hidden gauge, and ends one gauge height above it
  // while a search runs.
  const int panelHeight = FSearchingLayout ? gaugeTop - gaugeHeight : gaugeTop + gaugeHeight;
  HDWP dwp = BeginDeferWindowPos(8);
  dwp = DeferWindowPos(dwp, FScrollBox->Handle(), nullptr, 0, 0, FLeftWidth, std::max(0, panelHeight), SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, bsbGauge->Handle(), nullptr, 8, gaugeTop, FLeftWidth - 16, gaugeHeight, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, btnSearch, nullptr, FLeftWidth - 8 - 88, bottom - 8 - 25, 88, 25, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, FSplitter->Handle(), nullptr, FLeftWidth, 0, kSplitterWidth, bottom, SWP_NOZORDER);
  const int right = FLeftWidth + kSplitterWidth;
  const int bannerHeight = BannerVisible() ? kBannerHeight : 0;
  dwp = DeferWindowPos(dwp, mmoMsg, nullptr, right, 0, client.right - right, bannerHeight, SWP_NOZORDER);
  dwp = DeferWindowPos(dwp, FEmailView->Handle(), nullptr, right, bannerHeight, client.right - right,
                       std::max(0, bottom - bannerHeight), SWP_NOZORDER);
  EndDeferWindowPos(dwp);
  FScrollBox->Layout();
}

void TMainDlg::plFoldersResize() {
  const RECT r = plFolders->ContentRect();
  const int margin = 4;
  const int left = margin + 2;
  SetWindowPos(FTreeView->Handle(), nullptr, left, r.top + 3, (r.right - r.left) - margin - margin - 5,
               std::max<int>(0, plFolders->DesignHeight() - 6), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainDlg::plFieldsResize() {
  const RECT r = plFields->ContentRect();
  const int margin = 4;
  const int left = margin + 10, top = r.top + 3;
  const HWND list = FFieldList->Handle();
  SetWindowPos(list, nullptr, left, top, (r.right - r.left) - left - margin - 3,
               std::max<int>(0, kRollUpCaptionHeight + plFields->DesignHeight() - top - margin - 3),
               SWP_NOZORDER | SWP_NOACTIVATE);
  // The one column fills the list, so it never scrolls sideways.
  RECT client;
  GetClientRect(list, &client);
  ListView_SetColumnWidth(list, 0, client.right);
}

void TMainDlg::LayoutSettings() {
  plFoldersResize();
  plFieldsResize();
  const int top = kRollUpCaptionHeight + 6;
  SetWindowPos(rbtnEachFolder, nullptr, 12, top, 230, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(rbtnOverFolders, nullptr, 12, top + 24, 230, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND radios[5] = {rbtnAllTime, rbtnLastWeek, rbtnPastMonth, rbtnPastYear, rbtnSpecify};
  for (int i = 0; i < 5; ++i)
    SetWindowPos(radios[i], nullptr, 12, top + 22 * i, 230, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  const int dates = top + 22 * 5 + 4;
  SetWindowPos(lblFrom, nullptr, 30, dates + 4, 40, 16, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(deFrom, nullptr, 72, dates, 130, 22, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(lblTo, nullptr, 30, dates + 30, 40, 16, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(deTo, nullptr, 72, dates + 26, 130, 22, SWP_NOZORDER | SWP_NOACTIVATE);
  LayoutKeepSettings();
}

// --- messages --------------------------------------------------------------

LRESULT TMainDlg::HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_NCCREATE:
      FHandle = hwnd;  // WM_CREATE, inside CreateWindowEx, makes the controls with it
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
    case WM_CREATE:
      CreateControls();
      FControlsMade = true;
      FormCreate();
      Layout();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {560, 420};
      return 0;
    }
    case WM_TIMER:
      if (wParam == kStatusTimer) ShowStatus(Utf8ToWide(FPendingStatus));
      return 0;
    case WM_QUOP_EVENTS:
      if (FDispatcher) FDispatcher->RunPending();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_INITMENUPOPUP:
      // Compare, near misses and the export follow the list as the menu opens.
      UpdateWhyNotCommands();
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_ROLLUP_TOGGLED:
      if (FScrollBox) FScrollBox->Layout();
      return 0;
    case WM_ROLLUP_RESIZED:
      if (FControlsMade) LayoutSettings();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == mmoMsg) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(128, 0, 0));  // maroon
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(FBannerBrush.Get());
      }
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CLOSE:
      // A treatment in progress ends after the row it is on; then the window goes.
      if (FTreating) {
        FStopDel = true;
        FCloseAfterTreat = true;
        return 0;
      }
      DestroyWindow(FHandle);
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_NCDESTROY:
      FHandle = nullptr;
      FClosed = true;
      return 0;
    default:
      return DefWindowProcA(hwnd, nMsg, wParam, lParam);
  }
}

void TMainDlg::OnContextMenu(HWND hwndFrom, POINT pt) {
  TMenuRoot menu;
  if (hwndFrom == FTreeView->Handle()) menu = TMenuRoot::pmFolder;
  else if (hwndFrom == FFieldList->Handle()) menu = TMenuRoot::pmFields;
  else return;
  if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
  TrackPopupMenu(FMenus->Root(menu), TPM_RIGHTBUTTON, pt.x, pt.y, 0, FHandle, nullptr);
}

LRESULT TMainDlg::OnNotify(NMHDR* header) {
  LRESULT result = 0;
  if (FEmailView && FEmailView->OnNotify(header, result)) return result;
  if (FTreeView && FTreeView->OnNotify(header, result)) return result;
  if (FFieldList && FFieldList->OnNotify(header, result)) return result;
  if (FKeepPanel && FKeepPanel->OnNotify(header)) return 0;
  // A click on the status bar opens the list of what was skipped, as the menu does.
  if (header->hwndFrom == splMain && header->code == NM_CLICK) {
    OnCommand(cmdSkipped, 0, nullptr);
    return 0;
  }
  return DefWindowProcA(FHandle, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void TMainDlg::OnCommand(UINT nId, UINT nCode, HWND hwndFrom) {
  if (hwndFrom && nCode != BN_CLICKED) return;
  if (hwndFrom && FKeepPanel && FKeepPanel->OnCommand(nId, nCode)) return;
  // A disabled menu command does nothing, however it was sent.
  if (!hwndFrom && nId >= cmdFirst && nId < cmdLast && !FMenus->IsEnabled(static_cast<TMenuCommand>(nId))) return;
  if (nId == idSearch && !IsWindowEnabled(btnSearch)) return;
  switch (nId) {
    case idSearch: btnSearchClick(); return;
    case idSpecify: case idAllTime: case idLastWeek: case idPastMonth: case idPastYear:
      SetDateFieldsEnabled(Button_GetCheck(rbtnSpecify) == BST_CHECKED);
      return;
    case cmdExit: Close(); return;
    case cmdHome: mniHomeClick(); return;
    case cmdAbout: mniAboutClick(); return;
    case cmdSkipped: mniSkippedClick(); return;
    case cmdExport: mniExportClick(); return;
    case cmdUndo: mniUndoClick(); return;
    case cmdCompare: case cmdCompare1: mniCompareClick(); return;
    case cmdNearMisses1: mniNearMissesClick(); return;
    case cmdSelectDefault: mniSelectDefaultClick(); return;
    case cmdFieldSelectAll: mniFieldSelectAllClick(); return;
    case cmdFieldUnselectAll: mniFieldUnselectAllClick(); return;
    case cmdFieldInverseSelection: mniFieldInverseSelectionClick(); return;
    case cmdFolderSelectAll: FTreeFolder.SelectAll(); FTreeView->RefreshChecks(); return;
    case cmdFolderUnselectAll: FTreeFolder.UnselectAll(); FTreeView->RefreshChecks(); return;
    case cmdFolderInverseSelection: FTreeFolder.InverseSelection(); FTreeView->RefreshChecks(); return;
    case cmdSelectAllDuplicates: case cmdSelectAllDuplicates1: mniEmailSelectAllDuplicatesClick(); return;
    case cmdClearSelected: case cmdClearSelected1: mniEmailClearSelectedClick(); return;
    case cmdInverseSelection: case cmdInverseSelection1: mniInverseSelecionClick(); return;
    case cmdExpandAll: mniEmailExpandAllClick(); return;
    case cmdCollapseAll: mniEmailCollapseAllClick(); return;
    case cmdViewEmail: mniViewEmailClick(); return;
    case cmdDeletePermanently: case cmdDeletePermanently1: mniDeletePermanentlyClick(); return;
    case cmdDelete: case cmdDelete1: mniDeleteClick(); return;
    case cmdCopyToFolder: case cmdCopyToFolder1: mniCopytoFolderClick(); return;
    case cmdMoveToFolder: case cmdMoveToFolder1: mniMovetoFolderClick(); return;
    default: return;
  }
}

void TMainDlg::ClickRadio(const std::string& strName) {
  const HWND radio = Control(strName);
  if (!radio) return;
  // As a click does: the group's other buttons go off, then the handler runs.
  for (HWND sibling = GetWindow(GetParent(radio), GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(sibling, cls, sizeof(cls));
    if (lstrcmpiA(cls, "BUTTON") == 0) Button_SetCheck(sibling, sibling == radio ? BST_CHECKED : BST_UNCHECKED);
  }
  OnCommand(static_cast<UINT>(GetDlgCtrlID(radio)), BN_CLICKED, radio);
}

void TMainDlg::SetDateFieldsEnabled(bool enabled) {
  EnableWindow(deFrom, enabled);
  EnableWindow(deTo, enabled);
}

bool TMainDlg::DateFieldsEnabled() const { return IsWindowEnabled(deFrom) && IsWindowEnabled(deTo); }

TReceivedRange TMainDlg::ReceivedRange() const {
  if (Button_GetCheck(rbtnLastWeek) == BST_CHECKED) return TReceivedRange::WithinLastWeek;
  if (Button_GetCheck(rbtnPastMonth) == BST_CHECKED) return TReceivedRange::PastMonth;
  if (Button_GetCheck(rbtnPastYear) == BST_CHECKED) return TReceivedRange::PastYear;
  if (Button_GetCheck(rbtnSpecify) == BST_CHECKED) return TReceivedRange::SpecifyDates;
  return TReceivedRange::AllTimes;
}

// --- banner, status, commands -------------------------------------------------

void TMainDlg::ShowMsg(const std::string& text) {
  SetWindowTextA(mmoMsg, text.c_str());
  ShowWindow(mmoMsg, text.empty() ? SW_HIDE : SW_SHOWNA);
  Layout();
}

std::string TMainDlg::BannerText() const { return WindowText(mmoMsg); }
bool TMainDlg::BannerVisible() const { return (GetWindowLongA(mmoMsg, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string TMainDlg::StatusText() const {
  std::wstring text(LOWORD(SendMessageW(splMain, SB_GETTEXTLENGTHW, 0, 0)) + 1, L'\0');
  SendMessageW(splMain, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return WideToUtf8(text);
}

std::string TMainDlg::SearchCaption() const { return WindowText(btnSearch); }

void TMainDlg::EnableCommands(std::span<const TMenuCommand> commands, bool enabled) {
  for (TMenuCommand c : commands) FMenus->Enable(c, enabled);
}

void TMainDlg::mniAboutClick() {
  FAbout = OpenAboutBox(FHandle);
}

void TMainDlg::mniHomeClick() { GotoUrlWith(kProductHomePage, FSetup.Open); }
