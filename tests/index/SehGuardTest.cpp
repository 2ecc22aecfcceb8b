#include <gtest/gtest.h>

#include <windows.h>

#if defined(__i386__)
#include "index/SehChain.h"
#endif
#include "index/SehGuard.h"

namespace {

#if defined(__i386__)
// The guard leaves the thread's handler chain as it found it.
#define EXPECT_CHAIN_KEPT(before, ...) EXPECT_EQ(ExceptionChain(), before) __VA_ARGS__
#define CHAIN_BEFORE() EXCEPTION_REGISTRATION_RECORD* const before = ExceptionChain()
#else
// x86-64 keeps no chain: handlers are found through the unwind tables.
#define EXPECT_CHAIN_KEPT(before, ...)
#define CHAIN_BEFORE()
#endif

void Raise() { RaiseException(0xE0514F51, 0, 0, nullptr); }

// A read: Wine lets a write to address 0 pass without a fault.
int ReadThroughNull() {
  const volatile int* volatile nowhere = nullptr;
  return *nowhere;
}

TEST(SehGuard, NormalReturnRunsTheCallAndKeepsTheChain) {
  CHAIN_BEFORE();
  int nRuns = 0;
  auto call = [&] { ++nRuns; };
  EXPECT_TRUE(CallWithSehGuard(call));
  EXPECT_EQ(nRuns, 1);
  EXPECT_CHAIN_KEPT(before);
}

TEST(SehGuard, StructuredExceptionsGiveFalse) {
  struct Case { const char* szName; void (*fault)(); };
  const Case cases[] = {{"RaiseException", Raise}, {"access violation", [] { ReadThroughNull(); }}};
  for (const Case& c : cases) {
    CHAIN_BEFORE();
    int nReached = 0;
    auto call = [&] {
      ++nReached;
      c.fault();
      ++nReached;
    };
    EXPECT_FALSE(CallWithSehGuard(call)) << c.szName;
    EXPECT_EQ(nReached, 1) << c.szName;
    EXPECT_CHAIN_KEPT(before, << c.szName);
  }
}

TEST(SehGuard, NestedGuardsEachCatchTheirOwn) {
  CHAIN_BEFORE();
  bool bInner = true;
  auto outer = [&] {
    auto inner = [] { Raise(); };
    bInner = CallWithSehGuard(inner);
    Raise();  // after the inner guard is gone, this one is the outer's
  };
  EXPECT_FALSE(CallWithSehGuard(outer));
  EXPECT_FALSE(bInner);
  EXPECT_CHAIN_KEPT(before);
}

#if defined(__i386__)
// A frame of foreign code between the guard and the fault, as a library
// with handlers of its own would register; it counts how it is called.
struct TCountingFrame {
  EXCEPTION_REGISTRATION_RECORD Registration;
  int* pDispatched;
  int* pUnwound;
};

EXCEPTION_DISPOSITION NTAPI CountingHandler(EXCEPTION_RECORD* record, PVOID frame, CONTEXT*, PVOID) {
  auto* counting = static_cast<TCountingFrame*>(frame);
  ++*((record->ExceptionFlags & EXCEPTION_UNWIND) != 0 ? counting->pUnwound : counting->pDispatched);
  return ExceptionContinueSearch;
}

TEST(SehGuard, FramesAboveTheGuardAreUnwound) {
  int nDispatched = 0;
  int nUnwound = 0;
  auto call = [&] {
    // Deeper on the stack than the guard's frame, as the chain requires.
    TCountingFrame foreign{{}, &nDispatched, &nUnwound};
    foreign.Registration.Next = ExceptionChain();
    foreign.Registration.Handler = CountingHandler;
    SetExceptionChain(&foreign.Registration);
    Raise();
  };
  EXCEPTION_REGISTRATION_RECORD* const before = ExceptionChain();
  EXPECT_FALSE(CallWithSehGuard(call));
  EXPECT_EQ(nDispatched, 1);
  EXPECT_EQ(nUnwound, 1);
  EXPECT_EQ(ExceptionChain(), before);
}

#endif

// A C++ exception is the caller's business, not a fault: it passes the
// guard's handler by and is caught inside the call as usual.
TEST(SehGuard, CxxExceptionsInsideTheCallAreLeftToIt) {
  bool bCaught = false;
  auto call = [&] {
    try {
      throw 42;
    } catch (int) {
      bCaught = true;
    }
  };
  EXPECT_TRUE(CallWithSehGuard(call));
  EXPECT_TRUE(bCaught);
}

}  // namespace
