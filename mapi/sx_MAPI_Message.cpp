#include <cctype>

#include "mapi/CnCRC32.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/MapiTime.h"
#include "mapi/PropertyStream.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const char kGetProperties[] = "Could not get properties!";

bool SameAsciiNoCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && !b[i];
}

TDateTime Time(const SPropValue& v) {
  return FileDateTimeToDateTime(v.Value.ft.dwLowDateTime, v.Value.ft.dwHighDateTime);
}

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
  enum { colSubject, colSenderName, colSenderEmail, colAddrType, colRepSmtp, colSenderSmtp,
         colSubmit, colSize, colDelivery };
  const auto tags = MakeTagArray(
      {TextTag(PR_SUBJECT, FUnicode), TextTag(PR_SENT_REPRESENTING_NAME, FUnicode),
       TextTag(PR_SENT_REPRESENTING_EMAIL_ADDRESS, FUnicode),
       TextTag(PR_SENT_REPRESENTING_ADDRTYPE, FUnicode),
       TextTag(PR_SENT_REPRESENTING_SMTP_ADDRESS_W, FUnicode),
       TextTag(PR_SENDER_SMTP_ADDRESS_W, FUnicode), PR_CLIENT_SUBMIT_TIME, PR_MESSAGE_SIZE,
       PR_MESSAGE_DELIVERY_TIME});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(FMessage->GetProps(tags.Get(), 0, &count, &values), kGetProperties);
  if (!values || count != tags->cValues) CheckValue(nullptr, PR_SUBJECT, kGetProperties);
  const auto text = [&](int col) { return SlotText(values[col], tags->aulPropTag[col]); };
  FSubject = text(colSubject);
  FSenderName = text(colSenderName);
  FSenderAddress = text(colSenderEmail);
  if (SameAsciiNoCase(text(colAddrType), "EX")) {
    // A legacy DN in one store, SMTP in another: the SMTP address matches both.
    std::string smtp = text(colRepSmtp);
    if (smtp.empty()) smtp = text(colSenderSmtp);
    if (!smtp.empty()) FSenderAddress = std::move(smtp);
  }
  FSentTime = HasValue(values[colSubmit], PR_CLIENT_SUBMIT_TIME, kGetProperties) ? Time(values[colSubmit]) : 0;
  FSize = HasValue(values[colSize], PR_MESSAGE_SIZE, kGetProperties) ? values[colSize].Value.l : 0;
  FRecivedTime = HasValue(values[colDelivery], PR_MESSAGE_DELIVERY_TIME, kGetProperties) ? Time(values[colDelivery]) : 0;
  FFilled = true;  // only after a whole read, so that a failed one is tried again
}

std::string TsxMAPI_Message::SlotText(const SPropValue& value, ULONG tag) {
  if (IsTooLargeValue(value)) return ReadTextStream(FMessage.Get(), tag, "Could not read a long text property!");
  return TextOrEmpty(value, tag, kGetProperties);
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

std::int32_t TsxMAPI_Message::GetBodyCRC() {
  static const std::string kWhat = "Could not read the message body!";
  const ULONG tag = TextTag(PR_BODY, FUnicode);
  const TMapiBuffer<SPropValue> value = GetProperty(tag);
  std::uint32_t crc = 0;
  if (IsTextValue(*value.Get(), tag)) {
    const std::string body = TextValue(*value.Get());
    crc = CRC32Calc(0, body.data(), body.size());
  } else if (IsTooLargeValue(*value.Get())) {
    ReadTextStream(FMessage.Get(), tag, kWhat, [&crc](std::string_view piece) {
      crc = CRC32Calc(crc, piece.data(), piece.size());
      return true;
    });
  } else if (!IsMissing(*value.Get())) {
    CheckValue(value.Get(), tag, kWhat);
  }
  return static_cast<std::int32_t>(crc);
}

bool TsxMAPI_Message::IsRead() {
  const TMapiBuffer<SPropValue> value = GetProperty(PR_MESSAGE_FLAGS);
  return HasValue(*value.Get(), PR_MESSAGE_FLAGS, kGetProperties) && (value->Value.l & MSGFLAG_READ) != 0;
}

TMapiBuffer<SPropValue> TsxMAPI_Message::GetEntryID() {
  TMapiBuffer<SPropValue> value = GetProperty(PR_ENTRYID);
  EntryIDOf(value.Get(), PR_ENTRYID, "Could not get the message's entry identifier!");
  return value;
}

std::string TsxMAPI_Message::GetEntryIDString() {
  const TMapiBuffer<SPropValue> value = GetEntryID();
  return EntryIDToText(value->Value.bin.lpb, value->Value.bin.cb);
}

std::vector<ULONG> TsxMAPI_Message::AttachmentsByValue() {
  static const std::string kWhat = "Could not get attachment list!";
  TComPtr<IMAPITable> table;
  CheckForError(FMessage->GetAttachmentTable(0, &table), kWhat);
  enum { colNum, colMethod };
  const auto columns = MakeTagArray({PR_ATTACH_NUM, PR_ATTACH_METHOD});
  TTableReader reader(std::move(table), columns.Get());
  std::vector<ULONG> numbers;
  reader.ForEachRow([&numbers](const SRow& row) {
    // An attachment whose row cannot be read raises: left out, the message
    // would match a copy without it.
    const SPropValue* method = Column(row, colMethod);
    if (!method) CheckValue(nullptr, PR_ATTACH_METHOD, kWhat);
    if (!HasValue(*method, PR_ATTACH_METHOD, kWhat) || static_cast<ULONG>(method->Value.l) != ATTACH_BY_VALUE)
      return true;
    const SPropValue* num = Column(row, colNum);
    CheckValue(num, PR_ATTACH_NUM, kWhat);
    numbers.push_back(static_cast<ULONG>(num->Value.l));
    return true;
  });
  return numbers;
}

std::string TsxMAPI_Message::GetAttachmentString() {
  std::string summary;
  for (const ULONG number : AttachmentsByValue()) {
    // One attachment open at a time, released before the next.
    TsxMAPI_Attachment a(number, *this);
    summary += a.GetName() + std::to_string(a.GetSize());
  }
  return summary;
}
