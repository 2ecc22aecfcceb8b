// The open-object limits of a logon: how many messages, folders and
// attachments of each store one session holds open at once, against the
// store's limits (Exchange's per-session object limits).
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>

#include "standin/Model.h"

namespace standin {

class Logon;

// One open object's place in its logon's count, given back when the object
// is destroyed (its final Release). Empty for a store without that limit.
class OpenSlot {
 public:
  OpenSlot() = default;
  ~OpenSlot() { Reset(); }
  OpenSlot(const OpenSlot&) = delete;
  OpenSlot& operator=(const OpenSlot&) = delete;
  OpenSlot(OpenSlot&& other) noexcept;
  OpenSlot& operator=(OpenSlot&& other) noexcept;
  void Reset();

 private:
  friend class Logon;
  std::shared_ptr<Logon> FLogon;
  Bytes FStore;
  Limited FWhat = Limited::Message;
};

// Shared by a session and every object opened through it, so that objects
// released after the session still give their places back.
class Logon {
 public:
  // A place for one more `what` of `store`; MAPI_E_CALL_FAILED when the
  // logon already holds as many as the store allows.
  static HRESULT Reserve(const std::shared_ptr<Logon>& logon, const StoreData& store, Limited what,
                         OpenSlot& slot);

 private:
  friend class OpenSlot;
  void GiveBack(const Bytes& store, Limited what);

  std::mutex FLock;
  std::map<Bytes, std::array<ULONG, 3>> FOpen;  // store UID -> open messages, folders, attachments
};

}  // namespace standin
