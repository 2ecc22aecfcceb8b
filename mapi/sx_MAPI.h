// The mail-store layer over Extended MAPI: the session, wrappers of folders,
// messages and attachments, and the collection run that fills the duplicate
// index. Failures raise Exception or EHeapException (MapiErrors.h) with the
// text of the operation that failed.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"
#include "mapi/BodyDigest.h"
#include "mapi/MapiErrors.h"
#include "mapi/MapiHolders.h"
#include "mapi/MapiProps.h"

class TsxMAPI_Session;
class TsxMAPI_Folder;
class TsxMAPI_Message;

enum TsxMAPI_FolderType { sxftInbox = 0, sxftRoot = 1, sxftOutbox = 2, sxftSent = 3, sxftDeleted = 4 };

// An entry of a table by its identifier and display name: a child folder as
// its parent's hierarchy table lists it, or a store of the stores table.
struct TChildFolder {
  std::string entryID;  // bytes
  std::string name;     // UTF-8; empty when the table had none
};

// A message as a folder's contents table lists it; valid while the row is.
struct TMessageRow {
  TEntryIDRef entryID;
  std::string subject;  // UTF-8, maybe cut short by the table; for naming only
};

// One attachment of a message, open while the object lives.
class TsxMAPI_Attachment {
 public:
  // Opens attachment `number` of the message; "Could not open attach for
  // message!". Its names are read in the message's text width, as UTF-8.
  TsxMAPI_Attachment(ULONG number, const TsxMAPI_Message& message);
  TsxMAPI_Attachment(const TsxMAPI_Attachment&) = delete;
  TsxMAPI_Attachment& operator=(const TsxMAPI_Attachment&) = delete;

  std::string GetName();  // display name, else long file name, else file name
  ULONG GetSize();

 private:
  void Refresh();

  bool FUnicode;
  TComPtr<IAttach> FAttach;
  bool FFilled = false;
  std::string FName, FFileName, FLongFileName;
  ULONG FSize = 0;
};

class TsxMAPI_Message {
 public:
  // Opens the message through the folder when given, else through the
  // session; "Could not open message!". `access` 0 opens it read-only, as
  // the collection does: a message held open for writing cannot be deleted
  // or moved by anyone else meanwhile.
  TsxMAPI_Message(TEntryIDRef entryID, TsxMAPI_Folder* folder, TsxMAPI_Session* session,
                  ULONG access = MAPI_MODIFY);
  TsxMAPI_Message(const TsxMAPI_Message&) = delete;
  TsxMAPI_Message& operator=(const TsxMAPI_Message&) = delete;

  // Texts are UTF-8, read as PT_UNICODE from a Unicode store. The common
  // properties below are read together once, on the first request.
  std::string GetSender();
  // An Exchange sender (type EX) goes by its SMTP address when the message
  // carries one, so that its copies in other stores match.
  std::string GetSenderAddr();
  std::string GetSubject();
  TDateTime GetSentTime();
  TDateTime GetRecivedTime();
  ULONG GetSize();

  // One property; the value may be an error value. "Could not get properties!".
  TMapiBuffer<SPropValue> GetProperty(ULONG tag);
  // Read on every call; a text too large for GetProps is read through a
  // stream; a text the message lacks is empty; any other error value raises.
  std::string GetTo();
  std::string GetCC();
  std::string GetBCC();
  // The body's CRC in its best form with one GetProps (see BodyDigest.h),
  // streamed in chunks when the store will not hand it out whole; CRC 0 for
  // a message without a body. A body that cannot be read raises: it must
  // never count as equal to another.
  TBodyDigest GetBody();
  std::int32_t GetBodyCRC();
  bool IsRead();
  // Read with the common properties: flagged for follow-up, has attachments.
  bool IsFlagged();
  bool HasAttachments();
  // The message's PR_ENTRYID; one that cannot be read, or is empty, raises.
  TMapiBuffer<SPropValue> GetEntryID();
  std::string GetEntryIDString();
  // Each attachment stored by value as its name followed by its size, in
  // table order; one attachment open at a time.
  std::string GetAttachmentString();

  IMessage* Message() const { return FMessage.Get(); }
  bool Unicode() const { return FUnicode; }

 private:
  void DoRefreshCommon();
  std::string TextProperty(ULONG tag);
  // The text of a GetProps slot; one too large is read through a stream.
  std::string SlotText(const SPropValue& value, ULONG tag);

  bool FUnicode;
  bool FFilled = false;
  std::string FSenderName, FSenderAddress, FSubject;
  TDateTime FSentTime = 0, FRecivedTime = 0;
  ULONG FSize = 0;
  bool FFlagged = false, FHasAttachments = false;
  TComPtr<IMessage> FMessage;
};

class TsxMAPI_Folder {
 public:
  // Shares the interface (adds a reference). Raises "MAPI not initialized!"
  // when the session is not active.
  TsxMAPI_Folder(IMAPIFolder* folder, TsxMAPI_Session* session);
  // Opens the folder through the session with MAPI_BEST_ACCESS.
  TsxMAPI_Folder(TEntryIDRef entryID, TsxMAPI_Session* session);
  TsxMAPI_Folder(const TsxMAPI_Folder&) = delete;
  TsxMAPI_Folder& operator=(const TsxMAPI_Folder&) = delete;

  std::string GetFolderName();  // UTF-8; read once
  // Read on every call; an identifier that cannot be read raises.
  std::string GetEntryIDString();
  // The children as the hierarchy table lists them, read afresh on every
  // call; nothing is opened here.
  std::vector<TChildFolder> SubFolders();
  // Opens a child folder read-only; it shares this folder's text width.
  std::unique_ptr<TsxMAPI_Folder> OpenSubFolder(const TChildFolder& child);
  // Walks the contents table in batches of rows, handing each message's
  // row to `visit` until it returns false; nothing is opened here.
  void ForEachMessageRow(const std::function<bool(const TMessageRow&)>& visit);
  // Whether the folder holds mail (class IPF.Note, empty or none); raises
  // when its class cannot be read.
  bool IsNote();
  // The store's text width; set it before the first text is read, as the
  // name, once read, is kept.
  bool Unicode() const { return FUnicode; }
  void SetUnicode(bool value) { FUnicode = value; }

  // Deletes the message (one of this folder's) from the store for good.
  void DeleteMessage(TsxMAPI_Message& message);
  // Copies the message (one of this folder's) into the target, or moves it
  // with MESSAGE_MOVE.
  void CopyMessage(TsxMAPI_Message& message, TsxMAPI_Folder& target, ULONG flags);
  // The same for a list of this folder's messages in one call. The store's
  // answer is returned as it is, never raised: S_OK, a failure, or the
  // warning MAPI_W_PARTIAL_COMPLETION (SUCCEEDED, yet some were not done).
  HRESULT DeleteMessages(ENTRYLIST& list);
  HRESULT CopyMessages(ENTRYLIST& list, TsxMAPI_Folder& target, ULONG flags);
  // PR_CONTENT_COUNT, read afresh; "Could not get the folder's message count!".
  ULONG ContentCount();

  IMAPIFolder* Folder() const { return FFolder.Get(); }

 private:
  TsxMAPI_Session* FSession;
  bool FUnicode = false;
  std::optional<std::string> FFolderName;
  TComPtr<IMAPIFolder> FFolder;
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
