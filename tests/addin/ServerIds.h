// The server's identities as published, in text, for the tests.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

inline const std::wstring kClassIdText = L"{4287E7C6-C2F3-44BF-8324-30F92F265670}";
inline const std::wstring kLibIdText = L"{CD9CF0BC-3671-4A00-A2FB-C8ECF97D64FF}";
inline const std::wstring kAddInIidText = L"{7A62F4C0-6343-481C-A31E-35D2AA37E75D}";
inline const std::wstring kProgId = L"QuopDuplicate.AddIn";
inline const std::wstring kClassKey = L"CLSID\\" + kClassIdText;
inline const std::wstring kAddInKey = L"Software\\Microsoft\\Office\\Outlook\\Addins\\QuopDuplicate.AddIn";
inline const std::wstring kDescription = L"QuopDuplicate TAddIn Object   ";

inline GUID GuidOf(const std::wstring& strText) {
  GUID guid = {};
  CLSIDFromString(strText.c_str(), &guid);
  return guid;
}
