// QuopOutlook.exe: the Outlook-like host over the stand-in platform, for
// demonstrations and unattended runs of COM add-ins.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "standin/host/Host.h"

namespace {

std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

host::THost* g_outlook = nullptr;
std::wstring g_click;

// --click: the button is pressed from the message loop, as a user would: a
// command-bar button with that caption, else a ribbon button with that label.
void CALLBACK ClickOnce(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_outlook && g_outlook->ClickButton(g_click) < 0) g_outlook->ClickRibbonButton(g_click);
}

}  // namespace

int main() {
  host::HostOptions options;
  std::wstring error;
  if (!host::ParseHostOptions(Arguments(), &options, &error)) {
    std::fwprintf(stderr, L"%ls\n%ls", error.c_str(), host::kHostUsage);
    return 2;
  }
  host::THost outlook(options);
  HRESULT hr = outlook.Start();
  if (FAILED(hr)) {
    std::fwprintf(stderr, L"QuopOutlook: %ls (0x%08lX)\n", outlook.Error().c_str(), static_cast<unsigned long>(hr));
    return 1;
  }
  if (!options.click.empty()) {
    g_outlook = &outlook;
    g_click = options.click;
    SetTimer(nullptr, 0, 1000, ClickOnce);
  }
  outlook.Run();
  g_outlook = nullptr;
  return 0;
}
