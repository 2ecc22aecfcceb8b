#include "standin/host/AddInRegistry.h"

namespace host {
namespace {

DWORD ReadLoadBehavior(HKEY addIns, const wchar_t* progId) {
  DWORD value = 0, type = 0, size = sizeof value;
  if (RegGetValueW(addIns, progId, L"LoadBehavior", RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return value;
}

void ReadHive(HKEY hive, bool perUser, std::vector<AddInEntry>* entries) {
  HKEY addIns = nullptr;
  if (RegOpenKeyExW(hive, kAddInsKey, 0, KEY_READ, &addIns) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = ARRAYSIZE(name);
    if (RegEnumKeyExW(addIns, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    AddInEntry entry{name, ReadLoadBehavior(addIns, name), perUser};
    bool replaced = false;
    for (AddInEntry& known : *entries) {
      if (lstrcmpiW(known.progId.c_str(), name) == 0) {
        known = entry;
        replaced = true;
      }
    }
    if (!replaced) entries->push_back(entry);
  }
  RegCloseKey(addIns);
}

}  // namespace

std::vector<AddInEntry> ReadAddInEntries() {
  std::vector<AddInEntry> entries;
  ReadHive(HKEY_LOCAL_MACHINE, false, &entries);
  ReadHive(HKEY_CURRENT_USER, true, &entries);
  return entries;
}

}  // namespace host
