#include "tests/mapi/Standin.h"

#include <gtest/gtest.h>

#include "mapi/MapiLibrary.h"

namespace {

template <typename TFn>
TFn Control(const char* name) {
  HMODULE provider = GetModuleHandleA(STANDIN_DLL_NAME);
  auto fn = provider ? reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(GetProcAddress(provider, name)))
                     : nullptr;
  if (!fn) ADD_FAILURE() << "the stand-in provider has no " << name;
  return fn;
}

}  // namespace

TStandin& TStandin::Get() {
  static TStandin standin;
  return standin;
}

TStandin::TStandin() {
  TMapiLibrary::Instance();  // MAPI32.DLL loads the provider it forwards to
  liveObjects_ = Control<STANDIN_LIVEOBJECTS>("StandinLiveObjects");
  liveBuffers_ = Control<STANDIN_LIVEBUFFERS>("StandinLiveBuffers");
  badFrees_ = Control<STANDIN_BADFREES>("StandinBadFrees");
  loadProfileText_ = Control<STANDIN_LOADPROFILETEXT>("StandinLoadProfileText");
  saveProfile_ = Control<STANDIN_SAVEPROFILE>("StandinSaveProfile");
  scriptPickFolder_ = Control<STANDIN_SCRIPTPICKFOLDER>("StandinScriptPickFolder");
  addFault_ = Control<STANDIN_ADDFAULT>("StandinAddFault");
  clearFaults_ = Control<STANDIN_CLEARFAULTS>("StandinClearFaults");
  logCount_ = Control<STANDIN_LOGCOUNT>("StandinLogCount");
  logLine_ = Control<STANDIN_LOGLINE>("StandinLogLine");
  clearLog_ = Control<STANDIN_CLEARLOG>("StandinClearLog");
  createApplication_ = Control<STANDIN_CREATEAPPLICATION>("StandinCreateApplication");
  openObjects_ = Control<decltype(openObjects_)>("StandinOpenObjects");
  peakOpen_ = Control<decltype(peakOpen_)>("StandinPeakOpen");
  resetPeaks_ = Control<decltype(resetPeaks_)>("StandinResetPeaks");
  callCount_ = Control<decltype(callCount_)>("StandinCallCount");
  resetCalls_ = Control<decltype(resetCalls_)>("StandinResetCalls");
}

long TStandin::OpenObjects(const char* type) const { return openObjects_ ? openObjects_(type) : -1; }
long TStandin::PeakOpen(const char* type) const { return peakOpen_ ? peakOpen_(type) : -1; }
void TStandin::ResetPeaks() {
  if (resetPeaks_) resetPeaks_();
}
unsigned long TStandin::CallCount() const { return callCount_ ? callCount_() : 0; }
void TStandin::ResetCalls() {
  if (resetCalls_) resetCalls_();
}

IDispatch* TStandin::CreateApplication() {
  IDispatch* app = nullptr;
  EXPECT_EQ(createApplication_(&app), S_OK);
  return app;
}

void TStandin::LoadProfile(const std::string& json) {
  clearFaults_();
  ASSERT_EQ(loadProfileText_(json.c_str()), S_OK) << json;
  clearLog_();
}

void TStandin::SaveProfile(const std::string& path) {
  ASSERT_EQ(saveProfile_(path.c_str()), S_OK) << path;
}

void TStandin::ScriptPickFolder(const std::string& entryIdText) {
  ASSERT_EQ(scriptPickFolder_(entryIdText.c_str()), S_OK) << entryIdText;
}

void TStandin::AddFault(const char* call, const char* target, HRESULT hr, ULONG propTag,
                        ULONG nth) {
  ASSERT_EQ(addFault_(call, target, propTag, hr, nth), S_OK);
}

std::vector<std::string> TStandin::Log() const {
  std::vector<std::string> lines;
  char buf[1024];
  for (ULONG i = 0; i < logCount_(); ++i)
    if (logLine_(i, buf, sizeof buf) != 0xFFFFFFFF) lines.emplace_back(buf);
  return lines;
}

namespace profile {

std::string Message(const std::string& subject, const std::string& more) {
  return "{\"subject\": \"" + subject + "\"" + (more.empty() ? "" : ", " + more) + "}";
}

std::string Folder(const std::string& name, const std::string& cls, const std::string& messages,
                   const std::string& folders, const std::string& role) {
  std::string j = "{\"name\": \"" + name + "\"";
  if (!cls.empty()) j += ", \"class\": \"" + cls + "\"";
  if (!role.empty()) j += ", \"role\": \"" + role + "\"";
  j += ", \"messages\": [" + messages + "], \"folders\": [" + folders + "]}";
  return j;
}

std::string Store(const std::string& name, char uidDigit, bool isDefault,
                  const std::string& topFolders, const std::string& more) {
  return "{\"name\": \"" + name + "\", \"uid\": \"" + std::string(32, uidDigit) +
         "\", \"default\": " + (isDefault ? "true" : "false") + (more.empty() ? "" : ", " + more) +
         ", \"subtree\": {\"name\": \"Top of " + name + "\", \"folders\": [" + topFolders + "]}}";
}

std::string Profile(const std::string& stores) { return "{\"stores\": [" + stores + "]}"; }

}  // namespace profile
