// TMainThread: the thread that runs the finder window modally. At most one
// runs in the process: the window owns a MAPI logon and the index file,
// which two windows would share. The thread outlives the add-in object
// that started it (Outlook may disconnect and reconnect the add-in while
// the window is open), so its state belongs to the process, not to an
// add-in object.
#pragma once

#include <windows.h>
#include <oaidl.h>

class TMainThread {
 public:
  // Starts the finder thread for the Application object (marshalled to
  // the thread, which initialises COM as an apartment of its own) and
  // returns at once; false, with nothing started, while the last thread
  // has not ended. A thread that cannot start raises std::system_error.
  static bool Start(IDispatch* application);

  // True from a Start until that thread has ended: its window may still be
  // open, and its code still runs in this library (DllCanUnloadNow).
  static bool Running();
};
