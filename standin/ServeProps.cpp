// GetProps for every object of the provider.
#include <algorithm>

#include "standin/Calls.h"
#include "standin/LargeValues.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

// The tags asked for; a null array asks for every value, texts in the
// width MAPI_UNICODE chooses.
std::vector<ULONG> Wanted(const PropBag& props, LPSPropTagArray tags) {
  std::vector<ULONG> wanted;
  if (tags != nullptr) {
    wanted.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    return wanted;
  }
  for (const Prop& p : props.All()) wanted.push_back(IsText(p.tag) ? CHANGE_PROP_TYPE(p.tag, PT_UNSPECIFIED) : p.tag);
  return wanted;
}

}  // namespace

HRESULT ServeProps(const PropBag& props, std::string_view target, const StoreData* store, LPSPropTagArray tags,
                   ULONG flags, ULONG* count, LPSPropValue* values) {
  if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  if (HRESULT hr = ServeCall("GetProps", target, store); FAILED(hr)) return hr;
  State& state = Global();
  const bool unicode = (flags & MAPI_UNICODE) != 0;

  std::vector<ServedValue> answer;
  for (ULONG tag : Wanted(props, tags)) {
    const Prop* p = props.Find(tag);
    const auto fault = state.faults.PropFault(target, tag);
    if (p == nullptr) answer.push_back(ErrorServed(tag, MAPI_E_NOT_FOUND));
    else if (fault) answer.push_back(ErrorServed(tag, *fault));
    else answer.push_back(Serve(*p, ServedType(p->tag, tag, unicode)));
  }
  if (store != nullptr) {
    if (HRESULT hr = LimitAnswer(answer, store->rules); FAILED(hr)) return hr;
  }

  Buffer buffer;
  if (FAILED(buffer.Allocate(static_cast<ULONG>(std::max<size_t>(1, answer.size()) * sizeof(SPropValue)))))
    return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* out = buffer.As<SPropValue>();
  bool errors = false;
  for (size_t i = 0; i < answer.size(); ++i) {
    CopyServed(buffer, answer[i], out[i]);
    errors = errors || PROP_TYPE(answer[i].tag) == PT_ERROR;
  }
  *count = static_cast<ULONG>(answer.size());
  *values = static_cast<LPSPropValue>(buffer.Release());
  return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

}  // namespace standin
