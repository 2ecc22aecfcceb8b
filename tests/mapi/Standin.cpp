#include "tests/mapi/Standin.h"

#include <gtest/gtest.h>

#include "mapi/MapiLibrary.h"

TStandin& TStandin::Get() {
  static TStandin standin;
  return standin;
}

TStandin::TStandin() {
  TMapiLibrary::Instance();  // MAPI32.DLL loads the provider it forwards to
}

FARPROC TStandin::Lookup(const char* name) {
  const HMODULE provider = GetModuleHandleA(STANDIN_DLL_NAME);
  const FARPROC fn = provider ? GetProcAddress(provider, name) : nullptr;
  if (!fn) ADD_FAILURE() << "the stand-in provider has no " << name;
  return fn;
}

IDispatch* TStandin::CreateApplication() {
  IDispatch* app = nullptr;
  EXPECT_EQ(Call<STANDIN_CREATEAPPLICATION>("StandinCreateApplication", &app), S_OK);
  return app;
}

void TStandin::LoadProfile(const std::string& json) {
  ClearFaults();
  ASSERT_EQ(Call<STANDIN_LOADPROFILETEXT>("StandinLoadProfileText", json.c_str()), S_OK) << json;
  ClearLog();
}

void TStandin::SaveProfile(const std::string& path) {
  ASSERT_EQ(Call<STANDIN_SAVEPROFILE>("StandinSaveProfile", path.c_str()), S_OK) << path;
}

void TStandin::ScriptPickFolder(const std::string& entryIdText) {
  ASSERT_EQ(Call<STANDIN_SCRIPTPICKFOLDER>("StandinScriptPickFolder", entryIdText.c_str()), S_OK) << entryIdText;
}

void TStandin::AddListFault(const char* call, const char* target, HRESULT hr, ULONG carryOut, ULONG nth) {
  ASSERT_EQ(Call<STANDIN_ADDLISTFAULT>("StandinAddListFault", call, target, carryOut, hr, nth), S_OK);
}

void TStandin::AddFault(const char* call, const char* target, HRESULT hr, ULONG propTag,
                        ULONG nth) {
  ASSERT_EQ(Call<STANDIN_ADDFAULT>("StandinAddFault", call, target, propTag, hr, nth), S_OK);
}

std::vector<std::string> TStandin::Log() const {
  std::vector<std::string> lines;
  char buf[1024];
  const ULONG count = Call<STANDIN_LOGCOUNT>("StandinLogCount");
  for (ULONG i = 0; i < count; ++i)
    if (Call<STANDIN_LOGLINE>("StandinLogLine", i, buf, static_cast<ULONG>(sizeof buf)) != 0xFFFFFFFF)
      lines.emplace_back(buf);
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
