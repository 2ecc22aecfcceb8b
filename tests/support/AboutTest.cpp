// The about box under Wine's null graphics driver: texts, layout, its
// language file entries, the link and the re-enabling of its parent.
#include "support/uAbout.h"

#include <gtest/gtest.h>

#include "support/ProductInfo.h"
#include "tests/support/TempFolder.h"

namespace {

struct TOpened {
  std::vector<std::string> files;
};

TAboutSetup SetupIn(const TTempFolder& folder, TOpened* opened = nullptr) {
  TAboutSetup setup{folder.File("English.lng"), folder.File("office2007.skn")};
  setup.open = [opened](const std::string& strFile, const std::string&) {
    if (opened != nullptr) opened->files.push_back(strFile);
    return std::intptr_t{42};
  };
  return setup;
}

RECT Bounds(const TFormAbout& box, const char* szName) { return box.Control(szName).BoundsInParent(); }

LOGFONTA FontOf(HWND hwnd) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

// A plain top-level window standing in for the finder window.
TWindowHandle ParentWindow() {
  return TWindowHandle(CreateWindowExA(0, "STATIC", "finder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                       nullptr, nullptr, nullptr, nullptr));
}

TEST(AboutBox, TextsAndLayout) {
  TTempFolder folder;
  TFormAbout box(nullptr, SetupIn(folder));
  EXPECT_EQ(box.GetText("Caption"), "About");
  EXPECT_EQ(box.Control("btnOK").Caption(), "&OK");
  // This test program carries the product's version resource.
  EXPECT_EQ(box.Control("lblTitle").Caption(), "Quop Twinsweeps 1.0.0.0");
  EXPECT_EQ(box.Control("lbl1").Caption(), kProductNotice);
  EXPECT_EQ(box.Control("lblQuop").Caption(), kProductHomePage);
  EXPECT_TRUE(IsWindowVisible(box.Handle()));
  EXPECT_EQ(box.ParentForm(), nullptr);

  RECT client{};
  GetClientRect(box.Handle(), &client);
  EXPECT_EQ(client.right, 397);
  EXPECT_EQ(client.bottom, 213);
  const RECT ok = Bounds(box, "btnOK");
  EXPECT_EQ((std::vector<LONG>{ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top}),
            (std::vector<LONG>{152, 152, 75, 25}));
  EXPECT_EQ(Bounds(box, "lbl1").left, 128);
  EXPECT_EQ(Bounds(box, "lbl1").top, 96);
  EXPECT_EQ(Bounds(box, "lblQuop").left, 152);
  EXPECT_EQ(Bounds(box, "lblQuop").top, 120);

  // The title is as wide as its text and centred on the outer width.
  const RECT title = Bounds(box, "lblTitle");
  RECT outer{};
  GetWindowRect(box.Handle(), &outer);
  EXPECT_GT(title.right - title.left, 100);
  EXPECT_EQ(title.top, 40);
  EXPECT_EQ(title.left, ((outer.right - outer.left) - (title.right - title.left)) / 2);
  EXPECT_EQ(FontOf(box.Control("lblTitle").Handle()).lfHeight, -20);
  EXPECT_STREQ(FontOf(box.Control("lblTitle").Handle()).lfFaceName, "Tahoma");
  EXPECT_TRUE(FontOf(box.Control("lblQuop").Handle()).lfUnderline);
  EXPECT_EQ(FontOf(box.Control("btnOK").Handle()).lfHeight, -11);

  const LONG_PTR nStyle = GetWindowLongPtrA(box.Handle(), GWL_STYLE);
  const LONG_PTR nExStyle = GetWindowLongPtrA(box.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(nExStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(nExStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(nStyle & WS_SYSMENU);  // no border icons
  EXPECT_TRUE(GetWindowLongPtrA(box.Control("btnOK").Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

TEST(AboutBox, ClosingEnablesTheParentAgain) {
  struct {
    const char* szHow;
    UINT nMsg;
    bool bViaButton;
  } const closes[] = {{"OK clicked", BM_CLICK, true}, {"window closed", WM_CLOSE, false}};
  for (const auto& close : closes) {
    TTempFolder folder;
    const TWindowHandle finder = ParentWindow();
    auto box = OpenAboutBox(finder.Get(), SetupIn(folder));
    EXPECT_EQ(box->ParentForm(), finder.Get()) << close.szHow;
    EXPECT_EQ(GetWindow(box->Handle(), GW_OWNER), finder.Get()) << close.szHow;
    EXPECT_FALSE(IsWindowEnabled(finder.Get())) << close.szHow;
    EXPECT_TRUE(IsWindowVisible(box->Handle())) << close.szHow;
    SendMessageA(close.bViaButton ? box->Control("btnOK").Handle() : box->Handle(), close.nMsg, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(finder.Get())) << close.szHow;
    // Hidden, not destroyed: the finder window holds it.
    EXPECT_TRUE(IsWindow(box->Handle())) << close.szHow;
    EXPECT_FALSE(IsWindowVisible(box->Handle())) << close.szHow;
  }
}

// The finder window going first takes the box with it; the box then holds no
// handle, so that it destroys nothing when it goes itself.
TEST(AboutBox, DestroyedWithItsOwnerItLetsGoOfItsHandle) {
  TTempFolder folder;
  TWindowHandle finder = ParentWindow();
  auto box = OpenAboutBox(finder.Get(), SetupIn(folder));
  const HWND boxWindow = box->Handle();
  finder.Reset();
  EXPECT_FALSE(IsWindow(boxWindow));
  EXPECT_EQ(box->Handle(), nullptr);
  box.reset();
}

// Enter goes through the owner's message loop to the default button.
TEST(AboutBox, EnterPressesOK) {
  TTempFolder folder;
  const TWindowHandle finder = ParentWindow();
  auto box = OpenAboutBox(finder.Get(), SetupIn(folder));
  MSG msg{box->Control("btnOK").Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(box->PreTranslateMessage(msg));
  EXPECT_FALSE(IsWindowVisible(box->Handle()));
  EXPECT_TRUE(IsWindowEnabled(finder.Get()));
  EXPECT_FALSE(box->PreTranslateMessage(msg));  // a hidden box takes no keys
}

TEST(AboutBox, WithoutAParentClosingTouchesNoOtherWindow) {
  TTempFolder folder;
  const TWindowHandle other = ParentWindow();
  EnableWindow(other.Get(), FALSE);
  TFormAbout box(other.Get(), SetupIn(folder));
  SendMessageA(box.Control("btnOK").Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(box.Handle()));
  EXPECT_FALSE(IsWindowEnabled(other.Get()));
}

TEST(AboutBox, LanguageFileEntries) {
  TTempFolder folder;
  { TFormAbout box(nullptr, SetupIn(folder)); }
  EXPECT_EQ(FileBytes(folder.File("English.lng")),
            "[Info]\r\nVer=1.0\r\nLanguageName=English\r\nLanguageID=0x0409\r\n"
            "[TFormAbout]\r\nFormAbout_FontName=Tahoma\r\nFormAbout_FontSize=8\r\nFormAbout_FontCharset=1\r\n"
            "FormAbout_Caption=About\r\nbtnOK_Caption=&OK\r\n");

  WriteBytes(folder.File("English.lng"),
             "[Info]\r\nLanguageName=Deutsch\r\n[TFormAbout]\r\nFormAbout_Caption=\xdc" "ber\r\n"
             "FormAbout_FontSize=12\r\nbtnOK_Caption=<&Gut>\r\nlblTitle_Caption=never\r\nlbl1_Caption=never\r\n"
             "lblQuop_Caption=never\r\nlblTitle_FontSize=30\r\n");
  TFormAbout box(nullptr, SetupIn(folder));
  EXPECT_EQ(box.GetText("Caption"), "\xdc" "ber");
  EXPECT_EQ(box.Control("btnOK").Caption(), "&Gut");
  EXPECT_EQ(FontOf(box.Control("btnOK").Handle()).lfHeight, -16);
  EXPECT_EQ(box.Control("lblTitle").Caption(), "Quop Twinsweeps 1.0.0.0");
  EXPECT_EQ(box.Control("lbl1").Caption(), kProductNotice);
  EXPECT_EQ(box.Control("lblQuop").Caption(), kProductHomePage);
  EXPECT_EQ(FontOf(box.Control("lblTitle").Handle()).lfHeight, -20);
  EXPECT_EQ(box.Lang().LanguageName(), "Deutsch");
}

TEST(AboutBox, TheLinkOpensTheHomePage) {
  TTempFolder folder;
  TOpened opened;
  TFormAbout box(nullptr, SetupIn(folder, &opened));
  const HWND link = box.Control("lblQuop").Handle();
  SendMessageA(box.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED), reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(opened.files, (std::vector<std::string>{kProductHomePage}));
}

TEST(AboutBox, SkinFileIsTakenOnlyWhenNewExistingAndNoSkinYet) {
  TTempFolder folder;
  WriteBytes(folder.File("a.skn"), "skin");
  WriteBytes(folder.File("b.skn"), "skin");
  TFormAbout box(nullptr, SetupIn(folder));  // office2007.skn does not exist there
  EXPECT_EQ(box.SkinFile(), folder.File("office2007.skn"));
  struct {
    std::string strFile;
    int nLoads;
  } const steps[] = {
      {folder.File("office2007.skn"), 0}, {"", 0}, {folder.File("a.skn"), 1},
      {folder.File("a.skn"), 1},          {folder.File("b.skn"), 2}, {folder.Path(), 2},
  };
  for (const auto& step : steps) {
    box.LoadFromCompressedFile(step.strFile);
    EXPECT_EQ(box.SkinFile(), step.strFile);
    EXPECT_EQ(box.SkinData().nLoads, step.nLoads) << step.strFile;
  }
  EXPECT_EQ(box.SkinData().strLoadedFile, folder.File("b.skn"));
}

TEST(AboutBox, DefaultFilesAreThePerUserLanguageFileAndTheSkinBesideTheLibrary) {
  TFormAbout box(nullptr);
  EXPECT_EQ(box.SkinFile(), GetSkinFile());
  EXPECT_EQ(box.Lang().LangFileName(), GetLangFile());
  EXPECT_NE(FileBytes(GetLangFile()).find("[TFormAbout]"), std::string::npos);
}

BOOL CALLBACK FindAboutBox(HWND hwnd, LPARAM found) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, "QuopTFormAbout") == 0) *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

TEST(AboutBox, AnUnwritableLanguageFileFailsWithoutLeavingAWindow) {
  TTempFolder folder;
  WriteBytes(folder.File("English.lng"), "[Info]\r\n");
  SetReadOnly(folder.File("English.lng"), true);
  EXPECT_THROW(TFormAbout(nullptr, SetupIn(folder)), EIniWriteError);
  // Only this thread's windows: other test programs may show their own boxes.
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, reinterpret_cast<LPARAM>(&found));
  EXPECT_FALSE(found) << "a box was left behind";
  EXPECT_EQ(FileBytes(folder.File("English.lng")), "[Info]\r\n");
}

}  // namespace
