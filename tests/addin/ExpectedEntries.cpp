#include "tests/addin/ExpectedEntries.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/addin/RegistryProbe.h"
#include "tests/addin/ServerIds.h"

std::vector<TExpectedEntry> ExpectedEntries(const std::wstring& strServerFile) {
  return {
      {HKEY_CLASSES_ROOT, kClassKey, nullptr, REG_SZ, kDescription, 0},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", nullptr, REG_SZ, strServerFile, 0},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", L"ThreadingModel", REG_SZ, L"Apartment", 0},
      {HKEY_CLASSES_ROOT, kProgId, nullptr, REG_SZ, kDescription, 0},
      {HKEY_CLASSES_ROOT, kProgId + L"\\Clsid", nullptr, REG_SZ, kClassIdText, 0},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\ProgID", nullptr, REG_SZ, kProgId, 0},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\Version", nullptr, REG_SZ, L"1.0", 0},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\TypeLib", nullptr, REG_SZ, kLibIdText, 0},
      {HKEY_LOCAL_MACHINE, kAddInKey, L"FriendlyName", REG_SZ, L"Quop Twinsweep", 0},
      {HKEY_LOCAL_MACHINE, kAddInKey, L"LoadBehavior", REG_DWORD, L"", 3},
  };
}

std::vector<TExpectedEntry> ForUser(std::vector<TExpectedEntry> entries) {
  for (TExpectedEntry& entry : entries) {
    if (entry.root == HKEY_CLASSES_ROOT) entry.strKey = kUserClasses + entry.strKey;
    entry.root = HKEY_CURRENT_USER;
  }
  return entries;
}

std::string Narrow(const std::wstring& strText) { return std::string(strText.begin(), strText.end()); }

void ExpectEntries(const std::vector<TExpectedEntry>& entries) {
  for (const TExpectedEntry& entry : entries) {
    SCOPED_TRACE(Narrow(entry.strKey + L" / " + (entry.szName ? entry.szName : L"(default)")));
    const std::optional<TRegValue> value = ReadValue(entry.root, entry.strKey, entry.szName);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->nType, entry.nType);
    if (entry.nType == REG_DWORD) {
      EXPECT_EQ(value->Number(), entry.nNumber);
    } else {
      EXPECT_EQ(value->Text(), entry.strText);
    }
  }
}
