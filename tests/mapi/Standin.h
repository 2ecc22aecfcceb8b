// The stand-in MAPI provider as the tests see it: its control functions,
// a profile per test, and the check that nothing was left open.
#pragma once

#include <string>
#include <vector>

#include "mapi/MapiHeaders.h"
#include "standin/StandinControl.h"

class TStandin {
 public:
  // Loads MAPI32.DLL (which loads the provider) and the control functions.
  static TStandin& Get();

  void LoadProfile(const std::string& json);
  // Writes the profile as it is now (with the changes made through MAPI).
  void SaveProfile(const std::string& path);
  // What the object model's folder picker answers next: the folder with
  // this entry identifier text; "" a cancelled picker.
  void ScriptPickFolder(const std::string& entryIdText);
  void AddFault(const char* call, const char* target, HRESULT hr, ULONG propTag = 0,
                ULONG nth = 0);
  void ClearFaults() { clearFaults_(); }
  long LiveObjects() const { return liveObjects_(); }
  long LiveBuffers() const { return liveBuffers_(); }
  long BadFrees() const { return badFrees_(); }
  std::vector<std::string> Log() const;
  void ClearLog() { clearLog_(); }
  // The stand-in Outlook application over the loaded profile.
  IDispatch* CreateApplication();
  // MAPI objects open now and the most open at once since ResetPeaks, by
  // type ("message", "folder", "attachment", "table", "stream", "store", "all").
  long OpenObjects(const char* type) const;
  long PeakOpen(const char* type) const;
  void ResetPeaks();
  // MAPI calls served since ResetCalls.
  unsigned long CallCount() const;
  void ResetCalls();

 private:
  TStandin();
  STANDIN_LIVEOBJECTS liveObjects_ = nullptr;
  STANDIN_LIVEBUFFERS liveBuffers_ = nullptr;
  STANDIN_BADFREES badFrees_ = nullptr;
  STANDIN_LOADPROFILETEXT loadProfileText_ = nullptr;
  STANDIN_SAVEPROFILE saveProfile_ = nullptr;
  STANDIN_SCRIPTPICKFOLDER scriptPickFolder_ = nullptr;
  STANDIN_ADDFAULT addFault_ = nullptr;
  STANDIN_CLEARFAULTS clearFaults_ = nullptr;
  STANDIN_LOGCOUNT logCount_ = nullptr;
  STANDIN_LOGLINE logLine_ = nullptr;
  STANDIN_CLEARLOG clearLog_ = nullptr;
  STANDIN_CREATEAPPLICATION createApplication_ = nullptr;
  LONG(WINAPI* openObjects_)(const char*) = nullptr;
  LONG(WINAPI* peakOpen_)(const char*) = nullptr;
  void(WINAPI* resetPeaks_)() = nullptr;
  ULONG(WINAPI* callCount_)() = nullptr;
  void(WINAPI* resetCalls_)() = nullptr;
};

// Small builders of profile JSON.
namespace profile {
std::string Message(const std::string& subject, const std::string& more = "");
std::string Folder(const std::string& name, const std::string& cls, const std::string& messages,
                   const std::string& folders = "", const std::string& role = "");
// `more`: further keys of the store object, e.g. "\"kind\": \"exchange-online\"".
std::string Store(const std::string& name, char uidDigit, bool isDefault,
                  const std::string& topFolders, const std::string& more = "");
std::string Profile(const std::string& stores);
}  // namespace profile
