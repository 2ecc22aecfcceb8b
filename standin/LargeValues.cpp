#include "standin/LargeValues.h"

#include <mapix.h>

namespace standin {
namespace {

void Refuse(ServedValue& value) { value = ErrorServed(value.tag, MAPI_E_NOT_ENOUGH_MEMORY); }

size_t AnswerBytes(const std::vector<ServedValue>& values) {
  size_t total = values.size() * kResponseBytesPerValue;
  for (const ServedValue& v : values) {
    if (v.IsVariable()) total += v.bytes.size();
  }
  return total;
}

// The largest string or binary value the response rule may still refuse.
ServedValue* LargestRefusable(std::vector<ServedValue>& values) {
  ServedValue* largest = nullptr;
  for (ServedValue& v : values) {
    if (v.IsVariable() && v.bytes.size() > kRefusableOver && (largest == nullptr || v.bytes.size() > largest->bytes.size()))
      largest = &v;
  }
  return largest;
}

}  // namespace

HRESULT LimitAnswer(std::vector<ServedValue>& values, const StoreRules& rules) {
  if (const auto limit = rules.LargePropertyLimit()) {
    for (ServedValue& v : values) {
      if (v.IsVariable() && v.bytes.size() > *limit) Refuse(v);
    }
  }
  const auto response = rules.ResponseLimit();
  if (!response) return S_OK;
  for (size_t total = AnswerBytes(values); total > *response; total = AnswerBytes(values)) {
    ServedValue* largest = LargestRefusable(values);
    if (largest == nullptr) return MAPI_E_CALL_FAILED;
    Refuse(*largest);
  }
  return S_OK;
}

}  // namespace standin
