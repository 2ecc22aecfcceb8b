// The exported functions of the duplicate-index library. No C++ exception
// leaves them: each answers false, null or 0 instead.
#include <mutex>
#include <new>

#include "quopdb/IndexEngine.h"
#include "indexapi/QuopDBApi.h"

#ifndef QUOPDB_HASH_BITS
#define QUOPDB_HASH_BITS 64
#endif

namespace {

using quopdb::TIndexEngine;

constexpr std::uint64_t kHashMask =
    QUOPDB_HASH_BITS >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << QUOPDB_HASH_BITS) - 1;

TIndexEngine& Engine() {
  static TIndexEngine engine(kHashMask);
  return engine;
}

// Callers are meant to serialise their calls; the lock keeps a careless one safe.
// StopFindMsg takes no lock, so that it can interrupt a long search.
std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

template <typename R, typename F>
R Guarded(R failed, F&& f) noexcept {
  try {
    std::lock_guard<std::mutex> hold(Lock());
    return f(Engine());
  } catch (...) {
    return failed;
  }
}

template <typename F>
void Guarded(F&& f) noexcept {
  try {
    std::lock_guard<std::mutex> hold(Lock());
    f(Engine());
  } catch (...) {
  }
}

}  // namespace

QUOPDB_EXPORT TByteBool QUOPDB_CALL OpenDB(const char* path) {
  return Guarded<TByteBool>(0, [&](TIndexEngine& e) { return e.OpenDB(path) ? 1 : 0; });
}

QUOPDB_EXPORT void QUOPDB_CALL CloseDB() {
  Guarded([](TIndexEngine& e) { e.CloseDB(); });
}

QUOPDB_EXPORT TByteBool QUOPDB_CALL AddMsg(TQuopMsg msg) {
  return Guarded<TByteBool>(0, [&](TIndexEngine& e) { return e.AddMsg(msg) ? 1 : 0; });
}

QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL FindFirstMsg() {
  return Guarded<TQuopMsg*>(nullptr, [](TIndexEngine& e) { return e.FindFirstMsg(); });
}

QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL FindNextMsg() {
  return Guarded<TQuopMsg*>(nullptr, [](TIndexEngine& e) { return e.FindNextMsg(); });
}

QUOPDB_EXPORT void QUOPDB_CALL FreeQuopMsg(TQuopMsg* msg) {
  Guarded([&](TIndexEngine& e) { e.FreeQuopMsg(msg); });
}

QUOPDB_EXPORT TQuopMsg* QUOPDB_CALL GetMsgAt(std::int32_t index) {
  return Guarded<TQuopMsg*>(nullptr, [&](TIndexEngine& e) { return e.GetMsgAt(index); });
}

QUOPDB_EXPORT void QUOPDB_CALL CommitDB() {
  Guarded([](TIndexEngine& e) { e.CommitDB(); });
}

QUOPDB_EXPORT std::int32_t QUOPDB_CALL GetMsgCount() {
  return Guarded<std::int32_t>(0, [](TIndexEngine& e) { return e.GetMsgCount(); });
}

QUOPDB_EXPORT void QUOPDB_CALL SetMsgSet(TMsgSet set) {
  Guarded([&](TIndexEngine& e) { e.SetMsgSet(set); });
}

QUOPDB_EXPORT void QUOPDB_CALL StopFindMsg() {
  try {
    Engine().StopFindMsg();
  } catch (...) {
  }
}

QUOPDB_EXPORT void QUOPDB_CALL ClearDB() {
  Guarded([](TIndexEngine& e) { e.ClearDB(); });
}
