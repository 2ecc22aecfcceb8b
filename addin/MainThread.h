// TMainThread: one click on the button, one thread that runs the finder
// window modally. At most one window is open at a time (g_bMainDlgOpen).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

// True while a finder window is being created or run.
extern std::atomic<bool> g_bMainDlgOpen;

class TMainThread {
 public:
  // Starts a finder thread for the Application object and returns at once.
  // The reference is marshalled to the thread, which initialises COM as an
  // apartment of its own. The thread owns itself and ends after the modal
  // run; the window and its logon and index go with it.
  static void Start(IDispatch* m_IDspApp);

  // Waits until every finder thread has ended, for tests; false on timeout.
  static bool WaitForAll(DWORD timeoutMs);
  static long Running();
};
