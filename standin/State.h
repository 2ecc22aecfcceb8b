// The provider's process-wide state: the profile, the chosen failures, the
// call log and MAPI's initialisation count, behind one lock.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "standin/Faults.h"
#include "standin/Model.h"

namespace standin {

struct State {
  std::recursive_mutex lock;
  std::shared_ptr<Profile> profile;  // null until loaded
  Faults faults;
  std::vector<std::string> log;
  int initCount = 0;
  ULONG nextFormToken = 1;
  std::map<ULONG, std::string> formTokens;  // token -> subject of the prepared message
  std::string pickFolder;  // entry identifier text PickFolder answers; empty: the picker is cancelled
};

State& Global();
using Lock = std::lock_guard<std::recursive_mutex>;
inline Lock LockState() { return Lock(Global().lock); }

void LogCall(std::string line);
// "\"text\"" for log lines; "null" for a null pointer.
std::string Quoted(const char* text);
std::string Hex(ULONG value);

}  // namespace standin
