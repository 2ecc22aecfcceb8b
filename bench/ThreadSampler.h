// Where a run's time goes, told by sampling: a thread of its own suspends
// the threads that appear after it starts (the run's workers) about once a
// millisecond and counts the module each one was executing in. Time in
// Wine's system libraries (heap, strings, server calls) is charged to the
// watched module that called them: the first return address into one of
// them found on the stack. A stale address left on the stack can mislead
// that scan now and then; over thousands of samples it evens out.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace bench {

class TThreadSampler {
 public:
  // `watched`: the modules time is told apart by (lower-case file names).
  // Threads alive now (the caller's own among them) are never sampled.
  explicit TThreadSampler(std::vector<std::string> watched);
  ~TThreadSampler();
  TThreadSampler(const TThreadSampler&) = delete;
  TThreadSampler& operator=(const TThreadSampler&) = delete;

  void Stop();

  // Samples by where they were taken: a watched module's name for its own
  // code, "name via caller" for a system library called from a watched
  // module, and the system library's name alone when no caller was found.
  const std::map<std::string, unsigned long>& SamplesByPlace() const { return FByPlace; }
  unsigned long Samples() const { return FSamples; }

 private:
  struct TRange {
    ULONG_PTR begin = 0, end = 0;
    std::string name;
  };

  void Run();
  void SampleNewThreads();
  void SampleOne(HANDLE thread);
  const TRange* WatchedAt(ULONG_PTR address) const;
  const TRange* CallerOnStack(ULONG_PTR stack) const;
  std::string ModuleNameOf(ULONG_PTR address);

  std::vector<TRange> FWatched;
  std::vector<DWORD> FBefore;
  std::map<DWORD, HANDLE> FSampled;  // thread id -> handle, closed at the end
  std::map<HMODULE, std::string> FNames;
  std::map<std::string, unsigned long> FByPlace;
  unsigned long FSamples = 0;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

}  // namespace bench
