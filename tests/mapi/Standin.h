// The stand-in MAPI provider as the tests see it: its control functions,
// a profile per test, and the check that nothing was left open.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mapi/MapiHeaders.h"
#include "standin/StandinControl.h"

class TStandin {
 public:
  // Loads MAPI32.DLL, which loads the provider.
  static TStandin& Get();

  void LoadProfile(const std::string& json);
  // Writes the profile as it is now (with the changes made through MAPI).
  void SaveProfile(const std::string& path);
  // What the object model's folder picker answers next: the folder with
  // this entry identifier text; "" a cancelled picker.
  void ScriptPickFolder(const std::string& entryIdText);
  void AddFault(const char* call, const char* target, HRESULT hr, ULONG propTag = 0,
                ULONG nth = 0);
  // CopyMessages on `target` carries out the first `carryOut` entries of its
  // list, then answers hr.
  void AddListFault(const char* call, const char* target, HRESULT hr, ULONG carryOut, ULONG nth = 0);
  void ClearFaults() { Call<STANDIN_CLEARFAULTS>("StandinClearFaults"); }
  long LiveObjects() const { return Call<STANDIN_LIVEOBJECTS>("StandinLiveObjects"); }
  long LiveBuffers() const { return Call<STANDIN_LIVEBUFFERS>("StandinLiveBuffers"); }
  long BadFrees() const { return Call<STANDIN_BADFREES>("StandinBadFrees"); }
  std::vector<std::string> Log() const;
  void ClearLog() { Call<STANDIN_CLEARLOG>("StandinClearLog"); }
  // The stand-in Outlook application over the loaded profile.
  IDispatch* CreateApplication();
  // MAPI objects open now and the most open at once since ResetPeaks, by
  // type ("message", "folder", "attachment", "table", "stream", "store", "all").
  long OpenObjects(const char* type) const { return Call<STANDIN_OPENOBJECTS>("StandinOpenObjects", type); }
  long PeakOpen(const char* type) const { return Call<STANDIN_PEAKOPEN>("StandinPeakOpen", type); }
  void ResetPeaks() { Call<STANDIN_RESETPEAKS>("StandinResetPeaks"); }
  // MAPI calls served since ResetCalls: all of them, or those of one method.
  unsigned long CallCount() const { return Call<STANDIN_CALLCOUNT>("StandinCallCount"); }
  unsigned long CallCountOf(const char* call) const { return Call<STANDIN_CALLCOUNTOF>("StandinCallCountOf", call); }
  void ResetCalls() { Call<STANDIN_RESETCALLS>("StandinResetCalls"); }

 private:
  TStandin();
  // The provider's control function `name`, looked up by name and called; a
  // missing one fails the test and answers the type's zero.
  template <typename TFn, typename... TArgs>
  static auto Call(const char* name, TArgs... args) -> decltype(std::declval<TFn>()(args...)) {
    const TFn fn = reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(Lookup(name)));
    if (!fn) return decltype(fn(args...))();
    return fn(args...);
  }
  static FARPROC Lookup(const char* name);
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
