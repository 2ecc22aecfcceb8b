#include "support/WinControl.h"

#include <vector>

namespace {

int ScreenPixelsPerInch() {
  const TWindowDC screen(nullptr);
  const int nDpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return nDpi > 0 ? nDpi : 96;
}

}  // namespace

int FontHeightOfSize(int nSize) { return -MulDiv(nSize, ScreenPixelsPerInch(), 72); }

int FontSizeOfHeight(int nHeight) { return MulDiv(nHeight < 0 ? -nHeight : nHeight, 72, ScreenPixelsPerInch()); }

TWinControl::TWinControl(std::string strName, HWND hwnd, const TLangFont& font, bool bUnderline)
    : FName(std::move(strName)), FHandle(hwnd), FUnderline(bUnderline) {
  SetFont(font);
}

std::string TWinControl::Caption() const {
  const int nLength = GetWindowTextLengthA(FHandle);
  std::vector<char> buffer(static_cast<std::size_t>(nLength) + 1);
  const int nCopied = GetWindowTextA(FHandle, buffer.data(), nLength + 1);
  return std::string(buffer.data(), nCopied > 0 ? static_cast<std::size_t>(nCopied) : 0);
}

std::optional<std::string> TWinControl::GetText(std::string_view name) const {
  if (name != "Caption") return std::nullopt;
  return Caption();
}

void TWinControl::SetText(std::string_view name, const std::string& value) {
  if (name == "Caption") SetWindowTextA(FHandle, value.c_str());
}

void TWinControl::SetFont(const TLangFont& font) {
  TFontHandle created(CreateFontA(FontHeightOfSize(font.nSize), 0, 0, 0, FW_NORMAL, FALSE, FUnderline, FALSE,
                                  static_cast<BYTE>(font.nCharset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.strName.c_str()));
  if (!created) return;
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(created.Get()), TRUE);
  FFontHandle = std::move(created);  // the old font goes only after the control let go of it
  FFont = font;
}

void TWinControl::AutoSize() {
  const std::string strText = Caption();
  SIZE extent{};
  {
    const TWindowDC dc(FHandle);
    if (dc.Get() == nullptr) return;
    const TSelectedObject font(dc.Get(), FFontHandle.Get());
    GetTextExtentPoint32A(dc.Get(), strText.c_str(), static_cast<int>(strText.size()), &extent);
  }
  SetWindowPos(FHandle, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::BoundsInParent() const {
  RECT bounds{};
  GetWindowRect(FHandle, &bounds);
  MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}
