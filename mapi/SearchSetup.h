// Beginning a search without the window: the session is pointed at the index
// and its dispatcher, and the index gets the settings (every folder, all
// times) and is cleared. The window does the same from its own controls.
#pragma once

#include <cstdint>

#include "index/uDB.h"
#include "mapi/sx_MAPI_Session.h"

// The settings of a search over every folder and all times.
inline TMsgSet SearchSettings(std::int32_t mask, bool across) {
  TMsgSet set;
  set.szSelEntryID = const_cast<char*>("");
  set.nSelFields = mask;
  set.dtReceivedFrom = set.dtReceivedTo = 0;
  set.bSearchOverFolders = across ? 1 : 0;
  return set;
}

inline void BeginSearch(TsxMAPI_Session& session, TQuopDB& db, TEventDispatcher& events,
                        std::int32_t mask, bool across) {
  session.SetDB(&db);
  session.SetDispatcher(&events);
  session.nSelFields = mask;
  session.SetSearchOverFolders(across);
  db.SetMsgSet(SearchSettings(mask, across));
  db.ClearDB();
}
