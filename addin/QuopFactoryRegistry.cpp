// TQuopFactory::UpdateRegistry: the class entries and the Outlook add-in key
// of a scope (the machine's or the current user's), then RemoveDisable.
#include <cstdio>
#include <iterator>

#include "addin/ComServer.h"
#include "addin/QuopDuplicate_TLB.h"
#include "addin/QuopFactory.h"
#include "addin/RegKey.h"

const TRegistryScope kMachineScope = {HKEY_CLASSES_ROOT, L"", HKEY_LOCAL_MACHINE, false};
const TRegistryScope kUserScope = {HKEY_CURRENT_USER, L"Software\\Classes", HKEY_CURRENT_USER, true};

namespace {

const wchar_t kAddInKeyPrefix[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\";
const wchar_t kFriendlyName[] = L"Quop Twinsweep";
const DWORD kLoadAtStartup = 3;

// The texts the class entries are made of.
struct TClassTexts {
  std::wstring strClassKey;  // CLSID\{CLSID}
  std::wstring strProgId;
  std::wstring strDescription;
  std::wstring strServerFile;
  std::wstring strThreadingModel;
  std::wstring strClassId;
  std::wstring strVersion;
  std::wstring strLibId;
};

// One entry: the key under the class key or the ProgID key (with an
// optional sub-key), the value name (null: the default value) and its data.
struct TClassEntry {
  std::wstring TClassTexts::*pBase;
  const wchar_t* szSubKey;
  const wchar_t* szValueName;
  std::wstring TClassTexts::*pData;
};

// Written in this order; removed key by key in the reverse order.
const TClassEntry kClassEntries[] = {
    {&TClassTexts::strClassKey, nullptr, nullptr, &TClassTexts::strDescription},
    {&TClassTexts::strClassKey, L"InprocServer32", nullptr, &TClassTexts::strServerFile},
    {&TClassTexts::strClassKey, L"InprocServer32", L"ThreadingModel", &TClassTexts::strThreadingModel},
    {&TClassTexts::strProgId, nullptr, nullptr, &TClassTexts::strDescription},
    {&TClassTexts::strProgId, L"Clsid", nullptr, &TClassTexts::strClassId},
    {&TClassTexts::strClassKey, L"ProgID", nullptr, &TClassTexts::strProgId},
    {&TClassTexts::strClassKey, L"Version", nullptr, &TClassTexts::strVersion},
    {&TClassTexts::strClassKey, L"TypeLib", nullptr, &TClassTexts::strLibId},
};

std::wstring GuidText(REFGUID guid) {
  wchar_t szText[40] = {};
  StringFromGUID2(guid, szText, static_cast<int>(std::size(szText)));
  return szText;
}

// The server file for InprocServer32: its short form when the long one
// holds a blank.
std::wstring RegisteredServerFile() {
  std::wstring strFile = comserver::ServerFileName();
  if (strFile.find(L' ') == std::wstring::npos) return strFile;
  return comserver::ShortServerFileName();
}

std::wstring LibraryVersionText() {
  WORD nMajor = 0, nMinor = 0;
  if (ITypeLib* lib = comserver::TypeLib()) {
    TLIBATTR* attr = nullptr;
    if (SUCCEEDED(lib->GetLibAttr(&attr)) && attr != nullptr) {
      nMajor = attr->wMajorVerNum;
      nMinor = attr->wMinorVerNum;
      lib->ReleaseTLibAttr(attr);
    }
  }
  wchar_t szText[16] = {};
  std::swprintf(szText, std::size(szText), L"%d.%d", nMajor, nMinor);
  return szText;
}

std::wstring EntryKey(const TRegistryScope& scope, const TClassTexts& texts, const TClassEntry& entry) {
  std::wstring strKey = scope.szClassesKey;
  if (!strKey.empty()) strKey.append(L"\\");
  strKey.append(texts.*entry.pBase);
  if (entry.szSubKey != nullptr) strKey.append(L"\\").append(entry.szSubKey);
  return strKey;
}

bool SetText(HKEY key, const wchar_t* szName, const std::wstring& strData) {
  return RegSetValueExW(key, szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                        static_cast<DWORD>((strData.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void CreateEntry(const TRegistryScope& scope, const TClassTexts& texts, const TClassEntry& entry) {
  const TRegKey key = CreateRegKey(scope.classesRoot, EntryKey(scope, texts, entry).c_str(), KEY_SET_VALUE);
  if (!key || !SetText(key.Get(), entry.szValueName, texts.*entry.pData)) {
    throw ERegistryException("Error creating system registry entry");
  }
}

}  // namespace

void TQuopFactory::UpdateRegistry(bool bRegister, const TRegistryScope& scope) {
  UpdateClassEntries(bRegister, scope);
  UpdateAddInKey(bRegister, scope);
  RemoveDisable();
}

void TQuopFactory::UpdateClassEntries(bool bRegister, const TRegistryScope& scope) {
  TClassTexts texts;
  texts.strClassId = GuidText(ClassId());
  texts.strClassKey = L"CLSID\\" + texts.strClassId;
  texts.strProgId = ProgId();
  texts.strDescription = Description();
  if (bRegister) {
    texts.strServerFile = RegisteredServerFile();
    texts.strThreadingModel = L"Apartment";
    texts.strVersion = LibraryVersionText();
    texts.strLibId = GuidText(LIBID_QuopDuplicate);
    for (const TClassEntry& entry : kClassEntries) CreateEntry(scope, texts, entry);
    return;
  }
  std::wstring strDeleted;
  for (auto it = std::rbegin(kClassEntries); it != std::rend(kClassEntries); ++it) {
    const std::wstring strKey = EntryKey(scope, texts, *it);
    if (strKey == strDeleted) continue;
    RegDeleteKeyW(scope.classesRoot, strKey.c_str());  // the result does not matter
    strDeleted = strKey;
  }
}

void TQuopFactory::UpdateAddInKey(bool bRegister, const TRegistryScope& scope) {
  const std::wstring strKey = kAddInKeyPrefix + ProgId();
  if (!bRegister) {
    if (OpenRegKey(scope.addInRoot, strKey.c_str(), KEY_READ)) RegDeleteTreeW(scope.addInRoot, strKey.c_str());
    return;
  }
  // Without rights on the machine's add-in list the entries are left out
  // without a message; the user's own list is always writable, so a
  // failure there is one.
  const TRegKey key = CreateRegKey(scope.addInRoot, strKey.c_str(), KEY_SET_VALUE);
  const bool bWritten =
      key && SetText(key.Get(), L"FriendlyName", kFriendlyName) &&
      RegSetValueExW(key.Get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kLoadAtStartup),
                     sizeof(kLoadAtStartup)) == ERROR_SUCCESS;
  if (!bWritten && scope.bAddInKeyRequired) throw ERegistryException("Error creating the Outlook add-in entry");
}
