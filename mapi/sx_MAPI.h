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

#include "indexapi/QuopRecords.h"
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

// A child of a folder as its hierarchy table lists it.
struct TChildFolder {
  std::string entryID;  // bytes
  std::string name;     // UTF-8; empty when the table had none
  TEntryIDRef Ref() const {
    return {static_cast<ULONG>(entryID.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(entryID.data()))};
  }
};

// A message as a folder's contents table lists it.
struct TMessageRow {
  TEntryIDRef entryID;
  std::string subject;  // UTF-8, maybe cut short by the table; for naming only
};

class TsxMAPI_Attachment {
 public:
  // Opens attachment `number` of the message; "Could not open attach for message!".
  // Its names are read in the message's text width, as UTF-8.
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
  // `access` 0 opens it read-only, as the collection does: a message held
  // open for writing cannot be deleted or moved by anyone else meanwhile.
  TsxMAPI_Message(TEntryIDRef entryID, TsxMAPI_Folder* folder, TsxMAPI_Session* session,
                  ULONG access = MAPI_MODIFY);
  ~TsxMAPI_Message();
  TsxMAPI_Message(const TsxMAPI_Message&) = delete;
  TsxMAPI_Message& operator=(const TsxMAPI_Message&) = delete;

  // Texts are UTF-8, read as PT_UNICODE from a Unicode store.
  std::string GetSender();
  // An Exchange sender (type EX) goes by its SMTP address when the message
  // carries one, so that its copies in other stores match.
  std::string GetSenderAddr();
  std::string GetSubject();
  TDateTime GetSentTime();
  TDateTime GetRecivedTime();
  ULONG GetSize();
  void DoRefreshCommon();

  // One property; the caller owns the buffer. "Could not get properties!".
  TMapiBuffer<SPropValue> GetProperty(ULONG tag);
  // Read on every call; a text too large for GetProps is read through a
  // stream; a text the message lacks is empty; any other error value raises.
  std::string GetTo();
  std::string GetCC();
  std::string GetBCC();
  std::string GetBody();
  // CRC-32 of the body's UTF-8, streamed in chunks when the store will not
  // hand it out whole; 0 for a missing or empty body. A body that cannot be
  // read raises: it must never count as equal to another.
  std::int32_t GetBodyCRC();
  bool IsRead();
  std::string GetEntryIDString();

  int GetAttachCount();
  TsxMAPI_Attachment* GetAttachment(int index);
  void DoRefreshAttachments();
  void ClearAttachments();
  std::string GetAttachmentString();

  IMessage* Message() const { return FMessage.Get(); }
  TsxMAPI_Folder* Folder() const { return FFolder; }
  bool Unicode() const { return FUnicode; }
  void SetUnicode(bool value) { FUnicode = value; }

 private:
  std::string TextProperty(ULONG tag);
  // The text of a GetProps slot; one too large is read through a stream.
  std::string SlotText(const SPropValue& value, ULONG tag);

  TsxMAPI_Folder* FFolder;
  bool FUnicode = false;
  std::string FSenderName, FSenderAddress, FSubject, FBody;
  TDateTime FSentTime = 0, FRecivedTime = 0;
  ULONG FSize = 0;
  bool FFilled = false, FRecFilled = false, FAttFilled = false, FNew = false;
  bool FChanged = false, FRecChanged = false, FAttChanged = false;
  std::vector<std::string> FRec[3];
  std::vector<ULONG> FAttachNums;  // attachments stored by value
  int FOpenAttachIndex = -1;
  std::unique_ptr<TsxMAPI_Attachment> FOpenAttach;
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

  std::string GetFolderName();  // UTF-8
  std::string GetEntryIDString();
  // Children and messages are listed by entry identifier; the one asked for
  // last is opened and kept until another is asked for, so a folder never
  // holds more than one of each open.
  int GetSubCount();
  TsxMAPI_Folder* GetSubFolder(int index);
  const TChildFolder* SubFolderRow(int index) const;
  int GetMsgCount();
  TsxMAPI_Message* GetMessage(int index);
  // Whether the folder holds mail (class IPF.Note, empty or none); raises
  // when its class cannot be read.
  bool IsNote();
  // Walks the contents table in batches of rows, handing each message's
  // row to `visit` until it returns false; nothing is opened here.
  void ForEachMessageRow(const std::function<bool(const TMessageRow&)>& visit);
  // Opens a child folder read-only; it shares this folder's text width.
  std::unique_ptr<TsxMAPI_Folder> OpenSubFolder(const TChildFolder& child);
  bool Unicode() const { return FUnicode; }
  void SetUnicode(bool value) { FUnicode = value; }

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
  bool FUnicode = false;
  int FSubCount = -1;
  int FMsgCount = -1;
  std::string FFolderName;
  std::vector<TChildFolder> FSubs;
  std::vector<std::string> FMsgIDs;  // entry identifiers, as bytes
  int FOpenSubIndex = -1, FOpenMsgIndex = -1;
  std::unique_ptr<TsxMAPI_Folder> FOpenSub;
  std::unique_ptr<TsxMAPI_Message> FOpenMsg;
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
