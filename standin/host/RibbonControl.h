// The ribbon's side of an add-in's callbacks: the IRibbonControl the host
// passes, and the call by name through the add-in's IDispatch, as Office
// makes it (GetIDsOfNames, then Invoke with the control as the only
// argument).
#pragma once

#include <string>

#include "om/OfficeIntf.h"
#include "support/ComPtr.h"

namespace host {

// Id, Context and Tag by v-table and through IDispatch (DISPIDs 1-3,
// property get); no type information.
TComPtr<IRibbonControl> NewRibbonControl(std::wstring id, std::wstring tag, TComPtr<IDispatch> context);

// Calls `callback` on `addIn` with `control` (VT_DISPATCH); its return
// value goes to *result when result is not null.
HRESULT InvokeRibbonCallback(IDispatch* addIn, const std::wstring& callback, IRibbonControl* control, VARIANT* result);

}  // namespace host
