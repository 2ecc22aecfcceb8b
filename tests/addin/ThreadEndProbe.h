// What a function answers on a watched thread as that thread ends. The
// program's TLS callback hears DLL_THREAD_DETACH on the ending thread
// itself: after its start routine has returned (or it called ExitThread)
// and before its handle is signalled. One probe at a time.
#pragma once

#include <windows.h>

class TThreadEndProbe {
 public:
  using TAsk = HRESULT(WINAPI*)();
  TThreadEndProbe(DWORD threadId, TAsk ask);
  ~TThreadEndProbe();
  TThreadEndProbe(const TThreadEndProbe&) = delete;
  TThreadEndProbe& operator=(const TThreadEndProbe&) = delete;

  // The thread's handle is signalled.
  bool Ended() const;
  // What ask() answered as the thread ended; E_PENDING before.
  HRESULT Answer() const;

 private:
  HANDLE FThread;
};
