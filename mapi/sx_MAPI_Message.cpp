#include <cctype>
#include <cstdio>

#include "mapi/CnCRC32.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/MapiTime.h"
#include "mapi/PropertyStream.h"
#include "mapi/TableReader.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const std::string kNotRead(1, '\x01');

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
    : FFolder(folder), FUnicode(folder && folder->Unicode()), FBody(kNotRead) {
  FNew = entryID.cb == 0 || entryID.lpb == nullptr;
  ULONG type = 0;
  HRESULT hr = S_OK;
  if (folder && folder->Folder())
    hr = folder->Folder()->OpenEntry(entryID.cb, entryID.lpb, &IID_IMessage, access, &type,
                                     FMessage.As<IUnknown>());
  else if (session && session->Session())
    hr = session->Session()->OpenEntry(entryID.cb, entryID.lpb, &IID_IMessage, access, &type,
                                       FMessage.As<IUnknown>());
  CheckForError(hr, "Could not open message!");
}

TsxMAPI_Message::~TsxMAPI_Message() { ClearAttachments(); }

void TsxMAPI_Message::DoRefreshCommon() {
  if (FNew) return;
  FSubject.clear();
  FSenderName.clear();
  FSenderAddress.clear();
  FSentTime = 0;
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
  HRESULT hr = FMessage ? FMessage->GetProps(tags.Get(), 0, &count, &values) : MAPI_E_NO_SUPPORT;
  CheckForError(hr, "Could not get properties!");
  if (!values || count != tags->cValues) CheckValue(nullptr, PR_SUBJECT, "Could not get properties!");
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
  if (values[colSubmit].ulPropTag == PR_CLIENT_SUBMIT_TIME) FSentTime = Time(values[colSubmit]);
  if (values[colSize].ulPropTag == PR_MESSAGE_SIZE) FSize = values[colSize].Value.l;
  if (values[colDelivery].ulPropTag == PR_MESSAGE_DELIVERY_TIME) FRecivedTime = Time(values[colDelivery]);
  FFilled = true;
}

std::string TsxMAPI_Message::SlotText(const SPropValue& value, ULONG tag) {
  if (IsTextValue(value, tag)) return TextValue(value);
  if (IsTooLargeValue(value)) return ReadTextStream(FMessage.Get(), tag, "Could not get properties!");
  // None on the message: an empty text. Any other error must not pass for
  // an empty text, or two unreadable messages would compare equal.
  if (PROP_TYPE(value.ulPropTag) == PT_ERROR && value.Value.err == MAPI_E_NOT_FOUND) return {};
  CheckValue(&value, tag, "Could not get properties!");
  return {};
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
  const auto tags = MakeTagArray({tag});
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  const HRESULT hr =
      FMessage ? FMessage->GetProps(tags.Get(), 0, &count, &value) : MAPI_E_NO_SUPPORT;
  CheckForError(hr, "Could not get properties!");
  if (!value || count != 1) CheckValue(nullptr, tag, "Could not get properties!");
  return value;
}

std::string TsxMAPI_Message::TextProperty(ULONG tag) {
  const ULONG wanted = TextTag(tag, FUnicode);
  const TMapiBuffer<SPropValue> value = GetProperty(wanted);
  if (IsTooLargeValue(*value.Get())) return ReadTextStream(FMessage.Get(), wanted, "Could not get properties!");
  // A text the message lacks is an empty one; any other error value raises.
  if (PROP_TYPE(value->ulPropTag) == PT_ERROR && value->Value.err == MAPI_E_NOT_FOUND) return {};
  CheckValue(value.Get(), wanted, "Could not get properties!");
  return TextValue(*value.Get());
}

std::string TsxMAPI_Message::GetTo() { return TextProperty(PR_DISPLAY_TO); }
std::string TsxMAPI_Message::GetCC() { return TextProperty(PR_DISPLAY_CC); }
std::string TsxMAPI_Message::GetBCC() { return TextProperty(PR_DISPLAY_BCC); }
std::string TsxMAPI_Message::GetBody() { return TextProperty(PR_BODY); }

