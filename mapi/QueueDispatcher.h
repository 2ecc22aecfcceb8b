// An event dispatcher for owners without a window: workers post events into
// a queue, and the owner's thread runs them when it pumps.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "mapi/sx_MAPI.h"

class TQueueDispatcher : public TEventDispatcher {
 public:
  void Post(std::function<void()> event) override {
    {
      std::lock_guard<std::mutex> hold(lock_);
      queue_.push_back(std::move(event));
    }
    ready_.notify_one();
  }

  // Runs queued events on the calling thread until `done` holds or the time
  // is up; true when `done` held.
  template <typename TDone>
  bool PumpUntil(TDone done, std::chrono::milliseconds timeout = std::chrono::minutes(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      std::function<void()> event;
      {
        std::unique_lock<std::mutex> hold(lock_);
        if (!ready_.wait_until(hold, deadline, [this] { return !queue_.empty(); })) return false;
        event = std::move(queue_.front());
        queue_.pop_front();
      }
      event();
    }
    return true;
  }

 private:
  std::mutex lock_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
};
