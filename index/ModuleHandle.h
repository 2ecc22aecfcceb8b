// Owner of a module loaded with LoadLibrary: frees it exactly once.
#pragma once

#include <windows.h>

#include <utility>

class TModuleHandle {
 public:
  TModuleHandle() = default;
  explicit TModuleHandle(HMODULE handle) : FHandle(handle) {}
  ~TModuleHandle() { Reset(); }

  TModuleHandle(const TModuleHandle&) = delete;
  TModuleHandle& operator=(const TModuleHandle&) = delete;
  TModuleHandle(TModuleHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TModuleHandle& operator=(TModuleHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FHandle, nullptr));
    return *this;
  }

  HMODULE Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

  // Frees the module held so far and takes another one (or none).
  void Reset(HMODULE handle = nullptr) {
    if (FHandle != nullptr) FreeLibrary(FHandle);
    FHandle = handle;
  }

 private:
  HMODULE FHandle = nullptr;
};
