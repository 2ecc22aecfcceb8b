// Run by setup_test.sh in a Wine prefix where the setup program has just
// installed the add-in: the Outlook-like host loads it from the registry
// as the setup left it, and its button opens the finder window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "standin/host/Host.h"
#include "support/MessagePump.h"
#include "support/WinHandles.h"

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
    // The window's thread leaves the add-in's library as it ends. Should the
    // process exit before it has, Wine may kill it inside the loader and the
    // exit then waits for the loader forever.
    const TKernelHandle finderThread(
        OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(FinderWindow(), nullptr)));
    ASSERT_TRUE(finderThread.Get() != nullptr);
    PostMessageA(FinderWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpMessagesUntil([] { return FinderWindow() == nullptr; }, std::chrono::seconds(30)));
    outlook.Shutdown();
    EXPECT_TRUE(PumpMessagesUntil([&] { return WaitForSingleObject(finderThread.Get(), 0) == WAIT_OBJECT_0; },
                                  std::chrono::seconds(30)))
        << "the finder thread did not end";
  }
  CoUninitialize();
}

}  // namespace
