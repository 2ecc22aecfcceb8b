// The mail-store layer over Extended MAPI: the session, caching wrappers of
// folders, messages and attachments, and the collection run that fills the
// duplicate index. Failures raise Exception or EHeapException (MapiErrors.h).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "index/QuopRecords.h"
#include "mapi/MapiErrors.h"
#include "mapi/MapiHolders.h"

class TQuopDB;
class TsxMAPI_Session;
class TsxMAPI_Folder;
class TsxMAPI_Message;

enum TsxMAPI_FolderType { sxftInbox = 0, sxftRoot = 1, sxftOutbox = 2, sxftSent = 3, sxftDeleted = 4 };
enum TsxMAPI_MsgSendFlag { sxsfNoAction = 0, sxsfToSent = 1, sxsfDelete = 2 };
enum TsxMAPI_MsgRecipientType { sxrtTo = 0, sxrtCC = 1, sxrtBCC = 2 };

// An entry identifier as a byte count and bytes, for the constructors that open by it.
struct TEntryIDRef {
  ULONG cb;
  LPENTRYID lpb;
};

class TsxMAPI_Attachment {
 public:
  // Opens attachment `number` of the message; "Could not open attach for message!".
  TsxMAPI_Attachment(ULONG number, TsxMAPI_Message* message, ULONG type);
  ~TsxMAPI_Attachment() = default;
  TsxMAPI_Attachment(const TsxMAPI_Attachment&) = delete;
  TsxMAPI_Attachment& operator=(const TsxMAPI_Attachment&) = delete;

  void Refresh();
  std::string GetName();  // display name, else long file name, else file name
  ULONG GetSize();
  const std::string& FileName() const { return FFileName; }
  const std::string& LongFileName() const { return FLongFileName; }
  const std::string& Path() const { return FPath; }
  const std::string& LongPath() const { return FLongPath; }

 private:
  TsxMAPI_Message* FMessage;
  TComPtr<IAttach> FAttach;
  bool FFilled = false;
  ULONG ulType;
  TComPtr<IStream> pStream;
  std::string FName, FFileName, FLongFileName, FPath, FLongPath;
  ULONG FSize = 0;
};

class TsxMAPI_Message {
 public:
  // Opens the message through the folder when given, else through the
  // session; "Could not open message!". With neither, no MAPI message.
  TsxMAPI_Message(TEntryIDRef entryID, TsxMAPI_Folder* folder, TsxMAPI_Session* session);
  ~TsxMAPI_Message();
  TsxMAPI_Message(const TsxMAPI_Message&) = delete;
  TsxMAPI_Message& operator=(const TsxMAPI_Message&) = delete;

  std::string GetSender();
  std::string GetSenderAddr();
  std::string GetSubject();
  TDateTime GetSentTime();
  TDateTime GetRecivedTime();
  ULONG GetSize();
  void DoRefreshCommon();

  // One property; the caller owns the buffer. "Could not get properties!".
  TMapiBuffer<SPropValue> GetProperty(ULONG tag);
  // Read on every call; an error value instead of a text raises.
  std::string GetTo();
  std::string GetCC();
  std::string GetBCC();
  std::string GetBody();
  std::int32_t GetBodyCRC();  // 0 when the body is empty or unreadable; never raises
  bool IsRead();
  std::string GetEntryIDString();

  int GetAttachCount();
  TsxMAPI_Attachment* GetAttachment(int index);
  void DoRefreshAttachments();
  void ClearAttachments();
  std::string GetAttachmentString();

  IMessage* Message() const { return FMessage.Get(); }
  TsxMAPI_Folder* Folder() const { return FFolder; }

 private:
  std::string TextProperty(ULONG tag);

  TsxMAPI_Folder* FFolder;
  std::string FSenderName, FSenderAddress, FSubject, FBody;
  TDateTime FSentTime = 0, FRecivedTime = 0;
  ULONG FSize = 0;
  bool FFilled = false, FRecFilled = false, FAttFilled = false, FNew = false;
  bool FChanged = false, FRecChanged = false, FAttChanged = false;
  std::vector<std::string> FRec[3];
  std::vector<std::unique_ptr<TsxMAPI_Attachment>> FAttach;
  TComPtr<IMessage> FMessage;
};

class TsxMAPI_Folder {
 public:
  // Shares the interface (adds a reference). Raises "MAPI not initialized!"
  // when the session is not active.
  TsxMAPI_Folder(IMAPIFolder* folder, TsxMAPI_Session* session);
  // Opens the folder through the session with MAPI_BEST_ACCESS.
  TsxMAPI_Folder(TEntryIDRef entryID, TsxMAPI_Session* session);
  ~TsxMAPI_Folder();
  TsxMAPI_Folder(const TsxMAPI_Folder&) = delete;
  TsxMAPI_Folder& operator=(const TsxMAPI_Folder&) = delete;

  std::string GetFolderName();
  std::string GetEntryIDString();
  int GetSubCount();
  TsxMAPI_Folder* GetSubFolder(int index);
  int GetMsgCount();
  TsxMAPI_Message* GetMessage(int index);
  bool IsNote();

  void RefreshHierarchi();
  void ClearHierarchi();
  void RefreshContents();
  void ClearContents();

  // Deletes the message from the store for good and destroys the object;
  // on failure it raises and the object stays with the caller.
  void DeleteMessage(std::unique_ptr<TsxMAPI_Message>& message);
  // Copies the message into the target, or moves it with MESSAGE_MOVE.
  void CopyMessage(TsxMAPI_Message* message, TsxMAPI_Folder* target, ULONG flags);

  IMAPIFolder* Folder() const { return FFolder.Get(); }
  TsxMAPI_Session* Session() const { return FSession; }

 private:
  void Init();

  TsxMAPI_Session* FSession;
  int FSubCount = -1;
  int FMsgCount = -1;
  std::string FFolderName;
  std::vector<std::unique_ptr<TsxMAPI_Folder>> FSubs;
  std::vector<std::unique_ptr<TsxMAPI_Message>> FMsgs;
  std::string FEntryIDString;
  TComPtr<IMAPIFolder> FFolder;
};

// Declared for completeness of the session; nothing creates one.
class TsxMAPI_MailUser {
 public:
  const std::string& Name() const { return FName; }

 private:
  TComPtr<IMailUser> FUser;
  TsxMAPI_Session* FSession = nullptr;
  std::string FEntryID, FName, FAddress, FAccount;
  bool FFilled = false;
};

struct TFolderSet {
  std::string strEntryID;
  bool bSelected;
};

using TNotifyEvent = std::function<void(TsxMAPI_Session* Sender)>;
using TProgressMsgEvent = std::function<void(const std::string& Text)>;

// Hands an event over to the owner's thread. The window posts a message to
// itself; tests and the console scan keep a queue that they pump.
class TEventDispatcher {
 public:
  virtual ~TEventDispatcher() = default;
  virtual void Post(std::function<void()> event) = 0;
};
