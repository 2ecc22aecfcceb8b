#include "mapi/sx_MAPI.h"

TsxMAPI_Attachment::TsxMAPI_Attachment(ULONG number, TsxMAPI_Message* message, ULONG type)
    : FMessage(message), ulType(type) {
  HRESULT hr = MAPI_E_INVALID_PARAMETER;
  if (message && message->Message())
    hr = message->Message()->OpenAttach(number, nullptr, MAPI_BEST_ACCESS, &FAttach);
  CheckForError(hr, "Could not open attach for message!");
}

void TsxMAPI_Attachment::Refresh() {
  const auto tags = MakeTagArray({PR_DISPLAY_NAME, PR_ATTACH_FILENAME, PR_ATTACH_LONG_FILENAME,
                                  PR_ATTACH_PATHNAME, PR_ATTACH_LONG_PATHNAME, PR_ATTACH_METHOD,
                                  PR_ATTACH_SIZE});
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  const HRESULT hr = FAttach->GetProps(tags.Get(), 0, &count, &values);
  if (FAILED(hr) || !values) throw EHeapException("Could not get properties!", hr);
  for (ULONG i = 0; i < count; ++i) {
    const SPropValue& v = values[i];
    switch (v.ulPropTag) {
      case PR_DISPLAY_NAME: FName = v.Value.lpszA ? v.Value.lpszA : ""; break;
      case PR_ATTACH_FILENAME: FFileName = v.Value.lpszA ? v.Value.lpszA : ""; break;
      case PR_ATTACH_LONG_FILENAME: FLongFileName = v.Value.lpszA ? v.Value.lpszA : ""; break;
      case PR_ATTACH_PATHNAME: FPath = v.Value.lpszA ? v.Value.lpszA : ""; break;
      case PR_ATTACH_LONG_PATHNAME: FLongPath = v.Value.lpszA ? v.Value.lpszA : ""; break;
      case PR_ATTACH_SIZE: FSize = v.Value.l; break;
      default: break;  // the method, and values that came back as errors
    }
  }
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
