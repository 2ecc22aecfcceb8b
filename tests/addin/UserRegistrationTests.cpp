// Registering QuopDuplicate.dll for the current user alone (DllInstall with
// "user", as "regsvr32 /n /i:user" calls it): the same entries as the
// machine-wide registration, all below HKEY_CURRENT_USER, and nothing
// written for the machine.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/addin/ExpectedEntries.h"
#include "tests/addin/RegistryProbe.h"
#include "tests/addin/ServerIds.h"
#include "tests/addin/ServerLibrary.h"

namespace {

const std::wstring kTypeLibKey = L"TypeLib\\" + kLibIdText;
const std::wstring kInterfaceKey = L"Interface\\" + kAddInIidText;
const std::vector<std::wstring> kClassesKeys = {kClassKey, kProgId, kTypeLibKey, kInterfaceKey};

// The machine's keys a registration could add to: their sub-key names
// before and after show any key written there.
using TMachineSnapshot = std::map<std::wstring, std::vector<std::wstring>>;

TMachineSnapshot MachineSnapshot() {
  TMachineSnapshot snapshot;
  for (const wchar_t* szKey : {L"Software\\Classes", L"Software\\Classes\\CLSID", L"Software\\Classes\\TypeLib",
                               L"Software\\Classes\\Interface", L"Software\\Microsoft\\Office\\Outlook\\Addins"}) {
    snapshot[szKey] = SubKeyNames(HKEY_LOCAL_MACHINE, szKey);
  }
  return snapshot;
}

bool UserHasAny() {
  for (const std::wstring& strKey : kClassesKeys) {
    if (KeyExists(HKEY_CURRENT_USER, kUserClasses + strKey)) return true;
  }
  return KeyExists(HKEY_CURRENT_USER, kAddInKey);
}

bool MachineHasAny() {
  for (const std::wstring& strKey : kClassesKeys) {
    if (KeyExists(HKEY_CLASSES_ROOT, strKey)) return true;
  }
  return KeyExists(HKEY_LOCAL_MACHINE, kAddInKey);
}

// Each test starts and ends without any of the server's entries, the
// user's or the machine's.
class UserRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveEverything();
    ASSERT_TRUE(FServer.Loaded());
  }
  void TearDown() override { RemoveEverything(); }

  static void RemoveEverything() {
    for (const std::wstring& strKey : kClassesKeys) {
      DeleteTree(HKEY_CURRENT_USER, kUserClasses + strKey);
      DeleteTree(HKEY_CLASSES_ROOT, strKey);
    }
    DeleteTree(HKEY_CURRENT_USER, kAddInKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kAddInKey);
  }

  const TServerLibrary FServer{BuiltServerPath()};
};

TEST_F(UserRegistration, WritesEveryEntryForTheUserAndNothingForTheMachine) {
  const TMachineSnapshot before = MachineSnapshot();
  ASSERT_EQ(FServer.RegisterForUser(), S_OK);

  const std::wstring strFile = LongPath(FServer.LoadedPath());
  ExpectEntries(ForUser(ExpectedEntries(strFile)));
  const std::wstring strTypeLib = kUserClasses + kTypeLibKey;
  ExpectEntries({
      {HKEY_CURRENT_USER, strTypeLib + L"\\1.0", nullptr, REG_SZ, L"QuopDuplicate Library", 0},
      {HKEY_CURRENT_USER, strTypeLib + L"\\1.0\\0\\win32", nullptr, REG_SZ, strFile, 0},
      {HKEY_CURRENT_USER, strTypeLib + L"\\1.0\\HELPDIR", nullptr, REG_SZ,
       strFile.substr(0, strFile.find_last_of(L'\\') + 1), 0},
      {HKEY_CURRENT_USER, kUserClasses + kInterfaceKey + L"\\TypeLib", nullptr, REG_SZ, kLibIdText, 0},
  });
  EXPECT_FALSE(MachineHasAny());
  EXPECT_EQ(MachineSnapshot(), before) << "a key was written for the machine";
}

TEST_F(UserRegistration, UnregisterRemovesEveryKeyItWroteAndLeavesTheMachinesEntries) {
  ASSERT_EQ(FServer.Register(), S_OK);
  const TMachineSnapshot machine = MachineSnapshot();
  ASSERT_EQ(FServer.RegisterForUser(), S_OK);
  ASSERT_TRUE(UserHasAny());

  EXPECT_EQ(FServer.UnregisterForUser(), S_OK);
  for (const std::wstring& strKey : kClassesKeys) {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserClasses + strKey)) << Narrow(strKey);
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kAddInKey));
  // The machine-wide registration is another one, and stays whole.
  ExpectEntries(ExpectedEntries(LongPath(FServer.LoadedPath())));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));
  EXPECT_EQ(MachineSnapshot(), machine);

  EXPECT_EQ(FServer.UnregisterForUser(), S_OK) << "nothing left to remove";
  EXPECT_FALSE(UserHasAny());
}

TEST_F(UserRegistration, AnyOtherCommandLineIsRefusedAndWritesNothing) {
  const struct {
    bool bInstall;
    const wchar_t* szCommandLine;
  } refused[] = {{true, nullptr}, {true, L""}, {true, L"machine"}, {true, L"users"}, {false, L"all"}};
  for (const auto& c : refused) {
    SCOPED_TRACE(c.szCommandLine ? Narrow(c.szCommandLine) : std::string("(null)"));
    EXPECT_EQ(FServer.Install(c.bInstall, c.szCommandLine), E_INVALIDARG);
    EXPECT_FALSE(UserHasAny());
    EXPECT_FALSE(MachineHasAny());
  }
  // The word is taken in any case.
  EXPECT_EQ(FServer.Install(true, L"USER"), S_OK);
  EXPECT_TRUE(UserHasAny());
}

TEST_F(UserRegistration, Regsvr32RegistersAndUnregistersForTheUser) {
  wchar_t szSystem[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryW(szSystem, MAX_PATH), 0u);
  const std::wstring strTool = std::wstring(L"\"") + szSystem + L"\\regsvr32.exe\" /s /n /i:user ";
  const std::wstring strServer = L"\"" + BuiltServerPath() + L"\"";
  const TMachineSnapshot before = MachineSnapshot();

  ASSERT_EQ(RunProgram(strTool + strServer), 0u);
  ExpectEntries(ForUser(ExpectedEntries(LongPath(BuiltServerPath()))));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kUserClasses + kTypeLibKey));
  EXPECT_FALSE(MachineHasAny());
  EXPECT_EQ(MachineSnapshot(), before);

  ASSERT_EQ(RunProgram(strTool + L"/u " + strServer), 0u);
  EXPECT_FALSE(UserHasAny());
}

}  // namespace
