#include "ui/uLoadEmails.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>

#include "index/QuopMsgCopy.h"

TOwnedQuopMsg::~TOwnedQuopMsg() { UnInitQuopMsg(FMsg); }

TOwnedQuopMsg::TOwnedQuopMsg(TOwnedQuopMsg&& other) noexcept : FMsg(other.FMsg) {
  other.FMsg = TQuopMsg{};
}

TOwnedQuopMsg& TOwnedQuopMsg::operator=(TOwnedQuopMsg&& other) noexcept {
  if (this != &other) {
    UnInitQuopMsg(FMsg);
    FMsg = other.FMsg;
    other.FMsg = TQuopMsg{};
  }
  return *this;
}

bool TOwnedQuopMsg::CopyFrom(const TQuopMsg& record) {
  UnInitQuopMsg(FMsg);
  if (CopyMsg(record, &FMsg)) return true;
  UnInitQuopMsg(FMsg);
  return false;
}

namespace {

constexpr std::size_t BatchRecords = 256;
constexpr auto BatchInterval = std::chrono::milliseconds(30);
constexpr auto WaitSlice = std::chrono::milliseconds(20);
constexpr std::int64_t ProgressSteps = 50;

// Gives a record back to the library however the loop is left.
class TLibraryRecord {
 public:
  explicit TLibraryRecord(TQuopDB& db) : db_(db) {}
  ~TLibraryRecord() { Release(); }
  TLibraryRecord(const TLibraryRecord&) = delete;
  TLibraryRecord& operator=(const TLibraryRecord&) = delete;

  void Reset(TQuopMsg* record) {
    Release();
    record_ = record;
  }
  void Release() {
    if (record_ != nullptr) db_.FreeQuopMsg(std::exchange(record_, nullptr));
  }
  TQuopMsg* Get() const { return record_; }

 private:
  TQuopDB& db_;
  TQuopMsg* record_ = nullptr;
};

}  // namespace

// A batch on its way to the owner's thread. The posted event holds it, so
// the batch lives exactly as long as someone may still use it: an event
// that is thrown away unrun frees it, and a loader that stopped waiting
// leaves nothing behind that points at it.
struct TLoadEmails::THandOff {
  std::vector<TOwnedQuopMsg> batch;
  std::mutex lock;
  std::condition_variable takenChanged;
  bool taken = false;
};

TLoadEmails::TLoadEmails(TQuopDB& db, TEventDispatcher& dispatcher, TLoadEmailsEvents events)
    : FtxDB(db), FDispatcher(dispatcher), FEvents(std::move(events)) {}

TLoadEmails::~TLoadEmails() {
  Terminate();
  WaitFor();
}

void TLoadEmails::Start() {
  if (FThread.joinable()) return;
  FThread = std::thread([this] { Execute(); });
}

void TLoadEmails::WaitFor() {
  if (!FThread.joinable()) return;
  if (FThread.get_id() == std::this_thread::get_id()) {
    // Called from an event the dispatcher ran on the loader's own thread:
    // the thread is about to end by itself.
    FThread.detach();
    return;
  }
  FThread.join();
}

void TLoadEmails::Execute() {
  try {
    std::vector<TOwnedQuopMsg> batch;
    const std::int32_t count = FtxDB.GetMsgCount();
    // A count of 0 reads nothing: there is nothing to measure progress by.
    if (count > 0) {
      TLibraryRecord record(FtxDB);
      record.Reset(FtxDB.FindFirstMsg());
      std::int64_t step = 1;
      auto lastDelivery = std::chrono::steady_clock::now();
      while (record.Get() != nullptr) {
        const TQuopMsg& rec = *record.Get();
        TOwnedQuopMsg copy;
        if (copy.CopyFrom(rec)) batch.push_back(std::move(copy));
        if (static_cast<std::int64_t>(rec.nIndex) * ProgressSteps / count > step) {
          FDispatcher.Post([onStep = FEvents.OnProgressStep] {
            if (onStep) onStep();
          });
          ++step;
        }
        record.Release();
        if (Terminated()) break;
        const auto now = std::chrono::steady_clock::now();
        if (batch.size() >= BatchRecords || now - lastDelivery >= BatchInterval) {
          Deliver(batch);
          lastDelivery = std::chrono::steady_clock::now();
          if (Terminated()) break;
        }
        record.Reset(FtxDB.FindNextMsg());
      }
    }
    if (!Terminated()) Deliver(batch);
  } catch (...) {
    // The loading ends here; what was delivered stays with the owner.
  }
  FInFlight.reset();  // the posted event alone owns the last batch
  try {
    FDispatcher.Post([onTerminate = FEvents.OnTerminate] {
      if (onTerminate) onTerminate();
    });
  } catch (...) {
  }
}

void TLoadEmails::Deliver(std::vector<TOwnedQuopMsg>& batch) {
  if (batch.empty()) return;
  // One batch in flight: the window takes it while the next one is read,
  // and the records waiting for the window never exceed two batches.
  WaitTaken();
  if (Terminated()) return;
  auto handOff = std::make_shared<THandOff>();
  handOff->batch = std::move(batch);
  batch.clear();
  FInFlight = handOff;
  FDispatcher.Post([handOff, onAdd = FEvents.OnAddEmails] {
    struct TMarkTaken {
      THandOff& h;
      ~TMarkTaken() {
        {
          std::lock_guard<std::mutex> hold(h.lock);
          h.taken = true;
        }
        h.takenChanged.notify_all();
      }
    } markTaken{*handOff};
    if (onAdd) onAdd(handOff->batch);
    handOff->batch.clear();
  });
}

void TLoadEmails::WaitTaken() {
  if (!FInFlight) return;
  {
    std::unique_lock<std::mutex> hold(FInFlight->lock);
    while (!FInFlight->taken && !Terminated()) FInFlight->takenChanged.wait_for(hold, WaitSlice);
  }
  FInFlight.reset();
}
