#include "tests/addin/DebugLog.h"

#include <mutex>

namespace {

std::mutex g_lock;  // guards both below
bool g_active = false;
std::string g_text;

LONG CALLBACK Collect(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
    const std::lock_guard<std::mutex> lock(g_lock);
    if (g_active) g_text.append(reinterpret_cast<const char*>(record.ExceptionInformation[1]));
  }
  return EXCEPTION_CONTINUE_SEARCH;  // the system goes on as without the log
}

}  // namespace

TDebugLog::TDebugLog() {
  {
    const std::lock_guard<std::mutex> lock(g_lock);
    g_active = true;
    g_text.clear();
  }
  FHandler = AddVectoredExceptionHandler(1, Collect);
}

TDebugLog::~TDebugLog() {
  RemoveVectoredExceptionHandler(FHandler);
  const std::lock_guard<std::mutex> lock(g_lock);
  g_active = false;
}

std::string TDebugLog::Text() const {
  const std::lock_guard<std::mutex> lock(g_lock);
  return g_text;
}
