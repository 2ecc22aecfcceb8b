// The control exports of StandinControl.h: counters, profile, faults, log,
// the object model's application and its scripted folder picker.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "standin/Buffers.h"
#include "standin/Calls.h"
#include "standin/ModelMemory.h"
#include "standin/ComObject.h"
#include "standin/GeneratedMail.h"
#include "standin/ObjectCounts.h"
#include "standin/OutlookObjects.h"
#include "standin/ProfileLoad.h"
#include "standin/StandinControl.h"
#include "standin/State.h"

using namespace standin;

extern "C" {

LONG WINAPI StandinLiveObjects(void) { return LiveObjects(); }
LONG WINAPI StandinLiveBuffers(void) { return LiveBuffers(); }
LONG WINAPI StandinBadFrees(void) { return BadFrees(); }

LONG WINAPI StandinOpenObjects(const char* type) {
  if (type == nullptr) return -1;
  if (std::strcmp(type, "all") == 0) return OpenNowAll();
  const auto which = ObjectTypeNamed(type);
  return which ? OpenNow(*which) : -1;
}

LONG WINAPI StandinPeakOpen(const char* type) {
  if (type == nullptr) return -1;
  if (std::strcmp(type, "all") == 0) return PeakOpenAll();
  const auto which = ObjectTypeNamed(type);
  return which ? PeakOpen(*which) : -1;
}

void WINAPI StandinResetPeaks(void) { ResetPeaks(); }
ULONG WINAPI StandinCallCount(void) { return CallCount(); }
ULONG WINAPI StandinCallCountOf(const char* call) { return call != nullptr ? CallCountOf(call) : 0; }
void WINAPI StandinResetCalls(void) { ResetCalls(); }
ULONG WINAPI StandinModelBytes(void) { return static_cast<ULONG>(ModelBytes()); }
ULONG WINAPI StandinMessagesMade(void) {
  auto lock = LockState();
  return GeneratedMessagesMade();
}

HRESULT WINAPI StandinLoadProfile(const char* path) {
  return path != nullptr ? LoadProfileFile(path) : MAPI_E_INVALID_PARAMETER;
}
HRESULT WINAPI StandinLoadProfileText(const char* json) {
  return json != nullptr ? LoadProfileText(json) : MAPI_E_INVALID_PARAMETER;
}
HRESULT WINAPI StandinSaveProfile(const char* path) {
  return path != nullptr ? SaveProfileFile(path) : MAPI_E_INVALID_PARAMETER;
}

HRESULT WINAPI StandinAddFault(const char* call, const char* target, ULONG propTag, HRESULT hr, ULONG nth) {
  if (call == nullptr || target == nullptr) return MAPI_E_INVALID_PARAMETER;
  auto lock = LockState();
  Global().faults.Add(FaultRule{call, target, propTag, hr, nth, 0});
  return S_OK;
}

HRESULT WINAPI StandinAddListFault(const char* call, const char* target, ULONG carryOut, HRESULT hr, ULONG nth) {
  if (call == nullptr || target == nullptr || carryOut == 0) return MAPI_E_INVALID_PARAMETER;
  auto lock = LockState();
  Global().faults.Add(FaultRule{call, target, 0, hr, nth, 0, carryOut});
  return S_OK;
}

void WINAPI StandinClearFaults(void) {
  auto lock = LockState();
  Global().faults.Clear();
}

ULONG WINAPI StandinLogCount(void) {
  auto lock = LockState();
  return static_cast<ULONG>(Global().log.size());
}

ULONG WINAPI StandinLogLine(ULONG index, char* buffer, ULONG size) {
  auto lock = LockState();
  const auto& log = Global().log;
  if (index >= log.size()) return 0xFFFFFFFF;
  const std::string& line = log[index];
  if (buffer != nullptr && size > 0) {
    const size_t n = std::min<size_t>(line.size(), size - 1);
    std::memcpy(buffer, line.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<ULONG>(line.size());
}

void WINAPI StandinClearLog(void) {
  auto lock = LockState();
  Global().log.clear();
}

HRESULT WINAPI StandinCreateApplication(IDispatch** application) {
  if (application == nullptr) return E_POINTER;
  *application = nullptr;
  if (FAILED(EnsureProfile())) return MAPI_E_LOGON_FAILED;
  *application = NewApplication();
  return S_OK;
}

HRESULT WINAPI StandinScriptPickFolder(const char* entryId) {
  std::string text = entryId != nullptr ? entryId : "";
  for (char& c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return E_INVALIDARG;
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  auto lock = LockState();
  Global().pickFolder = text;
  return S_OK;
}

}  // extern "C"
