// The registry entries a registration of the server writes, and their check.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TExpectedEntry {
  HKEY root;
  std::wstring strKey;
  const wchar_t* szName;  // null: the default value
  DWORD nType;
  std::wstring strText;  // REG_SZ
  DWORD nNumber;         // REG_DWORD
};

// Where the current user's classes live.
inline const std::wstring kUserClasses = L"Software\\Classes\\";

// The class entries in HKEY_CLASSES_ROOT and the add-in key in
// HKEY_LOCAL_MACHINE, for the server registered with that file.
std::vector<TExpectedEntry> ExpectedEntries(const std::wstring& strServerFile);
// The same entries as the current user's: HKEY_CLASSES_ROOT becomes
// HKEY_CURRENT_USER\Software\Classes, HKEY_LOCAL_MACHINE HKEY_CURRENT_USER.
std::vector<TExpectedEntry> ForUser(std::vector<TExpectedEntry> entries);

std::string Narrow(const std::wstring& strText);
// Each entry is there with its type and data.
void ExpectEntries(const std::vector<TExpectedEntry>& entries);
