#include "standin/Faults.h"

#include <mapix.h>

namespace standin {

bool Faults::Fires(FaultRule& rule) {
  ++rule.seen;
  return rule.nth == 0 || rule.seen == rule.nth;
}

HRESULT Faults::Check(std::string_view call, std::string_view target, std::string_view opened) {
  for (FaultRule& rule : FRules) {
    if (rule.propTag != 0 || rule.call != call) continue;
    if (rule.target != target && (opened.empty() || rule.target != opened)) continue;
    if (Fires(rule)) return rule.hr;
  }
  return S_OK;
}

std::optional<HRESULT> Faults::PropFault(std::string_view target, ULONG tag) {
  for (FaultRule& rule : FRules) {
    if (rule.propTag == 0 || rule.call != "GetProps" || rule.target != target) continue;
    if (PROP_ID(rule.propTag) != PROP_ID(tag)) continue;
    if (Fires(rule)) return rule.hr;
  }
  return std::nullopt;
}

}  // namespace standin
