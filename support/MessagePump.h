// Runs the calling thread's window messages until a condition holds, for
// programs and tests that drive a window from its own thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

// Dispatches messages until done() holds; false when `timeout` passes first.
// Between messages it sleeps until one arrives or 10 ms pass, so a
// condition set by another thread is seen without a message.
inline bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  return true;
}
