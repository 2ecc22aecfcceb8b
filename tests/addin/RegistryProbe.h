// Reading back and cleaning up the registry entries the server writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct TRegValue {
  DWORD nType = REG_NONE;
  std::vector<BYTE> data;

  // The data of a REG_SZ value without its closing NUL.
  std::wstring Text() const;
  DWORD Number() const;
};

std::optional<TRegValue> ReadValue(HKEY root, const std::wstring& strKey, const wchar_t* szName);
bool KeyExists(HKEY root, const std::wstring& strKey);
DWORD ValueCount(HKEY root, const std::wstring& strKey);
// The names of the key's direct sub-keys, sorted; empty when it is missing.
std::vector<std::wstring> SubKeyNames(HKEY root, const std::wstring& strKey);
void DeleteTree(HKEY root, const std::wstring& strKey);
bool WriteValue(HKEY root, const std::wstring& strKey, const std::wstring& strName, DWORD nType,
                const std::vector<BYTE>& data);

// A key made for one test with every missing parent; what was missing
// before is deleted again afterwards.
class TScratchKey {
 public:
  TScratchKey(HKEY root, const std::wstring& strKey);
  ~TScratchKey();
  TScratchKey(const TScratchKey&) = delete;
  TScratchKey& operator=(const TScratchKey&) = delete;

  // A value in the key; deleted afterwards when the key stays.
  bool Write(const std::wstring& strName, DWORD nType, const std::vector<BYTE>& data);

 private:
  HKEY FRoot;
  std::wstring FKey;
  std::wstring FCreatedTop;  // empty when the key was there before
  std::vector<std::wstring> FWritten;
};
