// The debug output of this process (OutputDebugString) while a TDebugLog
// lives, from every thread: OutputDebugString raises DBG_PRINTEXCEPTION_C,
// which a vectored handler sees before the system passes it on. One log at
// a time.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class TDebugLog {
 public:
  TDebugLog();
  ~TDebugLog();
  TDebugLog(const TDebugLog&) = delete;
  TDebugLog& operator=(const TDebugLog&) = delete;

  // Every line written so far, as written.
  std::string Text() const;
  bool Contains(std::string_view text) const { return Text().find(text) != std::string::npos; }

 private:
  void* FHandler;
};
