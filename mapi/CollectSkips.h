// What a collection run could not read. A store, folder or message that
// fails is listed here with its reason, and the run goes on with the next
// one, so that nothing is left out in silence.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct TSkippedItem {
  std::string strKind;    // "store", "folder" or "message"
  std::string strName;    // store name, folder name or message subject (UTF-8)
  std::string strReason;  // the operation that failed, e.g. "Could not open message!"
  std::string strError;   // the MAPI error's name, e.g. "MAPI_E_CALL_FAILED"
};

// The list is filled by the worker and read by the owner's thread.
class TCollectSkips {
 public:
  void Add(TSkippedItem item) {
    std::lock_guard<std::mutex> hold(FLock);
    FItems.push_back(std::move(item));
  }
  void Clear() {
    std::lock_guard<std::mutex> hold(FLock);
    FItems.clear();
  }
  std::vector<TSkippedItem> Items() const {
    std::lock_guard<std::mutex> hold(FLock);
    return FItems;
  }
  std::size_t Count() const {
    std::lock_guard<std::mutex> hold(FLock);
    return FItems.size();
  }

 private:
  mutable std::mutex FLock;
  std::vector<TSkippedItem> FItems;
};
