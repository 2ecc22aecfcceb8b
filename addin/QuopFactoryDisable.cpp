// TQuopFactory::RemoveDisable: Outlook lists an add-in that crashed it under
// the current user's Resiliency\DisabledItems key of its Office version,
// one binary value per item whose text names the library's file. Clearing
// those values lets Outlook load the add-in again.
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "support/AnsiText.h"
#include "support/BstrHolder.h"
#include "addin/ComServer.h"
#include "addin/QuopFactory.h"
#include "addin/RegKey.h"

namespace {

const int kLastMajorVersion = 20;
const DWORD kDataBufferSize = 2002;  // bytes: 1001 UTF-16 code units
const int kBlankedUnits = 6;         // the item's binary header

void AsciiLower(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

std::string LowerModulePath() {
  char szPath[MAX_PATH + 1] = {};
  const DWORD nLength = GetModuleFileNameA(comserver::Module(), szPath, MAX_PATH + 1);
  std::string strPath(szPath, nLength);
  AsciiLower(strPath);
  return strPath;
}

std::vector<std::wstring> ValueNames(HKEY key) {
  DWORD nValues = 0, nMaxName = 0;
  std::vector<std::wstring> names;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nValues, &nMaxName, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return names;
  }
  std::wstring strName(nMaxName + 1, L'\0');
  for (DWORD i = 0; i < nValues; ++i) {
    DWORD nLength = static_cast<DWORD>(strName.size());
    if (RegEnumValueW(key, i, strName.data(), &nLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(strName.data(), nLength);
  }
  return names;
}

[[noreturn]] void RaiseInvalidType(const std::wstring& strName) {
  std::string strText = "Invalid data type for '";
  strText.append(WideToAnsi(strName)).append("'");
  throw ERegistryException(strText);
}

// The item's data as read into the buffer; raises for a text or number
// value and for one larger than the buffer.
std::vector<BYTE> ReadItemData(HKEY key, const std::wstring& strName) {
  DWORD nType = REG_NONE, nSize = 0;
  if (RegQueryValueExW(key, strName.c_str(), nullptr, &nType, nullptr, &nSize) != ERROR_SUCCESS) return {};
  if (nType == REG_SZ || nType == REG_EXPAND_SZ || nType == REG_DWORD || nSize > kDataBufferSize) {
    RaiseInvalidType(strName);
  }
  std::vector<BYTE> buffer(kDataBufferSize, 0);
  DWORD nRead = kDataBufferSize;
  if (RegQueryValueExW(key, strName.c_str(), nullptr, nullptr, buffer.data(), &nRead) != ERROR_SUCCESS) return {};
  buffer.resize(nRead);
  return buffer;
}

// The item's text: its header blanked, up to the first NUL, in the system
// code page and lower case.
std::string LowerItemText(const std::vector<BYTE>& data) {
  std::wstring strWide(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(strWide.data(), data.data(), strWide.size() * sizeof(wchar_t));
  for (std::size_t i = 0; i < strWide.size() && i < kBlankedUnits; ++i) strWide[i] = L' ';
  strWide.resize(std::wcslen(strWide.c_str()));
  std::string strText = WideToAnsi(strWide);
  AsciiLower(strText);
  return strText;
}

void RemoveFromKey(HKEY key, const std::string& strLowerPath) {
  for (const std::wstring& strName : ValueNames(key)) {
    if (strName.empty()) continue;
    const std::vector<BYTE> data = ReadItemData(key, strName);
    if (data.empty()) continue;
    if (LowerItemText(data).find(strLowerPath) != std::string::npos) {
      RegDeleteValueW(key, strName.c_str());  // a value that stays is not an error
    }
  }
}

}  // namespace

void TQuopFactory::RemoveDisable() {
  const std::string strLowerPath = LowerModulePath();
  if (strLowerPath.empty()) return;
  for (int nMajor = 0; nMajor <= kLastMajorVersion; ++nMajor) {
    wchar_t szKey[96] = {};
    std::swprintf(szKey, std::size(szKey), L"Software\\Microsoft\\Office\\%d.%d\\Outlook\\Resiliency\\DisabledItems",
                  nMajor, 0);
    const TRegKey key = OpenRegKey(HKEY_CURRENT_USER, szKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (key) RemoveFromKey(key.Get(), strLowerPath);
  }
}
