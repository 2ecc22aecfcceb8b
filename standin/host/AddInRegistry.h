// The COM add-ins Outlook is told to load: the subkeys (ProgIDs) of
// Software\Microsoft\Office\Outlook\Addins under HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER with their LoadBehavior.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

inline constexpr wchar_t kAddInsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins";
// LoadBehavior 3: connected, and loaded at start-up.
inline constexpr DWORD kLoadAtStartup = 3;

struct AddInEntry {
  std::wstring progId;
  DWORD loadBehavior = 0;  // 0 when the value is missing or not a DWORD
  bool perUser = false;    // from HKEY_CURRENT_USER
};

// HKEY_LOCAL_MACHINE's entries, then HKEY_CURRENT_USER's; a ProgID under
// both counts once, as the user has it.
std::vector<AddInEntry> ReadAddInEntries();

}  // namespace host
