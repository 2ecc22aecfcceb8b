// The add-in object that Outlook creates through the class factory and
// drives through _IDTExtensibility2. Outlook 2010 and later get the
// "Twinsweeps" button on the ribbon (IRibbonExtensibility, callbacks through
// IDispatch); older ones get the "Quop" bar with that button on connection.
// A click opens the finder window on a thread of its own.
#pragma once

#include <windows.h>

// Makes a new add-in object and answers its QueryInterface for riid.
HRESULT CreateAddIn(REFIID riid, void** ppv);
