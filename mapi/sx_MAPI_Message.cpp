#include "mapi/AttachmentSummary.h"
#include "mapi/BodyDigest.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/MessageSlots.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const char kGetProperties[] = "Could not get properties!";

}  // namespace

TsxMAPI_Message::TsxMAPI_Message(TEntryIDRef entryID, TsxMAPI_Folder* folder,
                                 TsxMAPI_Session* session, ULONG access)
    : FUnicode(folder && folder->Unicode()) {
  static const std::string kWhat = "Could not open message!";
  if (folder)
    FMessage = OpenEntryAs<IMessage>(folder->Folder(), entryID, IID_IMessage, access, kWhat);
  else if (session && session->Session())
    FMessage = OpenEntryAs<IMessage>(session->Session(), entryID, IID_IMessage, access, kWhat);
  else
    CheckForError(MAPI_E_NOT_INITIALIZED, kWhat);
}

void TsxMAPI_Message::DoRefreshCommon() {
  const auto tags = CommonTags(FUnicode, false);
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(FMessage->GetProps(tags.Get(), 0, &count, &values), kGetProperties);
  if (!values || count != tags->cValues) CheckValue(nullptr, PR_SUBJECT, kGetProperties);
  TCommonFields f =
      DecodeCommon(values.Get(), [&](int col) { return SlotText(values[col], tags->aulPropTag[col]); });
  FSubject = std::move(f.subject);
  FSenderName = std::move(f.senderName);
  FSenderAddress = std::move(f.senderAddress);
  FSentTime = f.sent;
  FSize = f.size;
  FRecivedTime = f.received;
  FFlagged = f.flagged;
  FHasAttachments = f.hasAttachments;
  FFilled = true;  // only after a whole read, so that a failed one is tried again
}

std::string TsxMAPI_Message::SlotText(const SPropValue& value, ULONG tag) {
  return ::SlotText(FMessage.Get(), value, tag);
}

std::string TsxMAPI_Message::GetSender() {
  if (!FFilled) DoRefreshCommon();
  return FSenderName;
}

std::string TsxMAPI_Message::GetSenderAddr() {
  if (!FFilled) DoRefreshCommon();
  return FSenderAddress;
}

std::string TsxMAPI_Message::GetSubject() {
  if (!FFilled) DoRefreshCommon();
  return FSubject;
}

TDateTime TsxMAPI_Message::GetSentTime() {
  if (!FFilled) DoRefreshCommon();
  return FSentTime;
}

TDateTime TsxMAPI_Message::GetRecivedTime() {
  if (!FFilled) DoRefreshCommon();
  return FRecivedTime;
}

ULONG TsxMAPI_Message::GetSize() {
  if (!FFilled) DoRefreshCommon();
  return FSize;
}

TMapiBuffer<SPropValue> TsxMAPI_Message::GetProperty(ULONG tag) {
  return GetOneProp(FMessage.Get(), tag, kGetProperties);
}

std::string TsxMAPI_Message::TextProperty(ULONG tag) {
  const ULONG wanted = TextTag(tag, FUnicode);
  return SlotText(*GetProperty(wanted).Get(), wanted);
}

std::string TsxMAPI_Message::GetTo() { return TextProperty(PR_DISPLAY_TO); }
std::string TsxMAPI_Message::GetCC() { return TextProperty(PR_DISPLAY_CC); }
std::string TsxMAPI_Message::GetBCC() { return TextProperty(PR_DISPLAY_BCC); }

TBodyDigest TsxMAPI_Message::GetBody() {
  const auto tags = BodyTags(FUnicode);
  SizedSPropTagArray(bsCount, asked) = {bsCount, {tags[bsText], tags[bsHtml], tags[bsRtf]}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(FMessage->GetProps(reinterpret_cast<LPSPropTagArray>(&asked), 0, &count, &values), kGetProperties);
  if (!values || count != bsCount) CheckValue(nullptr, tags[bsText], kGetProperties);
  return BodyDigestOfSlots(FMessage.Get(), values.Get(), tags.data());
}

std::int32_t TsxMAPI_Message::GetBodyCRC() { return GetBody().crc; }

bool TsxMAPI_Message::IsFlagged() {
  if (!FFilled) DoRefreshCommon();
  return FFlagged;
}

bool TsxMAPI_Message::HasAttachments() {
  if (!FFilled) DoRefreshCommon();
  return FHasAttachments;
}

bool TsxMAPI_Message::IsRead() { return IsReadFlags(*GetProperty(PR_MESSAGE_FLAGS).Get()); }

TMapiBuffer<SPropValue> TsxMAPI_Message::GetEntryID() {
  TMapiBuffer<SPropValue> value = GetProperty(PR_ENTRYID);
  EntryIDOf(value.Get(), PR_ENTRYID, "Could not get the message's entry identifier!");
  return value;
}

std::string TsxMAPI_Message::GetEntryIDString() {
  const TMapiBuffer<SPropValue> value = GetEntryID();
  return EntryIDToText(value->Value.bin.lpb, value->Value.bin.cb);
}

std::string TsxMAPI_Message::GetAttachmentString() { return AttachmentSummary(*this, false); }
