#include <cstdio>

#include "mapi/CnCRC32.h"
#include "mapi/EntryIDText.h"
#include "mapi/MapiTime.h"
#include "mapi/sx_MAPI_Session.h"

namespace {

const std::string kNotRead(1, '\x01');

std::string Text(const SPropValue& v) { return v.Value.lpszA ? v.Value.lpszA : ""; }

TDateTime Time(const SPropValue& v) {
  return FileDateTimeToDateTime(v.Value.ft.dwLowDateTime, v.Value.ft.dwHighDateTime);
}

}  // namespace

TsxMAPI_Message::TsxMAPI_Message(TEntryIDRef entryID, TsxMAPI_Folder* folder,
                                 TsxMAPI_Session* session)
    : FFolder(folder), FBody(kNotRead) {
  FNew = entryID.cb == 0 || entryID.lpb == nullptr;
  ULONG type = 0;
  HRESULT hr = S_OK;
  if (folder && folder->Folder())
    hr = folder->Folder()->OpenEntry(entryID.cb, entryID.lpb, &IID_IMessage, MAPI_MODIFY, &type,
                                     FMessage.As<IUnknown>());
  else if (session && session->Session())
    hr = session->Session()->OpenEntry(entryID.cb, entryID.lpb, &IID_IMessage, MAPI_MODIFY, &type,
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
  const auto tags = MakeTagArray({PR_DISPLAY_NAME, PR_SUBJECT, PR_SENT_REPRESENTING_NAME,
                                  PR_SENT_REPRESENTING_EMAIL_ADDRESS, PR_CLIENT_SUBMIT_TIME,
                                  PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  HRESULT hr = FMessage ? FMessage->GetProps(tags.Get(), 0, &count, &values) : MAPI_E_NO_SUPPORT;
  CheckForError(hr, "Could not get properties!");
  for (ULONG i = 0; values && i < count; ++i) {
    const SPropValue& v = values[i];
    switch (v.ulPropTag) {  // an error value has another type and matches nothing
      case PR_SUBJECT: FSubject = Text(v); break;
      case PR_SENT_REPRESENTING_NAME: FSenderName = Text(v); break;
      case PR_SENT_REPRESENTING_EMAIL_ADDRESS: FSenderAddress = Text(v); break;
      case PR_CLIENT_SUBMIT_TIME: FSentTime = Time(v); break;
      case PR_MESSAGE_SIZE: FSize = v.Value.l; break;
      case PR_MESSAGE_DELIVERY_TIME: FRecivedTime = Time(v); break;
      default: break;
    }
  }
  FFilled = true;
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
  const TMapiBuffer<SPropValue> value = GetProperty(tag);
  // An error value: the store has none, or declines a long text.
  CheckValue(value.Get(), tag, "Could not get properties!");
  return Text(*value.Get());
}

std::string TsxMAPI_Message::GetTo() { return TextProperty(PR_DISPLAY_TO); }
std::string TsxMAPI_Message::GetCC() { return TextProperty(PR_DISPLAY_CC); }
std::string TsxMAPI_Message::GetBCC() { return TextProperty(PR_DISPLAY_BCC); }
std::string TsxMAPI_Message::GetBody() { return TextProperty(PR_BODY); }

std::int32_t TsxMAPI_Message::GetBodyCRC() {
  try {
    const std::string body = GetBody();
    return body.empty() ? 0 : static_cast<std::int32_t>(StrCRC32(0, body.c_str()));
  } catch (...) {
    return 0;
  }
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
  const auto columns = MakeTagArray({PR_ATTACH_NUM, PR_ATTACH_METHOD});
  CheckForError(table->SetColumns(columns.Get(), 0), "Could not set columns!");
  TRowSet rows;
  CheckForError(table->QueryRows(0x7FFFFFFF, 0, &rows), "Could not get rows data!");
  ClearAttachments();
  for (ULONG r = 0; r < rows.Count(); ++r) {
    const SRow& row = rows->aRow[r];
    if (row.cValues < 2 || row.lpProps[0].ulPropTag != PR_ATTACH_NUM ||
        row.lpProps[1].ulPropTag != PR_ATTACH_METHOD)
      continue;
    if (static_cast<ULONG>(row.lpProps[1].Value.l) != ATTACH_BY_VALUE) continue;
    FAttach.push_back(std::make_unique<TsxMAPI_Attachment>(
        static_cast<ULONG>(row.lpProps[0].Value.l), this, ATTACH_BY_VALUE));
  }
  FAttFilled = true;
}

int TsxMAPI_Message::GetAttachCount() {
  if (!FAttFilled) DoRefreshAttachments();
  return static_cast<int>(FAttach.size());
}

TsxMAPI_Attachment* TsxMAPI_Message::GetAttachment(int index) {
  if (!FAttFilled) DoRefreshAttachments();
  if (index < 0 || index >= static_cast<int>(FAttach.size())) return nullptr;
  return FAttach[index].get();
}

void TsxMAPI_Message::ClearAttachments() {
  FAttach.clear();
  FAttChanged = true;
}

std::string TsxMAPI_Message::GetAttachmentString() {
  std::string summary;
  const int count = GetAttachCount();
  for (int i = 0; i < count; ++i) {
    TsxMAPI_Attachment* a = FAttach[i].get();
    summary += a->GetName() + std::to_string(a->GetSize());
  }
  return summary;
}
