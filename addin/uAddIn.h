// The add-in object that Outlook creates through the class factory and
// drives through _IDTExtensibility2: on connection it adds the "Quop" bar
// with the "Twinsweeps" button; a click opens the finder window on a thread
// of its own.
#pragma once

#include <windows.h>

// Makes a new add-in object and answers its QueryInterface for riid.
HRESULT CreateAddIn(REFIID riid, void** ppv);
