// The command line of QuopOutlook.exe.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

struct HostOptions {
  std::wstring profile;      // --profile FILE; empty: QUOP_STANDIN_PROFILE
  std::wstring saveProfile;  // --save-profile FILE, written at shut-down
  bool noExplorer = false;   // --no-explorer: ActiveExplorer gives none
  bool noRibbon = false;     // --no-ribbon: Outlook 2007, no explorer ribbon (Version 12)
  bool showWindow = true;    // --hidden: the window is made but not shown
  bool refuseDuplicateBars = false;  // --refuse-duplicate-bars
  UINT exitAfterMs = 0;      // --exit-after-ms N: close the window after N ms
  bool printReady = false;   // --screenshot-ready: "ready" on stdout once the add-ins are connected
  std::vector<std::wstring> onlyAddIns;  // --addin PROGID (repeatable): load no others
  std::wstring click;        // --click CAPTION: press that button once the add-ins are connected
};

inline constexpr wchar_t kHostUsage[] =
    L"QuopOutlook [--profile FILE] [--save-profile FILE] [--no-explorer] [--no-ribbon] [--hidden]\n"
    L"            [--refuse-duplicate-bars] [--exit-after-ms N] [--screenshot-ready] [--addin PROGID]...\n"
    L"            [--click CAPTION]\n";

// args without the program name; false with a reason for a bad line.
bool ParseHostOptions(const std::vector<std::wstring>& args, HostOptions* options, std::wstring* error);
// A Unix path ("/work/x.json") as Wine reaches it ("Z:/work/x.json"); others unchanged.
std::wstring AsWindowsPath(const std::wstring& path);

}  // namespace host
