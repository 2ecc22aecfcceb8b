// TsxMAPI_Session: initialises MAPI, logs on (joining Outlook's session),
// finds the default store and its special folders, holds the ticked folders,
// runs the collection into the duplicate index and carries out the
// single-message operations of the window.
#pragma once

#include <atomic>
#include <cstdint>

#include "mapi/BodyCache.h"
#include "mapi/CollectSkips.h"
#include "mapi/CollectedMessage.h"
#include "mapi/GetAllMsgThread.h"
#include "mapi/MessageOrigins.h"
#include "mapi/StagedMessages.h"
#include "mapi/sx_MAPI.h"

class TQuopDB;

// A message found by its entry-identifier text, opened through its parent
// folder; the message is released before the folder.
struct TFoundMessage {
  std::unique_ptr<TsxMAPI_Folder> folder;
  std::unique_ptr<TsxMAPI_Message> message;
};

class TsxMAPI_Session {
 public:
  // `owner` is the owning window: the parent of Outlook's message form.
  explicit TsxMAPI_Session(HWND owner = nullptr);
  virtual ~TsxMAPI_Session();
  TsxMAPI_Session(const TsxMAPI_Session&) = delete;
  TsxMAPI_Session& operator=(const TsxMAPI_Session&) = delete;

  // Settings; each raises Exception when changed at the wrong time: the
  // profile and password once logged on, the other two once initialised.
  // Left alone, Logon joins the session Outlook runs.
  virtual void SetProfile(const std::string& value);
  virtual void SetPassword(const std::string& value);
  virtual void SetDoMAPIInit(bool value);
  virtual void SetInService(bool value);

  // A special folder of the default store, found once and kept until
  // RefreshFolders; the session owns it.
  virtual TsxMAPI_Folder* GetFolder(TsxMAPI_FolderType type);
  virtual bool GetActive() const { return static_cast<bool>(FSession); }
  virtual void DoInitialize();
  virtual void DoUninitialize();
  void Logon();
  void Logoff(bool shared);
  void RefreshFolders();

  void ClearFolderSet();
  void AddFolderSet(const std::string& strEntryID, bool bSelected);
  bool IsFolderSelected(const std::string& strEntryID) const;

  // The single-message operations, by the message's entry-identifier text.
  // Each raises, naming the operation that failed, when it could not be
  // carried out; then nothing was changed.
  TFoundMessage GetEntryByEntryID(const std::string& text);
  void ShowMsgForm(const std::string& text);
  // Deletes the message for good, or moves it to the Deleted Items of the
  // store that holds it.
  void DelMsg(const std::string& text, bool toDeletedItems);
  // Copies (flags 0) or moves (MESSAGE_MOVE) the message into the folder
  // named by `targetText`.
  void MoveMsg(const std::string& text, const std::string& targetText, ULONG flags);

  // The collection run, on a worker thread of its own; false when there is
  // no dispatcher to hand its events to the owner's thread.
  bool GetAllMessage();
  void StopGetAllMsg() { FStopGetAllMsg.store(true); }
  // How a run reads messages: what a contents table gives whole from the
  // table, opening a message only for the rest (the default); or every
  // message opened and read on its own. Both give the same records.
  void SetReadThroughTables(bool value) { FReadThroughTables = value; }
  // Through tables, whether a message is opened for the body (and To, Cc,
  // Bcc, attachments) only when its row shares every other compared field
  // with another row (two stages), or always (the default). Both give the
  // same groups; with two stages a message in none keeps a body CRC of 0
  // and empty opened texts in its record, which say nothing.
  void SetTwoStage(bool value) { FTwoStage = value; }
  // Whether the run's search spans folders (the default); false lets stage 2
  // open only messages that share a folder too. Never false for a search
  // across folders: groups would be missed.
  void SetSearchOverFolders(bool value) { FSearchOverFolders = value; }
  // With two stages: the file of the body cache (empty: none). Stage 2 takes
  // a body CRC from it instead of opening a message when only the body is
  // wanted and the row's identifiers, modification time and size are
  // unchanged; the run writes it back at its end.
  void SetBodyCache(const std::string& path) { FBodyCachePath = path; }
  // How often a run reports a message it has read: each one (0, the
  // default), or at most once in that many milliseconds. A folder's start
  // is always reported. A window showing the text spares itself a posted
  // event per message.
  void SetProgressInterval(unsigned milliseconds) { FProgressInterval = milliseconds; }
  // Waits until the worker of the last run has ended.
  void WaitForRun();
  // After a run: the messages added to the index, and what could not be read.
  std::int32_t MsgCount() const { return FAddedCount.load(); }
  // After a run with two stages: the messages stage 2 opened.
  std::int32_t OpenedLate() const { return FOpenedLate; }
  // After a run with a body cache: CRCs taken from it, how its file was
  // found, and whether the new one was written (true when none was due).
  std::int32_t CachedBodies() const { return FCachedBodies; }
  TBodyCacheLoad BodyCacheFound() const { return FBodyCacheFound; }
  bool BodyCacheWritten() const { return FBodyCacheWritten; }
  const TCollectSkips& Skipped() const { return FSkipped; }
  // After a run: the store and folder each added message came from; cleared
  // when the next run starts.
  const TMessageOrigins& Origins() const { return FOrigins; }

