#include "tests/addin/RegistryProbe.h"

#include <algorithm>
#include <cstring>

#include "addin/RegKey.h"

namespace {

TRegKey OpenKey(HKEY root, const std::wstring& strKey, REGSAM access) {
  return OpenRegKey(root, strKey.c_str(), access);
}

}  // namespace

std::wstring TRegValue::Text() const {
  std::wstring strText(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(strText.data(), data.data(), strText.size() * sizeof(wchar_t));
  if (!strText.empty() && strText.back() == L'\0') strText.pop_back();
  return strText;
}

DWORD TRegValue::Number() const {
  DWORD nNumber = 0;
  if (data.size() == sizeof nNumber) std::memcpy(&nNumber, data.data(), sizeof nNumber);
  return nNumber;
}

std::optional<TRegValue> ReadValue(HKEY root, const std::wstring& strKey, const wchar_t* szName) {
  const TRegKey key = OpenKey(root, strKey, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  TRegValue value;
  DWORD nSize = 0;
  if (RegQueryValueExW(key.Get(), szName, nullptr, &value.nType, nullptr, &nSize) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(nSize);
  if (RegQueryValueExW(key.Get(), szName, nullptr, nullptr, value.data.data(), &nSize) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(nSize);
  return value;
}

bool KeyExists(HKEY root, const std::wstring& strKey) {
  return static_cast<bool>(OpenKey(root, strKey, KEY_QUERY_VALUE));
}

DWORD ValueCount(HKEY root, const std::wstring& strKey) {
  const TRegKey key = OpenKey(root, strKey, KEY_QUERY_VALUE);
  DWORD nValues = 0;
  if (!key || RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nValues, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  return nValues;
}

std::vector<std::wstring> SubKeyNames(HKEY root, const std::wstring& strKey) {
  std::vector<std::wstring> names;
  const TRegKey key = OpenKey(root, strKey, KEY_ENUMERATE_SUB_KEYS);
  if (!key) return names;
  wchar_t szName[256];
  for (DWORD i = 0;; ++i) {
    DWORD nLength = 256;
    if (RegEnumKeyExW(key.Get(), i, szName, &nLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(szName, nLength);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void DeleteTree(HKEY root, const std::wstring& strKey) { RegDeleteTreeW(root, strKey.c_str()); }

bool WriteValue(HKEY root, const std::wstring& strKey, const std::wstring& strName, DWORD nType,
                const std::vector<BYTE>& data) {
  const TRegKey key = OpenKey(root, strKey, KEY_SET_VALUE);
  return key && RegSetValueExW(key.Get(), strName.c_str(), 0, nType, data.data(),
                               static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

TScratchKey::TScratchKey(HKEY root, const std::wstring& strKey) : FRoot(root), FKey(strKey) {
  for (std::size_t nEnd = strKey.find(L'\\');; nEnd = strKey.find(L'\\', nEnd + 1)) {
    const std::wstring strPart = strKey.substr(0, nEnd);
    if (!KeyExists(root, strPart)) {
      FCreatedTop = strPart;
      break;
    }
    if (nEnd == std::wstring::npos) break;
  }
  CreateRegKey(root, strKey.c_str(), KEY_READ);
}

TScratchKey::~TScratchKey() {
  if (!FCreatedTop.empty()) {
    DeleteTree(FRoot, FCreatedTop);
    return;
  }
  const TRegKey key = OpenKey(FRoot, FKey, KEY_SET_VALUE);
  for (const std::wstring& strName : FWritten) {
    if (key) RegDeleteValueW(key.Get(), strName.c_str());
  }
}

bool TScratchKey::Write(const std::wstring& strName, DWORD nType, const std::vector<BYTE>& data) {
  FWritten.push_back(strName);
  return WriteValue(FRoot, FKey, strName, nType, data);
}
