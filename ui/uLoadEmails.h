// The results loader: reads the groups back from the duplicate index on a
// thread of its own and hands the records over to the window thread in
// batches. It never touches the list; the window adds the rows.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "index/uDB.h"
#include "mapi/sx_MAPI.h"

// A deep copy of a record in the add-in's memory, released when it goes.
class TOwnedQuopMsg {
 public:
  TOwnedQuopMsg() = default;
  ~TOwnedQuopMsg();
  TOwnedQuopMsg(TOwnedQuopMsg&& other) noexcept;
  TOwnedQuopMsg& operator=(TOwnedQuopMsg&& other) noexcept;
  TOwnedQuopMsg(const TOwnedQuopMsg&) = delete;
  TOwnedQuopMsg& operator=(const TOwnedQuopMsg&) = delete;

  // False when the copy failed (the partial copy is released).
  bool CopyFrom(const TQuopMsg& record);
  const TQuopMsg& Get() const { return FMsg; }
  // For handing the strings on (TEmailList::AdoptEmail takes them).
  TQuopMsg& Get() { return FMsg; }

 private:
  TQuopMsg FMsg{};
};

// What the loader reports; every event runs on the owner's thread through
// the dispatcher.
struct TLoadEmailsEvents {
  // A batch of records, in index order. The loader reads the next batch
  // meanwhile, and hands it over once this one has been taken.
  std::function<void(std::vector<TOwnedQuopMsg>& batch)> OnAddEmails;
  std::function<void()> OnProgressStep;
  // Raised exactly once, as the loader's last act.
  std::function<void()> OnTerminate;
};

class TLoadEmails {
 public:
  TLoadEmails(TQuopDB& db, TEventDispatcher& dispatcher, TLoadEmailsEvents events);
  // Terminates and waits for the thread.
  ~TLoadEmails();
  TLoadEmails(const TLoadEmails&) = delete;
  TLoadEmails& operator=(const TLoadEmails&) = delete;

  void Start();
  // Asks the loop to end after the record it is adding.
  void Terminate() { FTerminated.store(true); }
  bool Terminated() const { return FTerminated.load(); }
  // Waits until the thread has ended. Never call it from inside an event.
  void WaitFor();

 private:
  void Execute();
  // Waits until the batch handed over before is taken (or the loader is
  // terminated), then hands this one to the owner's thread.
  void Deliver(std::vector<TOwnedQuopMsg>& batch);
  // Waits until the batch in flight is taken or the loader is terminated.
  void WaitTaken();

  TQuopDB& FtxDB;
  TEventDispatcher& FDispatcher;
  TLoadEmailsEvents FEvents;
  std::atomic<bool> FTerminated{false};
  std::thread FThread;
  // The batch handed over last; only the loader's thread uses it.
  struct THandOff;
  std::shared_ptr<THandOff> FInFlight;
};
