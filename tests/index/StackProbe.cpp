#include "tests/index/StackProbe.h"

int BytesLeftOnStack(const void* fn, const void* args, int nDwords) {
  int nLeft;
  asm volatile(
      "pushl %%ebp\n\t"
      "movl %%esp, %%ebp\n\t"  // ESP before the arguments
      "leal 0(,%%ecx,4), %%edx\n\t"
      "subl %%edx, %%esp\n\t"
      "movl %%esp, %%edi\n\t"
      "cld\n\t"
      "rep movsl\n\t"          // copy the arguments from args
      "call *%%ebx\n\t"
      "movl %%ebp, %%eax\n\t"
      "subl %%esp, %%eax\n\t"  // what the callee left behind
      "movl %%ebp, %%esp\n\t"
      "popl %%ebp"
      : "=a"(nLeft), "+S"(args), "+c"(nDwords)
      : "b"(fn)
      : "edx", "edi", "memory", "cc");
  return nLeft;
}
