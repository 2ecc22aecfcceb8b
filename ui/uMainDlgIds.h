// Control identifiers and private messages of the duplicate finder window.
#pragma once

#include <windows.h>

enum : int {
  idTreeFolder = 101, idFields, idEmails, idSearch, idBanner, idStatus,
  idEachFolder, idOverFolders, idAllTime, idLastWeek, idPastMonth, idPastYear, idSpecify,
  idFrom, idTo, idDateFrom, idDateTo
};

// Worker events are waiting in the window's dispatcher.
inline constexpr UINT WM_QUOP_EVENTS = WM_APP + 1;