  IMAPISession* Session() const { return FSession.Get(); }
  void SetDispatcher(TEventDispatcher* dispatcher) { FDispatcher = dispatcher; }
  void SetDB(TQuopDB* db) { FtxDB = db; }
  TNotifyEvent OnTerminate;
  TNotifyEvent OnProgressStep;
  TProgressMsgEvent OnProgressMsg;
  std::int32_t nSelFields = 0;

 private:
  friend class TBatchTreatment;   // finds each store's Deleted Items by StoreHolding
  friend class TGetAllMsgThread;  // runs the three below

  void DoGetAllMessage();
  // Lists what the run could not read; `kind` is "store", "folder",
  // "message" or "run".
  void Skip(const char* kind, const std::string& name, const std::exception& e);
  // Raises OnTerminate on the owner's thread; the worker's last act.
  void OnTerminateGetAllMsg();

  void RaiseProgressMsg(const std::string& text);
  void RaiseProgressStep();
  void WalkStore(const TChildFolder& row);
  void WalkFolder(TsxMAPI_Folder& folder, const std::string& knownName);
  void WalkMessages(TsxMAPI_Folder& folder);
  void WalkSubFolders(TsxMAPI_Folder& folder);
  // Reads one message with `read` and adds its record, or lists it as
  // skipped under the table's subject; false when the run is to stop.
  bool CollectMessage(const std::string& rowSubject, const std::string& folderName,
                      const std::function<TCollectedMessage()>& read, const bool* late = nullptr);
  // Whether this run holds its messages for a second stage.
  bool Staging() const;
  // Stage 2: the held messages that need it opened and read, then every
  // held message added in the order read.
  void FinishStages();
  // The store and folder stage 2 has open; members in this order, so that
  // the folder is released before its store.
  struct TLateReader {
    TComPtr<IMsgStore> store;
    std::unique_ptr<TsxMAPI_Folder> folder;
    std::size_t storeAt = SIZE_MAX, folderAt = SIZE_MAX;
  };
  bool ReadLate(const TStagedMessage& held, TCollectedMessage& m, TLateReader& reader);
  bool Progress(const std::string& folderName, const std::string& subject);
  TBodyCacheKey CacheKeyOf(const TStagedMessage& held) const;
  // Marks the held messages of the stores walked whole as present in the
  // cache, drops the entries of the rest of those stores, writes the file.
  void KeepBodyCache();
  // Adds the message's record; raises when the index does not take it.
  void AddMsgToDB(const TCollectedMessage& m, const std::string& folderName);

  void CheckDefMsgStore();
  TComPtr<IMAPITable> OpenStoresTable();
  TComPtr<IMsgStore> OpenMsgStoreByEntryID(TEntryIDRef entryID);
  // The store among all of the profile's stores that holds the message
  // named by the text.
  TComPtr<IMsgStore> StoreHolding(const std::string& text);
  std::unique_ptr<TsxMAPI_Folder> GetIncomeFolder();
  // The folder a store names in one of its entry-identifier properties.
  std::unique_ptr<TsxMAPI_Folder> OpenFolderOfStore(IMsgStore* store, ULONG propTag);

  TComPtr<IMAPISession> FSession;
  TComPtr<IAddrBook> FAddrBook;
  TComPtr<IMsgStore> FDefaultMessageStore;
  bool FMAPIInit = false;
  bool FDoMAPIInit = true;
  bool FInService = false;
  std::string FProfile, FPassword;
  std::unique_ptr<TsxMAPI_Folder> FFolders[5];
  std::vector<TFolderSet> FFolderSet;
  HWND FOwner;
  std::atomic<bool> FStopGetAllMsg{false};
  bool FReadThroughTables = true;
  bool FTwoStage = false;
  bool FSearchOverFolders = true;
  std::int32_t FOpenedLate = 0;
  std::string FBodyCachePath;
  TBodyCache FBodyCache;
  std::int32_t FCachedBodies = 0;
  TBodyCacheLoad FBodyCacheFound = TBodyCacheLoad::missing;
  bool FBodyCacheWritten = false;
  std::vector<bool> FStoresWhole;  // walked whole, every folder read: by store position
  TStagedMessages FStaged;
  std::vector<TChildFolder> FStores;  // the run's stores, for stage 2
  std::size_t FStoreAt = 0;           // the store being walked
  unsigned FProgressInterval = 0;
  std::uint64_t FLastProgressTick = 0;  // GetTickCount64 of the last message reported
  std::atomic<std::int32_t> FMsgCount{0};    // messages looked at (progress)
  std::atomic<std::int32_t> FAddedCount{0};  // messages added to the index
  TCollectSkips FSkipped;
  TMessageOrigins FOrigins;
  std::string FOriginStore;             // the store being walked
  std::vector<std::string> FOriginPath; // folder names below its root
  std::uint32_t FOriginFolder = 0;      // the folder whose messages are read
  TQuopDB* FtxDB = nullptr;
  TEventDispatcher* FDispatcher = nullptr;
  std::unique_ptr<TGetAllMsgThread> FRunThread;
};
