// Owners of MAPI buffers and row sets: move-only, released exactly once;
// operator& releases what was held before handing out the address. The
// interface holder TComPtr lives in support/ComPtr.h.
#pragma once

#include <memory>
#include <utility>

#include "mapi/MapiLibrary.h"
#include "support/ComPtr.h"

// A buffer that MAPI allocated, freed with MAPIFreeBuffer.
template <typename T>
class TMapiBuffer {
 public:
  TMapiBuffer() = default;
  explicit TMapiBuffer(T* p) : p_(p) {}
  ~TMapiBuffer() { Reset(); }
  TMapiBuffer(TMapiBuffer&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TMapiBuffer& operator=(TMapiBuffer&& o) noexcept {
    if (this != std::addressof(o)) Reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  TMapiBuffer(const TMapiBuffer&) = delete;
  TMapiBuffer& operator=(const TMapiBuffer&) = delete;

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator[](std::size_t i) const { return p_[i]; }
  explicit operator bool() const { return p_ != nullptr; }
  T** operator&() {
    Reset();
    return &p_;
  }
  void Reset(T* p = nullptr) {
    MapiFreeBuffer(p_);
    p_ = p;
  }

 private:
  T* p_ = nullptr;
};

// A row set: each row's values and the set itself are MAPI buffers.
class TRowSet {
 public:
  TRowSet() = default;
  ~TRowSet() { Reset(); }
  TRowSet(const TRowSet&) = delete;
  TRowSet& operator=(const TRowSet&) = delete;

  LPSRowSet operator->() const { return p_; }
  LPSRowSet Get() const { return p_; }
  ULONG Count() const { return p_ ? p_->cRows : 0; }
  LPSRowSet* operator&() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (!p_) return;
    for (ULONG i = 0; i < p_->cRows; ++i) MapiFreeBuffer(p_->aRow[i].lpProps);
    MapiFreeBuffer(p_);
    p_ = nullptr;
  }

 private:
  LPSRowSet p_ = nullptr;
};

// A property-tag array made with MAPIAllocateBuffer, as MAPI expects them.
TMapiBuffer<SPropTagArray> MakeTagArray(std::initializer_list<ULONG> tags);
