#include "tests/addin/ThreadEndProbe.h"

#include <atomic>

namespace {

std::atomic<DWORD> g_watched{0};
std::atomic<TThreadEndProbe::TAsk> g_ask{nullptr};
std::atomic<HRESULT> g_answer{E_PENDING};

void NTAPI OnThreadEvent(PVOID, DWORD reason, PVOID) {
  if (reason != DLL_THREAD_DETACH || g_watched.load() != GetCurrentThreadId()) return;
  if (const TThreadEndProbe::TAsk ask = g_ask.load()) g_answer = ask();
}

}  // namespace

// The C runtime's TLS directory calls every pointer placed between its
// .CRT$XLA and .CRT$XLZ sections.
extern "C" __attribute__((section(".CRT$XLY"), used)) const PIMAGE_TLS_CALLBACK quop_thread_end_probe = OnThreadEvent;

TThreadEndProbe::TThreadEndProbe(DWORD threadId, TAsk ask) : FThread(OpenThread(SYNCHRONIZE, FALSE, threadId)) {
  g_answer = E_PENDING;
  g_ask = ask;
  g_watched = threadId;
}

TThreadEndProbe::~TThreadEndProbe() {
  g_watched = 0;
  g_ask = nullptr;
  if (FThread) CloseHandle(FThread);
}

bool TThreadEndProbe::Ended() const { return FThread && WaitForSingleObject(FThread, 0) == WAIT_OBJECT_0; }

HRESULT TThreadEndProbe::Answer() const { return g_answer.load(); }
