// Owner of one BSTR: freed with SysFreeString exactly once, moved not
// copied; operator& frees what was held before handing out the address for
// an out parameter.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

class TBstr {
 public:
  TBstr() = default;
  // A new BSTR holding `text`; throws std::bad_alloc when none can be made.
  explicit TBstr(std::wstring_view text);
  ~TBstr() { Reset(); }
  TBstr(TBstr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TBstr& operator=(TBstr&& o) noexcept {
    if (this != std::addressof(o)) Reset(std::exchange(o.p_, nullptr));
    return *this;
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;

  // Takes over a BSTR the caller owns.
  static TBstr Attach(BSTR p) {
    TBstr b;
    b.p_ = p;
    return b;
  }

  BSTR Get() const { return p_; }
  BSTR* operator&() {
    Reset();
    return &p_;
  }
  void Reset(BSTR p = nullptr) {
    if (p_ != nullptr) SysFreeString(p_);
    p_ = p;
  }
  BSTR Detach() { return std::exchange(p_, nullptr); }

  // The text; a null BSTR is the empty text. Embedded zeros are kept.
  std::wstring Wide() const;
  // The text in the system code page (CP_ACP), as MAPI takes it.
  std::string Ansi() const;

 private:
  BSTR p_ = nullptr;
};
