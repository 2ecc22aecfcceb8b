// Owner of one interface reference: released exactly once, moved not copied.
#pragma once

#include <memory>
#include <utility>

namespace standin {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* p) : FPtr(p) {}
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != std::addressof(other)) Reset(std::exchange(other.FPtr, nullptr));
    return *this;
  }

  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // Releases what it held and hands out the address for an out parameter.
  T** operator&() {
    Reset();
    return &FPtr;
  }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(FPtr, nullptr); }
  void Reset(T* p = nullptr) {
    if (FPtr != nullptr) FPtr->Release();
    FPtr = p;
  }

 private:
  T* FPtr = nullptr;
};

}  // namespace standin
