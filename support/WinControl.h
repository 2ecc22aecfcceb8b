// A child control of a window seen by the language component: its name,
// its "Caption" (the window text) and its font.
#pragma once

#include <windows.h>

#include <string>

#include "support/LangComponent.h"
#include "support/WinHandles.h"

// The height in pixels of a font size in points on the screen (negative:
// character height), and back.
int FontHeightOfSize(int nSize);
int FontSizeOfHeight(int nHeight);

class TWinControl : public ILangComponent {
 public:
  // The control takes the font; an underlined font for links.
  TWinControl(std::string strName, HWND hwnd, const TLangFont& font, bool bUnderline = false);

  HWND Handle() const { return FHandle; }
  std::string Caption() const;
  // Sizes the control to its text in its font (an auto-sized label).
  void AutoSize();
  // The control's rectangle in its parent's client coordinates.
  RECT BoundsInParent() const;

  std::string Name() const override { return FName; }
  bool HasProperty(std::string_view name) const override { return name == "Caption" || name == "Font"; }
  std::optional<std::string> GetText(std::string_view name) const override;
  void SetText(std::string_view name, const std::string& value) override;
  std::optional<TLangFont> GetFont() const override { return FFont; }
  void SetFont(const TLangFont& font) override;

 private:
  std::string FName;
  HWND FHandle;  // a child window: destroyed with its parent
  TLangFont FFont;
  bool FUnderline;
  TFontHandle FFontHandle;
};
