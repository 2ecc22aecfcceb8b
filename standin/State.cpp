#include "standin/State.h"

#include <cstdio>

namespace standin {

State& Global() {
  static State state;
  return state;
}

void LogCall(std::string line) {
  auto lock = LockState();
  Global().log.push_back(std::move(line));
}

std::string Quoted(const char* text) {
  if (text == nullptr) return "null";
  return "\"" + std::string(text) + "\"";
}

std::string Hex(ULONG value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

}  // namespace standin
