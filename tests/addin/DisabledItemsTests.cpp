// Every registration export, for the machine and for the user, clears the
// current user's Outlook disabled-items lists of the values that name the library, and stop at a value they
// cannot read as binary data.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/addin/DebugLog.h"
#include "tests/addin/RegistryProbe.h"
#include "tests/addin/ServerIds.h"
#include "tests/addin/ServerLibrary.h"

namespace {

std::wstring DisabledItemsKey(const std::wstring& strVersion) {
  return L"Software\\Microsoft\\Office\\" + strVersion + L"\\Outlook\\Resiliency\\DisabledItems";
}

std::vector<BYTE> Bytes(const std::wstring& strText) {
  std::vector<BYTE> data(strText.size() * sizeof(wchar_t));
  std::memcpy(data.data(), strText.data(), data.size());
  return data;
}

// An item as Outlook writes it: three 32-bit fields (kind, byte length of
// the path, byte length of the name; zero bytes among them), then the path
// and the add-in's name, each closed by NUL.
std::vector<BYTE> ItemData(const std::wstring& strPath) {
  const DWORD header[3] = {1, static_cast<DWORD>((strPath.size() + 1) * sizeof(wchar_t)), 0};
  std::vector<BYTE> data(sizeof header);
  std::memcpy(data.data(), header, sizeof header);
  const std::vector<BYTE> text = Bytes(strPath + L'\0' + L"Quop Twinsweep" + L'\0');
  data.insert(data.end(), text.begin(), text.end());
  return data;
}

std::wstring Upper(std::wstring strText) {
  for (wchar_t& c : strText) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return strText;
}

std::wstring Lower(std::wstring strText) {
  for (wchar_t& c : strText) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return strText;
}

std::string Narrow(const std::wstring& strText) { return std::string(strText.begin(), strText.end()); }

using TExport = HRESULT (TServerLibrary::*)() const;

struct TExportCase {
  const char* szName;
  TExport run;
};

void PrintTo(const TExportCase& c, std::ostream* os) { *os << c.szName; }

// Registration entries are removed again after each test.
void RemoveServerEntries() {
  DeleteTree(HKEY_CLASSES_ROOT, kClassKey);
  DeleteTree(HKEY_CLASSES_ROOT, kProgId);
  DeleteTree(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibIdText);
  DeleteTree(HKEY_CLASSES_ROOT, L"Interface\\" + kAddInIidText);
  DeleteTree(HKEY_LOCAL_MACHINE, kAddInKey);
  for (const std::wstring& strKey : {kClassKey, kProgId, L"TypeLib\\" + kLibIdText, L"Interface\\" + kAddInIidText}) {
    DeleteTree(HKEY_CURRENT_USER, L"Software\\Classes\\" + strKey);
  }
  DeleteTree(HKEY_CURRENT_USER, kAddInKey);
}

class DisabledItems : public ::testing::TestWithParam<TExportCase> {
 protected:
  void SetUp() override { RemoveServerEntries(); }
  void TearDown() override { RemoveServerEntries(); }

  // The scratch key of an Office version, kept for the test's length.
  TScratchKey& Key(const std::wstring& strVersion) {
    FKeys.push_back(std::make_unique<TScratchKey>(HKEY_CURRENT_USER, DisabledItemsKey(strVersion)));
    return *FKeys.back();
  }
  HRESULT Run(const TServerLibrary& server) const { return (server.*GetParam().run)(); }

 private:
  std::vector<std::unique_ptr<TScratchKey>> FKeys;
};

bool ValueStays(const std::wstring& strVersion, const wchar_t* szName) {
  return ReadValue(HKEY_CURRENT_USER, DisabledItemsKey(strVersion), szName).has_value();
}

TEST_P(DisabledItems, RemovesTheEntriesThatNameTheLibraryAndNoOthers) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  const std::wstring strPath = server.LoadedPath();

