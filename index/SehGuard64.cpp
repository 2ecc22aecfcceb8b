// The guard on x86-64, where handlers are found through the unwind tables
// instead of a chain: the guard's call runs inside a small function whose
// unwind data names a handler of ours. When an exception that fn's own
// frames did not handle reaches it, the handler lets RtlUnwindEx unwind
// those frames (running their cleanups) and resume at the landing point
// of that function, which reports false.
#include "index/SehGuard.h"

#include <windows.h>

#if !defined(__x86_64__)
#error "this SEH guard is written for x86-64; SehGuard.cpp serves 32-bit x86"
#endif

extern "C" {
bool QuopSehGuardCall(void (*fn)(void* context), void* context);
extern char QuopSehGuardLanding[];
EXCEPTION_DISPOSITION QuopSehGuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
                                          DISPATCHER_CONTEXT* dispatch);
}

// rcx = fn, rdx = context. 40 bytes: the callee's 32-byte home area and
// the 16-byte alignment of the call. The landing point is reached with the
// stack as it was at the call, so both ways out end alike.
asm(R"(
    .text
    .globl QuopSehGuardCall
    .def QuopSehGuardCall; .scl 2; .type 32; .endef
    .seh_proc QuopSehGuardCall
QuopSehGuardCall:
    .seh_handler QuopSehGuardHandler, @except
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
    movl $1, %eax
    addq $40, %rsp
    ret
    .globl QuopSehGuardLanding
QuopSehGuardLanding:
    xorl %eax, %eax
    addq $40, %rsp
    ret
    .seh_endproc
)");

namespace {

// GCC's own C++ exceptions (throw, unwind, forced unwind) travel as
// structured exceptions with these codes on x86-64; they are not ours.
bool IsGccException(DWORD code) { return (code & 0xF0FFFFFF) == 0x20474343; }

}  // namespace

extern "C" EXCEPTION_DISPOSITION QuopSehGuardHandler(EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT*,
                                                     DISPATCHER_CONTEXT* dispatch) {
  if ((record->ExceptionFlags & EXCEPTION_UNWIND) != 0 || IsGccException(record->ExceptionCode))
    return ExceptionContinueSearch;
  RtlUnwindEx(establisherFrame, QuopSehGuardLanding, record, nullptr, dispatch->ContextRecord,
              dispatch->HistoryTable);
  return ExceptionContinueSearch;  // RtlUnwindEx does not come back
}

bool CallWithSehGuard(void (*fn)(void* context), void* context) noexcept { return QuopSehGuardCall(fn, context); }
