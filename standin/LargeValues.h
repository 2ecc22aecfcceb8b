// What real stores do with GetProps answers that are too large: a value over
// the store's per-value limit is refused, and an answer over Exchange's
// response buffer loses its largest values until the rest fits.
#pragma once

#include <windows.h>

#include <vector>

#include "standin/Served.h"
#include "standin/StoreRules.h"

namespace standin {

// Each value of a GetProps answer costs this much of the response buffer,
// besides the bytes of a string or binary value.
inline constexpr size_t kResponseBytesPerValue = 16;
// Only string and binary values longer than this are ever refused for the
// response buffer's sake.
inline constexpr size_t kRefusableOver = 255;

// Refuses values (PT_ERROR, MAPI_E_NOT_ENOUGH_MEMORY, identifier kept) by
// the rules; MAPI_E_CALL_FAILED when the answer still cannot fit.
HRESULT LimitAnswer(std::vector<ServedValue>& values, const StoreRules& rules);

}  // namespace standin