  struct TCase {
    const wchar_t* szVersion;
    const wchar_t* szName;
    DWORD nType;
    std::vector<BYTE> data;
    bool bRemoved;
  };
  const TCase cases[] = {
      {L"16.0", L"item-exact", REG_BINARY, ItemData(strPath), true},
      {L"16.0", L"item-upper-case", REG_BINARY, ItemData(Upper(strPath)), true},
      {L"16.0", L"item-lower-case", REG_BINARY, ItemData(Lower(strPath)), true},
      {L"16.0", L"item-other-addin", REG_BINARY, ItemData(L"C:\\Program Files\\Other\\OtherAddIn.dll"), false},
      {L"16.0", L"item-multi-string", REG_MULTI_SZ, ItemData(strPath), true},
      // The path at the very start of the data loses its first six
      // characters to the blanked header, so it no longer matches.
      {L"16.0", L"item-no-header", REG_BINARY, Bytes(strPath), false},
      // The text ends at the first NUL after the header.
      {L"16.0", L"item-after-nul", REG_BINARY, Bytes(L"      x" + std::wstring(1, L'\0') + strPath), false},
      {L"16.0", L"item-no-data", REG_BINARY, {}, false},
      {L"16.0", L"item-largest", REG_BINARY,
       [&] {
         std::vector<BYTE> data = ItemData(strPath);
         data.resize(2002, 0);
         return data;
       }(),
       true},
      {L"0.0", L"item-first-version", REG_BINARY, ItemData(strPath), true},
      {L"11.0", L"item-office-2003", REG_BINARY, ItemData(strPath), true},
      {L"20.0", L"item-last-version", REG_BINARY, ItemData(strPath), true},
      {L"11.5", L"item-minor-version", REG_BINARY, ItemData(strPath), false},
      {L"21.0", L"item-beyond-last", REG_BINARY, ItemData(strPath), false},
  };
  for (const TCase& c : cases) ASSERT_TRUE(Key(c.szVersion).Write(c.szName, c.nType, c.data));
  // The default value is skipped whatever it holds, even text.
  ASSERT_TRUE(Key(L"16.0").Write(L"", REG_SZ, Bytes(strPath + L'\0')));

  EXPECT_EQ(Run(server), S_OK);

  for (const TCase& c : cases) {
    EXPECT_EQ(ValueStays(c.szVersion, c.szName), !c.bRemoved) << Narrow(c.szVersion) << " " << Narrow(c.szName);
  }
  EXPECT_TRUE(ValueStays(L"16.0", L""));
}

TEST_P(DisabledItems, AnotherFormOfThePathIsNotRemoved) {
  const TServerCopy copy(L"Quop Disabled Items");
  ASSERT_TRUE(copy.Made());
  const TServerLibrary server(copy.Path());
  ASSERT_TRUE(server.Loaded());
  const std::wstring strLong = LongPath(server.LoadedPath());
  const std::wstring strShort = ShortPath(strLong);
  ASSERT_NE(strLong, strShort);
  TScratchKey& key = Key(L"15.0");
  ASSERT_TRUE(key.Write(L"item-long", REG_BINARY, ItemData(strLong)));
  ASSERT_TRUE(key.Write(L"item-short", REG_BINARY, ItemData(strShort)));

  EXPECT_EQ(Run(server), S_OK);

  EXPECT_FALSE(ValueStays(L"15.0", L"item-long"));
  EXPECT_TRUE(ValueStays(L"15.0", L"item-short"));
}

TEST_P(DisabledItems, AValueThatIsNotBinaryDataFailsTheExport) {
  const TServerLibrary server(BuiltServerPath());
  ASSERT_TRUE(server.Loaded());
  const std::wstring strPath = server.LoadedPath();
  const struct {
    const char* szWhat;
    DWORD nType;
    std::vector<BYTE> data;
  } invalid[] = {
      {"text", REG_SZ, Bytes(strPath + L'\0')},
      {"expandable text", REG_EXPAND_SZ, Bytes(strPath + L'\0')},
      {"number", REG_DWORD, {3, 0, 0, 0}},
      {"more than 2002 bytes", REG_BINARY, std::vector<BYTE>(2003, 0x20)},
  };
  for (const auto& c : invalid) {
    SCOPED_TRACE(c.szWhat);
    // Values come in the order of their names: the first is handled, the
    // one after the invalid value is never reached.
    TScratchKey key(HKEY_CURRENT_USER, DisabledItemsKey(L"14.0"));
    ASSERT_TRUE(key.Write(L"a-before", REG_BINARY, ItemData(strPath)));
    ASSERT_TRUE(key.Write(L"m-invalid", c.nType, c.data));
    ASSERT_TRUE(key.Write(L"z-after", REG_BINARY, ItemData(strPath)));

    const TDebugLog log;
    EXPECT_EQ(Run(server), E_FAIL);
    EXPECT_TRUE(log.Contains("Invalid data type for 'm-invalid'")) << log.Text();

    EXPECT_FALSE(ValueStays(L"14.0", L"a-before"));
    EXPECT_TRUE(ValueStays(L"14.0", L"m-invalid"));
    EXPECT_TRUE(ValueStays(L"14.0", L"z-after"));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, DisabledItems,
                         ::testing::Values(TExportCase{"Register", &TServerLibrary::Register},
                                           TExportCase{"Unregister", &TServerLibrary::Unregister},
                                           TExportCase{"RegisterForUser", &TServerLibrary::RegisterForUser},
                                           TExportCase{"UnregisterForUser", &TServerLibrary::UnregisterForUser}),
                         [](const ::testing::TestParamInfo<TExportCase>& info) { return info.param.szName; });

}  // namespace
