// TsxMAPI_Session: initialises MAPI, logs on (joining Outlook's session),
// finds the default store and its special folders, holds the ticked folders,
// runs the collection into the duplicate index and carries out the
// single-message operations of the window.
#pragma once

#include "mapi/CollectSkips.h"
#include "mapi/GetAllMsgThread.h"
#include "mapi/sx_MAPI.h"

class TsxMAPI_Session {
 public:
  // `owner` is the owning window: the parent of Outlook's message form.
  explicit TsxMAPI_Session(HWND owner = nullptr);
  virtual ~TsxMAPI_Session();
  TsxMAPI_Session(const TsxMAPI_Session&) = delete;
  TsxMAPI_Session& operator=(const TsxMAPI_Session&) = delete;

  // Settings; each raises Exception when changed at the wrong time.
  virtual void SetProfile(const std::string& value);
  virtual void SetPassword(const std::string& value);
  virtual void SetDoMAPIInit(bool value);
  virtual void SetInService(bool value);
  void SetWndHandle(HWND value) { FWndHandle = value; }
  HWND WndHandle() const { return FWndHandle; }
  const std::string& ProfileName() const { return FProfile; }
  bool DoMAPIInit() const { return FDoMAPIInit; }
  bool InService() const { return FInService; }

  virtual TsxMAPI_Folder* GetFolder(TsxMAPI_FolderType type);
  virtual bool GetActive() const { return static_cast<bool>(FSession); }
  virtual void DoInitialize();
  virtual void DoUninitialize();
  void Logon();
  void Logoff(bool shared);

  void CheckDefMsgStore();
  TComPtr<IMsgStore> OpenMsgStoreByEntryID(ULONG cbEntryID, LPENTRYID entryID);
  std::unique_ptr<TsxMAPI_Folder> GetIncomeFolder();
  std::unique_ptr<TsxMAPI_Folder> InternalGetFolder(ULONG propTag);
  void RefreshFolders();

  void ClearFolderSet();
  void AddFolderSet(const std::string& strEntryID, bool bSelected);
  bool IsFolderSelected(const std::string& strEntryID) const;

  // The message named by its entry-identifier text, its parent folder and
  // the store holding it (null when no store could open it).
  bool GetEntryByEntryID(const std::string& text, std::unique_ptr<TsxMAPI_Message>& message,
                         std::unique_ptr<TsxMAPI_Folder>& folder, TComPtr<IMsgStore>& store);
  void ShowMsgForm(const std::string& text);
  bool DelMsg(const std::string& text, bool toDeletedItems);
  bool MoveMsg(const std::string& text, const std::string& targetText, ULONG flags);

  // The collection run (on a worker thread of its own).
  bool GetAllMessage();
  void StopGetAllMsg() { FStopGetAllMsg.store(true); }
  bool DoGetAllMessage();
  void GetSubFolders(std::unique_ptr<TsxMAPI_Folder> folder);
  void GetSubFolders(IMAPIFolder* folder);
  // Adds the message's record and returns the subject read for it; raises
  // when the message cannot be read whole or the index does not take it.
  std::string AddMsgToDB(TsxMAPI_Message* message, const std::string& folderName);
  // Lists what the run could not read; `kind` is "store", "folder",
  // "message" or "run".
  void Skip(const char* kind, const std::string& name, const std::exception& e);
  // Raises OnTerminate on the owner's thread; the worker's last act.
  void OnTerminateGetAllMsg();
  // Waits until the worker of the last run has ended.
  void WaitForRun();
  std::int32_t ThreadNum() const { return FThreadNum.load(); }
  // After a run: the messages added to the index, and what could not be read.
  std::int32_t MsgCount() const { return FAddedCount.load(); }
  const TCollectSkips& Skipped() const { return FSkipped; }

  IMAPISession* Session() const { return FSession.Get(); }
  void SetDispatcher(TEventDispatcher* dispatcher) { FDispatcher = dispatcher; }
  void SetDB(TQuopDB* db) { FtxDB = db; }
  TNotifyEvent OnTerminate;
  TNotifyEvent OnProgressStep;
  TProgressMsgEvent OnProgressMsg;
  std::int32_t nSelFields = 0;

 private:
  void RaiseProgressMsg(const std::string& text);
  void RaiseProgressStep();
  void WalkStore(const TChildFolder& row);
  void WalkFolder(TsxMAPI_Folder& folder, const std::string& knownName);
  void WalkMessages(TsxMAPI_Folder& folder);
  void WalkSubFolders(TsxMAPI_Folder& folder);
  std::unique_ptr<TsxMAPI_Folder> OpenFolderOfStore(IMsgStore* store, ULONG propTag);
  TComPtr<IMAPITable> OpenStoresTable(bool raise);

  TComPtr<IMAPISession> FSession;
  TComPtr<IAddrBook> FAddrBook;
  TComPtr<IMsgStore> FDefaultMessageStore;
  TMapiBuffer<ENTRYID> FPSentFolderEntryID;
  std::unique_ptr<TsxMAPI_MailUser> FCurrentUser;
  bool FMAPIInit = false;
  bool FDoMAPIInit = true;
  bool FInService = false;
  HWND FWndHandle = nullptr;
  std::string FProfile, FPassword;
  TsxMAPI_MsgSendFlag FMsgSendFlag = sxsfToSent;
  std::unique_ptr<TsxMAPI_Folder> FFolders[5];
  bool FUseGetSubFoldersThread = false;
  std::atomic<bool> FStopGetAllMsg{false};
  std::unique_ptr<std::vector<TFolderSet>> FFolderSet;
  HWND FOwner;
  std::atomic<std::int32_t> FMsgCount{0};    // messages looked at (progress)
  std::atomic<std::int32_t> FAddedCount{0};  // messages added to the index
  TCollectSkips FSkipped;
  std::atomic<std::int32_t> FThreadNum{0};
  TQuopDB* FtxDB = nullptr;
  TEventDispatcher* FDispatcher = nullptr;
  std::unique_ptr<TGetAllMsgThread> FRunThread;
};