std::int32_t TsxMAPI_Message::GetBodyCRC() {
  const ULONG tag = TextTag(PR_BODY, FUnicode);
  const TMapiBuffer<SPropValue> value = GetProperty(tag);
  std::uint32_t crc = 0;
  if (IsTextValue(*value.Get(), tag)) {
    const std::string body = TextValue(*value.Get());
    crc = CRC32Calc(0, body.data(), body.size());
  } else if (IsTooLargeValue(*value.Get())) {
    ReadTextStream(FMessage.Get(), tag, "Could not read the message body!", [&crc](std::string_view piece) {
      crc = CRC32Calc(crc, piece.data(), piece.size());
      return true;
    });
  } else if (value->Value.err != MAPI_E_NOT_FOUND) {
    CheckValue(value.Get(), tag, "Could not read the message body!");
  }
  return static_cast<std::int32_t>(crc);
}

bool TsxMAPI_Message::IsRead() {
  const TMapiBuffer<SPropValue> value = GetProperty(PR_MESSAGE_FLAGS);
  return value->ulPropTag == PR_MESSAGE_FLAGS && (value->Value.l & MSGFLAG_READ) != 0;
}

std::string TsxMAPI_Message::GetEntryIDString() {
  const TMapiBuffer<SPropValue> value = GetProperty(PR_ENTRYID);
  if (value->ulPropTag != PR_ENTRYID) return "";
  return EntryIDToText(value->Value.bin.lpb, value->Value.bin.cb);
}

void TsxMAPI_Message::DoRefreshAttachments() {
  if (FNew) return;
  TComPtr<IMAPITable> table;
  HRESULT hr = FMessage ? FMessage->GetAttachmentTable(0, &table) : MAPI_E_NO_SUPPORT;
  CheckForError(hr, "Could not get attachment list!");
  enum { colNum, colMethod };
  const auto columns = MakeTagArray({PR_ATTACH_NUM, PR_ATTACH_METHOD});
  TTableReader reader(std::move(table), columns.Get());
  std::vector<ULONG> numbers;
  reader.ForEachRow([&numbers](const SRow& row) {
    if (row.cValues >= 2 && row.lpProps[colNum].ulPropTag == PR_ATTACH_NUM &&
        row.lpProps[colMethod].ulPropTag == PR_ATTACH_METHOD &&
        static_cast<ULONG>(row.lpProps[colMethod].Value.l) == ATTACH_BY_VALUE)
      numbers.push_back(static_cast<ULONG>(row.lpProps[colNum].Value.l));
    return true;
  });
  ClearAttachments();
  FAttachNums = std::move(numbers);
  FAttFilled = true;
}

int TsxMAPI_Message::GetAttachCount() {
  if (!FAttFilled) DoRefreshAttachments();
  return static_cast<int>(FAttachNums.size());
}

TsxMAPI_Attachment* TsxMAPI_Message::GetAttachment(int index) {
  if (!FAttFilled) DoRefreshAttachments();
  if (index < 0 || index >= static_cast<int>(FAttachNums.size())) return nullptr;
  if (index != FOpenAttachIndex || !FOpenAttach) {
    FOpenAttach.reset();
    FOpenAttachIndex = -1;
    FOpenAttach = std::make_unique<TsxMAPI_Attachment>(FAttachNums[index], this, ATTACH_BY_VALUE);
    FOpenAttachIndex = index;
  }
  return FOpenAttach.get();
}

void TsxMAPI_Message::ClearAttachments() {
  FOpenAttach.reset();
  FOpenAttachIndex = -1;
  FAttachNums.clear();
  FAttChanged = true;
}

std::string TsxMAPI_Message::GetAttachmentString() {
  std::string summary;
  const int count = GetAttachCount();
  for (int i = 0; i < count; ++i) {
    // One attachment open at a time, released before the next.
    TsxMAPI_Attachment a(FAttachNums[i], this, ATTACH_BY_VALUE);
    summary += a.GetName() + std::to_string(a.GetSize());
  }
  return summary;
}
