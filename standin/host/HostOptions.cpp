#include "standin/host/HostOptions.h"

#include <cwchar>

namespace host {

std::wstring AsWindowsPath(const std::wstring& path) {
  return !path.empty() && path[0] == L'/' ? L"Z:" + path : path;
}

bool ParseHostOptions(const std::vector<std::wstring>& args, HostOptions* options, std::wstring* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == L"--no-explorer") {
      options->noExplorer = true;
    } else if (arg == L"--no-ribbon") {
      options->noRibbon = true;
    } else if (arg == L"--hidden") {
      options->showWindow = false;
    } else if (arg == L"--refuse-duplicate-bars") {
      options->refuseDuplicateBars = true;
    } else if (arg == L"--screenshot-ready") {
      options->printReady = true;
    } else if (!hasValue && (arg == L"--profile" || arg == L"--save-profile" || arg == L"--exit-after-ms" ||
                             arg == L"--addin" || arg == L"--click")) {
      *error = arg + L" needs a value";
      return false;
    } else if (arg == L"--profile") {
      options->profile = AsWindowsPath(args[++i]);
    } else if (arg == L"--save-profile") {
      options->saveProfile = AsWindowsPath(args[++i]);
    } else if (arg == L"--click") {
      options->click = args[++i];
    } else if (arg == L"--addin") {
      options->onlyAddIns.push_back(args[++i]);
    } else if (arg == L"--exit-after-ms") {
      wchar_t* end = nullptr;
      const std::wstring& value = args[++i];
      unsigned long ms = std::wcstoul(value.c_str(), &end, 10);
      if (value.empty() || *end != L'\0') {
        *error = L"--exit-after-ms needs a number of milliseconds";
        return false;
      }
      options->exitAfterMs = static_cast<UINT>(ms);
    } else {
      *error = L"unknown argument " + arg;
      return false;
    }
  }
  return true;
}

}  // namespace host
