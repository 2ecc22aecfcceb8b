#include "mapi/MapiHolders.h"

#include "mapi/MapiErrors.h"

TMapiBuffer<SPropTagArray> MakeTagArray(std::initializer_list<ULONG> tags) {
  void* block = nullptr;
  const HRESULT hr = MAPIAllocateBuffer(CbNewSPropTagArray(tags.size()), &block);
  if (FAILED(hr) || !block) throw EHeapException("Could not allocate a property tag array!", hr);
  TMapiBuffer<SPropTagArray> array(static_cast<SPropTagArray*>(block));
  array->cValues = static_cast<ULONG>(tags.size());
  ULONG i = 0;
  for (ULONG tag : tags) array->aulPropTag[i++] = tag;
  return array;
}
