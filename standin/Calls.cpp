#include "standin/Calls.h"

#include <map>
#include <string>

#include "standin/State.h"

namespace standin {
namespace {

struct CallCounts {
  ULONG all = 0;
  std::map<std::string, ULONG, std::less<>> byName;
};

CallCounts& Counts() {
  static CallCounts counts;
  return counts;
}

// A remote call's fixed cost. Sleep alone is too coarse for a few hundred
// microseconds, so the last stretch is waited out on the performance counter.
void Spend(ULONG microseconds) {
  if (microseconds == 0) return;
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const LONGLONG ticks = frequency.QuadPart * microseconds / 1000000;
  if (microseconds > 2000) Sleep(microseconds / 1000 - 1);
  do {
    QueryPerformanceCounter(&now);
  } while (now.QuadPart - start.QuadPart < ticks);
}

}  // namespace

HRESULT ServeCall(std::string_view call, std::string_view target, const StoreData* store, std::string_view opened,
                  ULONG* carryOut) {
  auto lock = LockState();
  CallCounts& counts = Counts();
  ++counts.all;
  auto it = counts.byName.find(call);
  if (it == counts.byName.end()) it = counts.byName.emplace(std::string(call), 0).first;
  ++it->second;
  if (store != nullptr) Spend(store->rules.CallMicroseconds());
  return Global().faults.Check(call, target, opened, carryOut);
}

ULONG CallCount() {
  auto lock = LockState();
  return Counts().all;
}

ULONG CallCountOf(std::string_view call) {
  auto lock = LockState();
  auto it = Counts().byName.find(call);
  return it != Counts().byName.end() ? it->second : 0;
}

void ResetCalls() {
  auto lock = LockState();
  Counts() = CallCounts{};
}

}  // namespace standin
