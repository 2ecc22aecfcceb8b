#include "mapi/MapiProps.h"

TMapiBuffer<SPropValue> GetOneProp(IMAPIProp* object, ULONG tag, const std::string& what) {
  SPropTagArray tags = {1, {tag}};
  ULONG count = 0;
  TMapiBuffer<SPropValue> value;
  CheckForError(object ? object->GetProps(&tags, 0, &count, &value) : MAPI_E_INVALID_PARAMETER, what);
  if (!value || count != 1) CheckValue(nullptr, tag, what);
  return value;
}

bool IsMissing(const SPropValue& value) {
  return PROP_TYPE(value.ulPropTag) == PT_ERROR && value.Value.err == MAPI_E_NOT_FOUND;
}

bool HasValue(const SPropValue& value, ULONG tag, const std::string& what) {
  if (value.ulPropTag == tag) return true;
  if (!IsMissing(value)) CheckValue(&value, tag, what);
  return false;
}

const SPropValue* Column(const SRow& row, int col) {
  return col >= 0 && static_cast<ULONG>(col) < row.cValues ? &row.lpProps[col] : nullptr;
}

const SBinary& EntryIDOf(const SPropValue* value, ULONG tag, const std::string& what) {
  CheckValue(value, tag, what);
  if (value->Value.bin.cb == 0 || !value->Value.bin.lpb)
    throw EHeapException(what + "\r\n" + SystemErrorText(MAPI_E_INVALID_ENTRYID), MAPI_E_INVALID_ENTRYID);
  return value->Value.bin;
}
