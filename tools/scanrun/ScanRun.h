// The steps every console run of the collection shares: the index opened
// and the MAPI profile logged on to, then one collection run to its end.
#pragma once

#include <string>

#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/sx_MAPI_Session.h"

// Opens the index at `store` and logs on; false with the reason on stderr.
bool OpenScan(TQuopDB& db, TsxMAPI_Session& session, const std::string& store);

// Runs the collection over the folders set up for it and pumps the run's
// events until it ends; false when it could not start. Progress handlers
// set on the session before the call keep running.
bool RunCollection(TsxMAPI_Session& session, TQueueDispatcher& events);
