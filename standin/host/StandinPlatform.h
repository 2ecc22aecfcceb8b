// The stand-in platform as the host reaches it: MAPI32.DLL loaded by name
// (it forwards to QuopStandin.dll), the profile, and the stand-in's
// Outlook Application object.
#pragma once

#include <windows.h>

#include <string>

#include "om/OutlookIntf.h"
#include "support/ComPtr.h"

namespace host {

class TStandinPlatform {
 public:
  TStandinPlatform() = default;
  ~TStandinPlatform() { Close(); }
  TStandinPlatform(const TStandinPlatform&) = delete;
  TStandinPlatform& operator=(const TStandinPlatform&) = delete;

  // Loads MAPI32.DLL and, when `profile` is not empty, that profile
  // (otherwise the stand-in reads QUOP_STANDIN_PROFILE when asked).
  HRESULT Open(const std::wstring& profile, std::wstring* error);
  HRESULT CreateApplication(_Application** application);
  HRESULT SaveProfile(const std::wstring& path);
  void Close();

 private:
  FARPROC Export(const char* name) const;

  HMODULE mapi_ = nullptr;
  HMODULE provider_ = nullptr;
};

}  // namespace host
