#include "standin/Faults.h"

#include <mapix.h>

namespace standin {
namespace {

constexpr std::string_view kAny = "*";

}  // namespace

bool Faults::Fires(FaultRule& rule) {
  ++rule.seen;
  return rule.nth == 0 || rule.seen == rule.nth;
}

// Every matching rule sees the call, so that each one's n-th is counted
// from its own start; the first that fires decides.
HRESULT Faults::Check(std::string_view call, std::string_view target, std::string_view opened, ULONG* carryOut) {
  HRESULT result = S_OK;
  if (carryOut != nullptr) *carryOut = 0;
  for (FaultRule& rule : FRules) {
    if (rule.propTag != 0 || (rule.call != kAny && rule.call != call)) continue;
    if (rule.target != kAny && rule.target != target && (opened.empty() || rule.target != opened)) continue;
    if (rule.carryOut != 0 && carryOut == nullptr) continue;
    if (Fires(rule) && result == S_OK) {
      result = rule.hr;
      if (carryOut != nullptr) *carryOut = rule.carryOut;
    }
  }
  return result;
}

std::optional<HRESULT> Faults::PropFault(std::string_view target, ULONG tag) {
  std::optional<HRESULT> result;
  for (FaultRule& rule : FRules) {
    if (rule.propTag == 0 || (rule.call != kAny && rule.call != "GetProps")) continue;
    if (rule.target != kAny && rule.target != target) continue;
    if (PROP_ID(rule.propTag) != PROP_ID(tag)) continue;
    if (Fires(rule) && !result) result = rule.hr;
  }
  return result;
}

}  // namespace standin
