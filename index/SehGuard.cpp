// The guard puts an EXCEPTION_REGISTRATION_RECORD of its own at the head of
// the thread's SEH chain (fs:0) for the duration of the call. When an
// exception is dispatched to it, its handler first lets RtlUnwind run the
// unwind handlers of every frame above it (and take them off the chain),
// then jumps back into CallWithSehGuard with __builtin_longjmp, which
// removes the guard's frame from the chain and reports false.
#include "index/SehGuard.h"

#include "index/SehChain.h"

#include <windows.h>

#if !defined(__i386__)
#error "the SEH guard is written for 32-bit x86, where the chain lives at fs:0"
#endif

namespace {

struct TGuardFrame {
  EXCEPTION_REGISTRATION_RECORD Registration;  // first: the handler receives its address
  void* JumpBuffer[5];                          // for __builtin_setjmp / __builtin_longjmp
};

// RtlUnwind(frame, 0, record, 0). The x86 RtlUnwind is not guaranteed to
// keep EBX, ESI, EDI and EBP, which the compiler expects to survive a call,
// so they are saved around it.
void UnwindTo(TGuardFrame* frame, EXCEPTION_RECORD* record) {
  auto* unwind = &RtlUnwind;
  asm volatile(
      "pushl %%ebp\n\t"
      "pushl %%ebx\n\t"
      "pushl %%esi\n\t"
      "pushl %%edi\n\t"
      "pushl $0\n\t"  // ReturnValue
      "pushl %2\n\t"  // ExceptionRecord
      "pushl $0\n\t"  // TargetIp
      "pushl %1\n\t"  // TargetFrame
      "call *%0\n\t"  // stdcall: removes its four arguments
      "popl %%edi\n\t"
      "popl %%esi\n\t"
      "popl %%ebx\n\t"
      "popl %%ebp"
      : "+a"(unwind)
      : "r"(frame), "r"(record)
      : "ecx", "edx", "memory", "cc");
}

EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, PVOID establisherFrame,
                                         CONTEXT*, PVOID) {
  // Called again while unwinding: nothing of ours to clean up.
  if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0) return ExceptionContinueSearch;
  auto* frame = static_cast<TGuardFrame*>(establisherFrame);
  UnwindTo(frame, record);
  __builtin_longjmp(frame->JumpBuffer, 1);
}

}  // namespace

bool CallWithSehGuard(void (*fn)(void* context), void* context) noexcept {
  TGuardFrame frame;
  frame.Registration.Next = ExceptionChain();
  frame.Registration.Handler = GuardHandler;
  if (__builtin_setjmp(frame.JumpBuffer) != 0) {
    // Back from the handler; RtlUnwind has left our frame at the head.
    SetExceptionChain(frame.Registration.Next);
    return false;
  }
  SetExceptionChain(&frame.Registration);
  fn(context);
  SetExceptionChain(frame.Registration.Next);
  return true;
}
