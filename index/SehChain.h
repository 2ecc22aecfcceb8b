// The head of the thread's structured-exception chain on 32-bit x86 (fs:0).
#pragma once

#include <windows.h>

inline EXCEPTION_REGISTRATION_RECORD* ExceptionChain() {
  EXCEPTION_REGISTRATION_RECORD* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

inline void SetExceptionChain(EXCEPTION_REGISTRATION_RECORD* head) {
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}
