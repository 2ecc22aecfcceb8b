#include "mapi/AttachmentSummary.h"
#include "mapi/MapiText.h"
#include "mapi/sx_MAPI.h"

TsxMAPI_Attachment::TsxMAPI_Attachment(ULONG number, const TsxMAPI_Message& message)
    : FUnicode(message.Unicode()) {
  CheckForError(message.Message()->OpenAttach(number, nullptr, MAPI_BEST_ACCESS, &FAttach),
                "Could not open attach for message!");
}

void TsxMAPI_Attachment::Refresh() {
  static const std::string kWhat = "Could not get properties!";
  enum { colName, colFileName, colLongFileName, colSize };
  const auto tags = MakeTagArray({TextTag(PR_DISPLAY_NAME, FUnicode), TextTag(PR_ATTACH_FILENAME, FUnicode),
                                  TextTag(PR_ATTACH_LONG_FILENAME, FUnicode), PR_ATTACH_SIZE});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  CheckForError(FAttach->GetProps(tags.Get(), 0, &count, &values), kWhat);
  if (!values || count != tags->cValues) CheckValue(nullptr, PR_ATTACH_SIZE, kWhat);
  // A missing value is empty (0); one that cannot be read fails the attachment.
  const auto text = [&](int col) { return TextOrEmpty(values[col], tags->aulPropTag[col], kWhat); };
  FName = text(colName);
  FFileName = text(colFileName);
  FLongFileName = text(colLongFileName);
  FSize = HasValue(values[colSize], PR_ATTACH_SIZE, kWhat) ? values[colSize].Value.l : 0;
  FFilled = true;
}

std::string TsxMAPI_Attachment::GetName() {
  if (!FFilled) Refresh();
  return AttachmentName(FName, FLongFileName, FFileName);
}

ULONG TsxMAPI_Attachment::GetSize() {
  if (!FFilled) Refresh();
  return FSize;
}
