#include "standin/ProfileLoad.h"

#include <mapix.h>

#include <fstream>

#include "standin/ProfileJson.h"
#include "standin/State.h"

namespace standin {

namespace {

// Replaces the profile and its faults with what `parse` reads.
template <class Parse>
HRESULT Load(Parse parse) {
  auto lock = LockState();
  try {
    LoadedProfile loaded = parse();
    Global().profile = std::move(loaded.profile);
    Global().faults.Clear();
    for (FaultRule& rule : loaded.faults) Global().faults.Add(std::move(rule));
    return S_OK;
  } catch (const std::exception& e) {
    LogCall(std::string("LoadProfile error: ") + e.what());
    return MAPI_E_CORRUPT_DATA;
  }
}

}  // namespace

HRESULT LoadProfileText(const std::string& json) {
  return Load([&] { return ParseProfile(json); });
}

// Read as a stream: a profile of a million messages is never held as text.
HRESULT LoadProfileFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    LogCall("LoadProfile error: cannot read " + path);
    return MAPI_E_NOT_FOUND;
  }
  return Load([&] { return ParseProfile(in); });
}

HRESULT SaveProfileFile(const std::string& path) {
  auto lock = LockState();
  if (!Global().profile) return MAPI_E_NOT_INITIALIZED;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << WriteProfile(*Global().profile, Global().faults.Rules());
  return out.good() ? S_OK : MAPI_E_DISK_ERROR;
}

HRESULT EnsureProfile() {
  auto lock = LockState();
  if (Global().profile) return S_OK;
  char path[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableA(STANDIN_PROFILE_ENV_NAME, path, sizeof path);
  if (n == 0 || n >= sizeof path) return MAPI_E_NOT_FOUND;
  return LoadProfileFile(path);
}

}  // namespace standin
