// Hands worker events over to a window's thread: the events wait in a queue
// and one posted message wakes the window to run them. Only the first event
// of an empty queue posts, so a busy worker never floods the message queue.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "mapi/sx_MAPI.h"

class TWindowDispatcher : public TEventDispatcher {
 public:
  TWindowDispatcher(HWND hwnd, UINT nMsg) : FWnd(hwnd), FMsg(nMsg) {}

  void Post(std::function<void()> event) override {
    bool wake;
    {
      std::lock_guard<std::mutex> hold(FLock);
      wake = FQueue.empty();
      FQueue.push_back(std::move(event));
    }
    if (wake) PostMessageA(FWnd, FMsg, 0, 0);
  }

  // On the window thread, for the posted message: runs the events queued so
  // far. Events queued meanwhile post a message of their own, so the window
  // paints and takes input between the rounds however busy the workers are.
  void RunPending() {
    std::deque<std::function<void()>> round;
    {
      std::lock_guard<std::mutex> hold(FLock);
      round.swap(FQueue);
    }
    while (!round.empty()) {
      std::function<void()> event = std::move(round.front());
      round.pop_front();
      event();
    }
  }

  // Drops what is queued, unrun (the window is going and so are its handlers).
  void Discard() {
    std::deque<std::function<void()>> dropped;
    std::lock_guard<std::mutex> hold(FLock);
    dropped.swap(FQueue);
  }

 private:
  HWND FWnd;
  UINT FMsg;
  std::mutex FLock;
  std::deque<std::function<void()>> FQueue;
};
