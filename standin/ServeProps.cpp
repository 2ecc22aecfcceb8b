// GetProps for every object of the provider.
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {

HRESULT ServeProps(const PropBag& props, std::string_view target, LPSPropTagArray tags, ULONG flags,
                   ULONG* count, LPSPropValue* values) {
  if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  if ((flags & MAPI_UNICODE) != 0) return MAPI_E_BAD_CHARWIDTH;
  State& state = Global();
  if (HRESULT hr = state.faults.Check("GetProps", target); FAILED(hr)) return hr;

  std::vector<ULONG> wanted;
  if (tags != nullptr) wanted.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
  else for (const Prop& p : props.All()) wanted.push_back(p.tag);

  Buffer buffer;
  if (FAILED(buffer.Allocate(static_cast<ULONG>(std::max<size_t>(1, wanted.size()) * sizeof(SPropValue)))))
    return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* out = buffer.As<SPropValue>();
  bool errors = false;
  for (size_t i = 0; i < wanted.size(); ++i) {
    const Prop* p = props.Find(wanted[i]);
    if (auto fault = state.faults.PropFault(target, wanted[i]); fault && p != nullptr) {
      ErrorValue(wanted[i], *fault, out[i]);
      errors = true;
    } else if (p != nullptr) {
      CopyValue(buffer, *p, out[i]);
    } else {
      ErrorValue(wanted[i], MAPI_E_NOT_FOUND, out[i]);
      errors = true;
    }
  }
  *count = static_cast<ULONG>(wanted.size());
  *values = static_cast<LPSPropValue>(buffer.Release());
  return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

}  // namespace standin
