// A host started in the test's own thread, with fake_addin.dll registered
// for the current user as an Outlook add-in (and removed afterwards).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "standin/host/Host.h"
#include "tests/host/FakeAddIn.h"

// ProgIDs of the fake's class: one loaded at start-up, one not.
inline constexpr wchar_t kLoadedProgId[] = L"QuopHostTest.FakeAddIn";
inline constexpr wchar_t kDormantProgId[] = L"QuopHostTest.Dormant";
// A ProgID registered as an add-in whose class is not registered.
inline constexpr wchar_t kBrokenProgId[] = L"QuopHostTest.Missing";

// HKCU\Software\Classes (the class, its ProgIDs) and the Outlook add-in
// keys, written on construction and deleted on destruction.
class TFakeRegistration {
 public:
  explicit TFakeRegistration(std::vector<std::pair<std::wstring, DWORD>> addIns);
  ~TFakeRegistration();
  TFakeRegistration(const TFakeRegistration&) = delete;
  TFakeRegistration& operator=(const TFakeRegistration&) = delete;

 private:
  std::vector<std::pair<std::wstring, DWORD>> addIns_;
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The host with the given options (the sample profile, only the test's
  // ProgIDs), started; the test fails when it does not start.
  host::THost& StartHost(host::HostOptions options = {});
  std::vector<std::string> FakeLog() const;
  void ClearFakeLog() const;
  long FakeLiveObjects() const;
  // The XML the fake's ribbon part gives (null: it has none); reset after each test.
  void SetFakeRibbon(const wchar_t* xml) const;
  long StandinLiveObjects() const;

  std::unique_ptr<TFakeRegistration> registration;
  std::unique_ptr<host::THost> host;

 private:
  HMODULE fake_ = nullptr;  // held, so the log outlives the add-ins
  HMODULE mapi_ = nullptr;  // held, so the stand-in's counters can be read after shut-down
};

std::string Narrow(const std::wstring& text);
