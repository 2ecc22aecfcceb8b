#include "support/BstrHolder.h"

#include "support/AnsiText.h"

#include <new>

TBstr::TBstr(std::wstring_view text) {
  p_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (p_ == nullptr) throw std::bad_alloc();
}

std::wstring TBstr::Wide() const { return p_ != nullptr ? std::wstring(p_, SysStringLen(p_)) : std::wstring(); }

std::string TBstr::Ansi() const { return WideToAnsi(Wide()); }
