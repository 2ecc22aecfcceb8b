// Owner of one COM interface reference (any IUnknown): move-only, released
// exactly once; operator& releases what was held before handing out the
// address for an out parameter.
#pragma once

#include <memory>
#include <utility>

template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  explicit TComPtr(T* p) : p_(p) {}  // takes over a reference
  ~TComPtr() { Reset(); }
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& o) noexcept {
    if (this != std::addressof(o)) Reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;

  // A new reference to p (AddRef).
  static TComPtr Share(T* p) {
    if (p) p->AddRef();
    return TComPtr(p);
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** operator&() {
    Reset();
    return &p_;
  }
  // For calls that hand out an IUnknown* (OpenEntry, OpenMsgStore ...).
  template <typename U>
  U** As() {
    Reset();
    return reinterpret_cast<U**>(&p_);
  }
  void Reset(T* p = nullptr) {
    if (p_) p_->Release();
    p_ = p;
  }
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};
