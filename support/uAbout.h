// The about box: title with the library's version, a notice line, a link to
// the product home page and "&OK". Shown without a modal run while its
// parent form is disabled; closing hides it and enables the parent again.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/GFunctions.h"
#include "support/LangComponent.h"
#include "support/MLang.h"
#include "support/WinControl.h"
#include "support/WinHandles.h"
#include "support/WindowClass.h"

// Where the box takes its files from, and how it opens its link.
struct TAboutSetup {
  std::string strLangFile;
  std::string strSkinFile;
  TShellOpen open = ShellOpen;
};

// The skinned widget layer's skin data: records the file it was asked to
// load. The skin layer is not part of this system, so nothing is drawn
// from it and the skin name stays empty.
struct TSkinData {
  std::string strSkinName;
  std::string strLoadedFile;
  int nLoads = 0;
  void LoadFromCompressedFile(const std::string& strFileName) {
    strLoadedFile = strFileName;
    ++nLoads;
  }
};

class TFormAbout : public ILangComponent {
 public:
  // Creates the box, owned by the given window (may be null), with the
  // per-user language file and the skin file beside the library.
  explicit TFormAbout(HWND hwndOwner);
  TFormAbout(HWND hwndOwner, TAboutSetup setup);
  ~TFormAbout() override;
  TFormAbout(const TFormAbout&) = delete;
  TFormAbout& operator=(const TFormAbout&) = delete;

  HWND Handle() const { return FWindow.Get(); }
  HWND ParentForm() const { return FParentForm; }
  void SetParentForm(HWND hwnd) { FParentForm = hwnd; }
  TMLang& Lang() { return *MLang; }
  const TSkinData& SkinData() const { return bsbSkinData; }
  const std::string& SkinFile() const { return m_strSkinFile; }
  const TWinControl& Control(const std::string& strName) const;

  // Applies a skin file: nothing for the name applied last; otherwise it is
  // remembered and, when it exists and no skin is loaded yet, loaded.
  void LoadFromCompressedFile(const std::string& strFileName);
  // Close handler: hides the box and enables ParentForm again.
  void FormClose();
  void btnOKClick();
  void lblQuopClick();
  // Keyboard handling for the owner's message loop (Enter presses "&OK").
  bool PreTranslateMessage(MSG& msg);

  // The form as the language component sees it.
  std::string Name() const override { return "FormAbout"; }
  std::string ClassName() const override { return "TFormAbout"; }
  TLangOwnerKind OwnerKind() const override { return TLangOwnerKind::Form; }
  bool HasProperty(std::string_view name) const override { return name == "Caption" || name == "Font"; }
  std::optional<std::string> GetText(std::string_view name) const override;
  void SetText(std::string_view name, const std::string& value) override;
  std::optional<TLangFont> GetFont() const override { return FFont; }
  void SetFont(const TLangFont& font) override { FFont = font; }
  std::vector<ILangComponent*> OwnedComponents() const override;

 private:
  friend struct TWindowThunk<TFormAbout>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
  void CreateForm(HWND hwndOwner);
  void CreateControls();
  void CenterTitle();
  HWND CreateChild(const char* szClass, const char* szText, DWORD nStyle, const RECT& bounds, int nId);

  TWindowHandle FWindow;
  TLangFont FFont;
  std::unique_ptr<TWinControl> btnOK;
  TSkinData bsbSkinData;
  std::unique_ptr<TWinControl> lbl1;
  std::unique_ptr<TWinControl> lblQuop;
  std::unique_ptr<TWinControl> lblTitle;
  std::unique_ptr<TMLang> MLang;
  HWND FParentForm = nullptr;  // the finder window that opened the box
  std::string m_strSkinFile;
  TShellOpen FOpen;
};

// The Help menu's "&About...": a new box owned by the finder window, which
// is disabled until the box closes.
std::unique_ptr<TFormAbout> OpenAboutBox(HWND hwndFinder);
std::unique_ptr<TFormAbout> OpenAboutBox(HWND hwndFinder, TAboutSetup setup);
