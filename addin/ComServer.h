// The in-process server of QuopDuplicate.dll: the counts that decide
// whether the library may be unloaded, and its own type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace comserver {

// One of the server's COM objects (the add-in object, a button's event
// sink: TComObject) came or went.
void ObjectCreated();
void ObjectDestroyed();
long ObjectCount();
// A factory reference was taken or given back (IClassFactory::LockServer
// and the factory's own references).
void FactoryLocked();
void FactoryUnlocked();
long FactoryLockCount();

// The type library of the module's own file, loaded on first demand and
// kept; null when it cannot be loaded. No reference is added.
ITypeLib* TypeLib();
// The type information of ITAddIn, which answers the add-in's IDispatch;
// null when missing. No reference is added.
ITypeInfo* AddInDispatchInfo();
// The module holding the server, and its full path in long form and in
// short (8.3) form; each the path as the system gives it when there is no
// other form.
HMODULE Module();
std::wstring ServerFileName();
std::wstring ShortServerFileName();
// OLEAUT32.DLL, loaded once (without the system's file-error box) and held
// until the library is unloaded.
HMODULE OleAutomationLibrary();

}  // namespace comserver
