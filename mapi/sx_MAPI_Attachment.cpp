#include "mapi/MapiText.h"
#include "mapi/sx_MAPI.h"

TsxMAPI_Attachment::TsxMAPI_Attachment(ULONG number, TsxMAPI_Message* message, ULONG type)
    : FMessage(message), ulType(type) {
  HRESULT hr = MAPI_E_INVALID_PARAMETER;
  if (message && message->Message())
    hr = message->Message()->OpenAttach(number, nullptr, MAPI_BEST_ACCESS, &FAttach);
  CheckForError(hr, "Could not open attach for message!");
}

void TsxMAPI_Attachment::Refresh() {
  const bool unicode = FMessage && FMessage->Unicode();
  enum { colName, colFileName, colLongFileName, colPath, colLongPath, colSize };
  const auto tags = MakeTagArray({TextTag(PR_DISPLAY_NAME, unicode), TextTag(PR_ATTACH_FILENAME, unicode),
                                  TextTag(PR_ATTACH_LONG_FILENAME, unicode), TextTag(PR_ATTACH_PATHNAME, unicode),
                                  TextTag(PR_ATTACH_LONG_PATHNAME, unicode), PR_ATTACH_SIZE});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  const HRESULT hr = FAttach->GetProps(tags.Get(), 0, &count, &values);
  if (FAILED(hr) || !values || count != tags->cValues)
    throw EHeapException("Could not get properties!", FAILED(hr) ? hr : MAPI_E_CALL_FAILED);
  // A missing name is empty; one that cannot be read fails the attachment.
  const auto text = [&](int col) {
    const SPropValue& v = values[col];
    if (IsTextValue(v, tags->aulPropTag[col])) return TextValue(v);
    if (PROP_TYPE(v.ulPropTag) != PT_ERROR || v.Value.err != MAPI_E_NOT_FOUND)
      CheckValue(&v, tags->aulPropTag[col], "Could not get properties!");
    return std::string();
  };
  FName = text(colName);
  FFileName = text(colFileName);
  FLongFileName = text(colLongFileName);
  FPath = text(colPath);
  FLongPath = text(colLongPath);
  if (values[colSize].ulPropTag == PR_ATTACH_SIZE) FSize = values[colSize].Value.l;
  FFilled = true;
}

std::string TsxMAPI_Attachment::GetName() {
  if (!FFilled) Refresh();
  if (!FName.empty()) return FName;
  if (!FLongFileName.empty()) return FLongFileName;
  return FFileName;
}

ULONG TsxMAPI_Attachment::GetSize() {
  if (!FFilled) Refresh();
  return FSize;
}
