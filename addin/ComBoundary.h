// The edge between the add-in and Outlook. A C++ exception must never leave
// a COM method of the server or the finder thread: Outlook's frames have no
// handler for it, so it ends Outlook, and Outlook then disables the add-in.
// Each COM method whose body can throw runs it through Guarded; what was
// thrown is named in the debug output ("Quop add-in: ...") and answered
// with an HRESULT.
#pragma once

#include <windows.h>

#include <utility>

namespace comserver {

// Writes "Quop add-in: <where>: <what>" to the debug output.
void ReportFailure(const char* where, const char* what) noexcept;
// "<operation> failed: 0x<code>" as the failure at `where`.
void ReportCode(const char* where, const char* operation, HRESULT code) noexcept;
// Names the exception being handled, with ReportFailure. Only inside a catch
// block. It allocates nothing, so it also reports an exhausted heap.
void ReportException(const char* where) noexcept;

// body()'s HRESULT; when it throws, `failure` (after ReportException).
template <class TBody>
HRESULT Guarded(const char* where, HRESULT failure, TBody&& body) noexcept {
  try {
    return std::forward<TBody>(body)();
  } catch (...) {
    ReportException(where);
    return failure;
  }
}

}  // namespace comserver
