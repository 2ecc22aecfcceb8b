// Run by setup_test.sh in a Wine prefix where the setup program has just
// installed the add-in: the Outlook-like host loads it from the registry
// as the setup left it, and its button opens the finder window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "standin/host/Host.h"
#include "support/MessagePump.h"

namespace {

struct TFinderSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindFinder(HWND hwnd, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (process != GetCurrentProcessId() || std::string(cls) != "TMainDlg" || !IsWindowVisible(hwnd)) return TRUE;
  reinterpret_cast<TFinderSearch*>(param)->found = hwnd;
  return FALSE;
}

// Whether the add-in's library may go: its finder thread has ended. A
// process that exits while that thread is still leaving the library can
// hang in its exit under Wine.
bool AddInMayUnload() {
  const HMODULE addIn = GetModuleHandleA("QuopDuplicate.dll");
  if (!addIn) return true;
  using TCanUnloadNow = HRESULT(__stdcall*)();
  const auto canUnloadNow =
      reinterpret_cast<TCanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(addIn, "DllCanUnloadNow")));
  return canUnloadNow && canUnloadNow() == S_OK;
}

HWND FinderWindow() {
  TFinderSearch search;
  EnumWindows(FindFinder, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(InstalledAddInTest, TheHostLoadsTheInstalledAddInAndItsButtonOpensTheFinder) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    host::HostOptions options;
    options.profile = L"Z:" QUOP_SOURCE_DIR "/standin/profiles/sample.json";
    options.onlyAddIns = {L"QuopDuplicate.AddIn"};
    host::THost outlook(options);
    ASSERT_EQ(outlook.Start(), S_OK) << std::string(outlook.Error().begin(), outlook.Error().end());
    // The host acts as an Outlook with a ribbon: the button is on the Home tab.
    ASSERT_EQ(outlook.ClickRibbonButton(L"Twinsweeps"), S_OK) << "the installed add-in put no Twinsweeps button up";
    ASSERT_TRUE(PumpMessagesUntil([] { return FinderWindow() != nullptr; }, std::chrono::seconds(30)))
        << "the finder window did not open";
    PostMessageA(FinderWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpMessagesUntil([] { return FinderWindow() == nullptr; }, std::chrono::seconds(30)));
    outlook.Shutdown();
    EXPECT_TRUE(PumpMessagesUntil(AddInMayUnload, std::chrono::seconds(30))) << "the finder thread did not end";
  }
  CoUninitialize();
}

}  // namespace
