// Registering and unregistering QuopDuplicate.dll: the class entries, the
// Outlook add-in key and the type library, read back from the registry.
#include <gtest/gtest.h>

#include <vector>

#include "tests/addin/DebugLog.h"
#include "tests/addin/ExpectedEntries.h"
#include "tests/addin/RegistryProbe.h"
#include "tests/addin/ServerIds.h"
#include "tests/addin/ServerLibrary.h"

namespace {

const std::wstring kTypeLibKey = L"TypeLib\\" + kLibIdText;
const std::wstring kInterfaceKey = L"Interface\\" + kAddInIidText;

// Each test starts and ends without any of the server's entries.
class ServerRegistration : public ::testing::Test {
 protected:
  void SetUp() override { RemoveEverything(); }
  void TearDown() override { RemoveEverything(); }

  static void RemoveEverything() {
    DeleteTree(HKEY_CLASSES_ROOT, kClassKey);
    DeleteTree(HKEY_CLASSES_ROOT, kProgId);
    DeleteTree(HKEY_CLASSES_ROOT, kTypeLibKey);
    DeleteTree(HKEY_CLASSES_ROOT, kInterfaceKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kAddInKey);
  }

  static void ExpectNothingRegistered() {
    for (const std::wstring& strKey : {kClassKey, kProgId, kTypeLibKey}) {
      EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, strKey)) << Narrow(strKey);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddInKey));
  }
};

TEST_F(ServerRegistration, RegisterWritesEveryEntryWithItsType) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  ASSERT_EQ(server.Register(), S_OK);
  ExpectEntries(ExpectedEntries(LongPath(server.LoadedPath())));
}

TEST_F(ServerRegistration, RegisteringTwiceLeavesOneSetOfEntries) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  ASSERT_EQ(server.Register(), S_OK);
  ASSERT_EQ(server.Register(), S_OK);
  ExpectEntries(ExpectedEntries(LongPath(server.LoadedPath())));
  const struct {
    HKEY root;
    std::wstring strKey;
    DWORD nValues;
  } keys[] = {
      {HKEY_CLASSES_ROOT, kClassKey, 1},           {HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", 2},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\ProgID", 1}, {HKEY_CLASSES_ROOT, kClassKey + L"\\Version", 1},
      {HKEY_CLASSES_ROOT, kClassKey + L"\\TypeLib", 1}, {HKEY_CLASSES_ROOT, kProgId, 1},
      {HKEY_CLASSES_ROOT, kProgId + L"\\Clsid", 1},   {HKEY_LOCAL_MACHINE, kAddInKey, 2},
  };
  for (const auto& key : keys) EXPECT_EQ(ValueCount(key.root, key.strKey), key.nValues) << Narrow(key.strKey);
}

TEST_F(ServerRegistration, UnregisterRemovesEveryEntryAndTheTypeLibrary) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  ASSERT_EQ(server.Register(), S_OK);
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));
  EXPECT_EQ(server.Unregister(), S_OK);
  ExpectNothingRegistered();
}

TEST_F(ServerRegistration, UnregisterSucceedsWithoutTheAddInKeyOrAnyEntry) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  ASSERT_EQ(server.Register(), S_OK);
  DeleteTree(HKEY_LOCAL_MACHINE, kAddInKey);
  EXPECT_EQ(server.Unregister(), S_OK);
  ExpectNothingRegistered();
  EXPECT_EQ(server.Unregister(), S_OK);  // nothing left to remove
  ExpectNothingRegistered();
}

// A key that lives in memory only: the system refuses it lasting sub-keys.
bool MakeVolatileKey(HKEY root, const std::wstring& strKey) {
  HKEY hKey = nullptr;
  if (RegCreateKeyExW(root, strKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr, &hKey, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(hKey);
  return true;
}

TEST_F(ServerRegistration, AClassEntryThatCannotBeCreatedStopsTheUpdate) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  // Entry 5, the ProgID's Clsid key, cannot be made below a volatile key.
  ASSERT_TRUE(MakeVolatileKey(HKEY_CLASSES_ROOT, kProgId));

  const TDebugLog log;
  EXPECT_EQ(server.Register(), E_FAIL);
  EXPECT_TRUE(log.Contains("Quop add-in: DllRegisterServer: Error creating system registry entry")) << log.Text();

  std::vector<TExpectedEntry> entries = ExpectedEntries(LongPath(server.LoadedPath()));
  ExpectEntries({entries.begin(), entries.begin() + 4});  // written before, and kept
  for (const std::wstring& strKey : {kProgId + L"\\Clsid", kClassKey + L"\\ProgID", kClassKey + L"\\Version",
                                     kClassKey + L"\\TypeLib"}) {
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, strKey)) << Narrow(strKey);
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddInKey));
}

TEST_F(ServerRegistration, TypeLibraryIsRegisteredWithTheLongPathAndItsFolder) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  ASSERT_EQ(server.Register(), S_OK);
  const std::wstring strFile = LongPath(server.LoadedPath());
  const std::wstring strFolder = strFile.substr(0, strFile.find_last_of(L'\\') + 1);
  ExpectEntries({
      {HKEY_CLASSES_ROOT, kTypeLibKey + L"\\1.0", nullptr, REG_SZ, L"QuopDuplicate Library", 0},
      {HKEY_CLASSES_ROOT, kTypeLibKey + L"\\1.0\\0\\win32", nullptr, REG_SZ, strFile, 0},
      {HKEY_CLASSES_ROOT, kTypeLibKey + L"\\1.0\\HELPDIR", nullptr, REG_SZ, strFolder, 0},
      {HKEY_CLASSES_ROOT, kInterfaceKey + L"\\TypeLib", nullptr, REG_SZ, kLibIdText, 0},
  });
}

TEST_F(ServerRegistration, ShortServerPathWhenTheFolderHasABlank) {
  const TServerCopy copy(L"Quop Registration Test");
  ASSERT_TRUE(copy.Made());
  {
    const TServerLibrary server(copy.Path());
    ASSERT_TRUE(server.Loaded());
    ASSERT_EQ(server.Register(), S_OK);
    const std::wstring strLong = LongPath(server.LoadedPath());
    const std::wstring strShort = ShortPath(strLong);
    ASSERT_NE(strLong.find(L' '), std::wstring::npos);
    EXPECT_EQ(strShort.find(L' '), std::wstring::npos);
    ExpectEntries(ExpectedEntries(strShort));
    // The type library keeps the long form.
    ExpectEntries({{HKEY_CLASSES_ROOT, kTypeLibKey + L"\\1.0\\0\\win32", nullptr, REG_SZ, strLong, 0}});
    EXPECT_EQ(server.Unregister(), S_OK);
  }
  ExpectNothingRegistered();
}

TEST_F(ServerRegistration, Regsvr32RegistersAndUnregisters) {
  wchar_t szSystem[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryW(szSystem, MAX_PATH), 0u);
  const std::wstring strTool = std::wstring(L"\"") + szSystem + L"\\regsvr32.exe\" /s ";
  const std::wstring strServer = L"\"" + BuiltServerPath() + L"\"";

  ASSERT_EQ(RunProgram(strTool + strServer), 0u);
  ExpectEntries(ExpectedEntries(LongPath(BuiltServerPath())));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));

  ASSERT_EQ(RunProgram(strTool + L"/u " + strServer), 0u);
  ExpectNothingRegistered();
}

}  // namespace
