// Calling foreign code that may raise a Windows structured exception (a
// RaiseException, an access violation). GCC's try/catch does not see those
// on 32-bit Windows, so the guard registers a frame of its own on the SEH
// chain for the duration of the call.
#pragma once

// Calls fn(context). True when it returned normally, false when a
// structured exception was raised inside it; the exception is then
// considered handled and the stack of the call is abandoned.
bool CallWithSehGuard(void (*fn)(void* context), void* context) noexcept;

// The same for any callable.
template <typename TCall>
bool CallWithSehGuard(TCall& call) noexcept {
  return CallWithSehGuard([](void* context) { (*static_cast<TCall*>(context))(); }, &call);
}
