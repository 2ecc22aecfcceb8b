#include "addin/BstrHolder.h"

#include <new>

TBstr::TBstr(std::wstring_view text) {
  p_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (p_ == nullptr) throw std::bad_alloc();
}

std::wstring TBstr::Wide() const { return p_ != nullptr ? std::wstring(p_, SysStringLen(p_)) : std::wstring(); }

std::string TBstr::Ansi() const { return WideToAnsi(Wide()); }

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}
