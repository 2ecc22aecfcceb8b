// Chosen failures: a call on a named object answers a chosen HRESULT, or one
// property of a GetProps answer comes back as an error value.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// "*" as the call or the target matches every call or every target.
struct FaultRule {
  std::string call;    // method name, e.g. "OpenMsgStore"
  std::string target;  // object name, or "session"
  ULONG propTag = 0;   // GetProps: the property that fails; 0 = the whole call
  HRESULT hr = E_FAIL;
  ULONG nth = 0;       // 0 = every matching call, n = the n-th only
  ULONG seen = 0;
  ULONG carryOut = 0;  // a list call: entries carried out before it answers hr
};

class Faults {
 public:
  void Add(FaultRule rule) { FRules.push_back(std::move(rule)); }
  void Clear() { FRules.clear(); }
  const std::vector<FaultRule>& Rules() const { return FRules; }

  // S_OK, or the failure chosen for `call` on `target` (or on `opened`, the
  // object an opening call is about to open).
  // A list call passes `carryOut`: it gets the count of entries the chosen
  // failure lets be carried out first.
  HRESULT Check(std::string_view call, std::string_view target, std::string_view opened = {},
                ULONG* carryOut = nullptr);
  // The error value chosen for one property of a GetProps on `target`.
  std::optional<HRESULT> PropFault(std::string_view target, ULONG tag);

 private:
  bool Fires(FaultRule& rule);
  std::vector<FaultRule> FRules;
};

}  // namespace standin
