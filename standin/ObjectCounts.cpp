#include "standin/ObjectCounts.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace standin {
namespace {

constexpr size_t kTypes = 6;
constexpr const char* kNames[kTypes] = {"message", "folder", "attachment", "table", "stream", "store"};

// Objects are released outside the provider's call lock, so the counts
// have their own.
struct Counts {
  std::mutex lock;
  std::array<long, kTypes> now{};
  std::array<long, kTypes> peak{};
  long all = 0;
  long peakAll = 0;
};

Counts& Get() {
  static Counts counts;
  return counts;
}

void Change(ObjectType type, long delta) {
  Counts& c = Get();
  std::lock_guard lock(c.lock);
  const size_t i = static_cast<size_t>(type);
  c.now[i] += delta;
  c.all += delta;
  c.peak[i] = std::max(c.peak[i], c.now[i]);
  c.peakAll = std::max(c.peakAll, c.all);
}

// A reading of the counts under their lock.
template <class Read>
long Locked(Read read) {
  Counts& c = Get();
  std::lock_guard lock(c.lock);
  return read(c);
}

}  // namespace

std::optional<ObjectType> ObjectTypeNamed(std::string_view name) {
  for (size_t i = 0; i < kTypes; ++i) {
    if (name == kNames[i]) return static_cast<ObjectType>(i);
  }
  return std::nullopt;
}

TypeCount::TypeCount(ObjectType type) : FType(type) { Change(type, +1); }
TypeCount::~TypeCount() { Change(FType, -1); }

long OpenNow(ObjectType type) { return Locked([type](Counts& c) { return c.now[static_cast<size_t>(type)]; }); }
long OpenNowAll() { return Locked([](Counts& c) { return c.all; }); }
long PeakOpen(ObjectType type) { return Locked([type](Counts& c) { return c.peak[static_cast<size_t>(type)]; }); }
long PeakOpenAll() { return Locked([](Counts& c) { return c.peakAll; }); }

void ResetPeaks() {
  Counts& c = Get();
  std::lock_guard lock(c.lock);
  c.peak = c.now;
  c.peakAll = c.all;
}

}  // namespace standin
