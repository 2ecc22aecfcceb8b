#include "tests/host/HostFixture.h"

#include <sstream>

#include "standin/StandinControl.h"
#include "standin/host/AddInRegistry.h"

namespace {

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::wstring BesideProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + file;
}

void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

const std::wstring kClassKey = std::wstring(L"Software\\Classes\\CLSID\\") + FAKE_ADDIN_CLSID_TEXT;

}  // namespace

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TFakeRegistration::TFakeRegistration(std::vector<std::pair<std::wstring, DWORD>> addIns)
    : addIns_(std::move(addIns)) {
  SetText(kClassKey + L"\\InprocServer32", nullptr, BesideProgram(L"fake_addin.dll"));
  SetText(kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  for (const auto& [progId, loadBehavior] : addIns_) {
    if (progId != kBrokenProgId) SetText(L"Software\\Classes\\" + progId + L"\\CLSID", nullptr, FAKE_ADDIN_CLSID_TEXT);
    std::wstring addInKey = std::wstring(host::kAddInsKey) + L"\\" + progId;
    SetText(addInKey, L"FriendlyName", L"Host test add-in");
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, addInKey.c_str(), L"LoadBehavior", REG_DWORD, &loadBehavior,
                              sizeof loadBehavior),
              ERROR_SUCCESS);
  }
}

TFakeRegistration::~TFakeRegistration() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
  for (const auto& entry : addIns_) {
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + entry.first).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(host::kAddInsKey) + L"\\" + entry.first).c_str());
  }
}

void HostTest::SetUp() {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  fake_ = LoadLibraryW(BesideProgram(L"fake_addin.dll").c_str());
  mapi_ = LoadLibraryW(L"MAPI32.DLL");
  ASSERT_NE(fake_, nullptr);
  ASSERT_NE(GetModuleHandleA(STANDIN_DLL_NAME), nullptr) << "MAPI32.DLL does not forward to the stand-in";
  Proc<FAKE_ADDIN_CLEARLOG>(fake_, "FakeAddInClearLog")();
  registration = std::make_unique<TFakeRegistration>(std::vector<std::pair<std::wstring, DWORD>>{
      {kLoadedProgId, 3}, {kDormantProgId, 2}});
}

void HostTest::TearDown() {
  host.reset();
  registration.reset();
  if (fake_ != nullptr) SetFakeRibbon(nullptr);
  if (mapi_ != nullptr) FreeLibrary(mapi_);
  if (fake_ != nullptr) FreeLibrary(fake_);
  CoUninitialize();
}

host::THost& HostTest::StartHost(host::HostOptions options) {
  options.profile = L"Z:" QUOP_SOURCE_DIR "/standin/profiles/sample.json";
  if (options.onlyAddIns.empty()) options.onlyAddIns = {kLoadedProgId, kDormantProgId, kBrokenProgId};
  host = std::make_unique<host::THost>(options);
  HRESULT hr = host->Start();
  EXPECT_EQ(hr, S_OK) << Narrow(host->Error());
  return *host;
}

std::vector<std::string> HostTest::FakeLog() const {
  ULONG size = Proc<FAKE_ADDIN_LOG>(fake_, "FakeAddInLog")(nullptr, 0);
  std::string text(size + 1, '\0');
  Proc<FAKE_ADDIN_LOG>(fake_, "FakeAddInLog")(text.data(), size + 1);
  std::vector<std::string> lines;
  std::istringstream in(text.c_str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void HostTest::SetFakeRibbon(const wchar_t* xml) const { Proc<FAKE_ADDIN_SETRIBBON>(fake_, "FakeAddInSetRibbon")(xml); }

void HostTest::ClearFakeLog() const { Proc<FAKE_ADDIN_CLEARLOG>(fake_, "FakeAddInClearLog")(); }

long HostTest::FakeLiveObjects() const { return Proc<FAKE_ADDIN_LIVEOBJECTS>(fake_, "FakeAddInLiveObjects")(); }

long HostTest::StandinLiveObjects() const {
  return Proc<STANDIN_LIVEOBJECTS>(GetModuleHandleA(STANDIN_DLL_NAME), "StandinLiveObjects")();
}
