#include "addin/ComBoundary.h"

#include <cstdio>
#include <exception>

namespace comserver {

void ReportFailure(const char* where, const char* what) noexcept {
  char line[512];
  std::snprintf(line, sizeof line, "Quop add-in: %s: %s\n", where, what);
  OutputDebugStringA(line);
}

void ReportCode(const char* where, const char* operation, HRESULT code) noexcept {
  char what[256];
  std::snprintf(what, sizeof what, "%s failed: 0x%08lX", operation, static_cast<unsigned long>(code));
  ReportFailure(where, what);
}

void ReportException(const char* where) noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    ReportFailure(where, e.what());
  } catch (...) {
    ReportFailure(where, "an exception of an unknown type");
  }
}

}  // namespace comserver
