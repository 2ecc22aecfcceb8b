// Creating an add-in's object from its ProgID as Windows does: through
// COM (HKEY_CLASSES_ROOT), or, when COM does not know the class, from the
// current user's own registration under HKCU\Software\Classes. Windows
// merges that into HKEY_CLASSES_ROOT; Wine (8.0) reads the machine's
// classes only, and add-ins are often registered for one user.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>

namespace host {

// CLSIDFromProgID, or the user's ProgID\CLSID.
HRESULT ResolveProgId(const std::wstring& progId, CLSID* clsid);
// CoCreateInstance (in-process), or the user's InprocServer32 loaded and
// asked through DllGetClassObject. The library stays loaded for the run.
HRESULT CreateInProcess(const CLSID& clsid, REFIID riid, void** out);

}  // namespace host
