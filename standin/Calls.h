// The one gate every served MAPI call passes exactly once: the call is
// counted (in all and by name), costs its store's call time, and meets the
// chosen failures.
#pragma once

#include <windows.h>

#include <string_view>

namespace standin {

struct StoreData;

// S_OK, or the failure chosen for `call` on `target` (or on `opened`, the
// object an opening call reaches). `store`: the store whose object serves
// the call (null for the session's own calls), whose call time it costs.
// A list call passes `carryOut` (see Faults::Check).
HRESULT ServeCall(std::string_view call, std::string_view target, const StoreData* store = nullptr,
                  std::string_view opened = {}, ULONG* carryOut = nullptr);

ULONG CallCount();
ULONG CallCountOf(std::string_view call);
void ResetCalls();

}  // namespace standin
