// Window classes of this module and the procedure that hands their messages
// to the object behind each window, under Wine's null graphics driver.
#include "support/WindowClass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ModuleFolder.h"

namespace {

bool Registered(const char* szName) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  return GetClassInfoExA(OwnModule(), szName, &wc) != FALSE;
}

// Records what reached it, and answers each message as the default does.
class TRecorder {
 public:
  std::vector<UINT> messages;
  HWND seenOnCreate = nullptr;

 private:
  friend struct TWindowThunk<TRecorder>;
  LRESULT HandleMessage(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    messages.push_back(nMsg);
    if (nMsg == WM_CREATE) seenOnCreate = hwnd;
    return DefaultWindowProc(hwnd, nMsg, wParam, lParam);
  }
};

bool Saw(const TRecorder& recorder, UINT nMsg) {
  for (UINT m : recorder.messages)
    if (m == nMsg) return true;
  return false;
}

TEST(WindowClass, RegisteredWhileItsHolderLives) {
  {
    const TWindowClass holder("QuopTestClassA", TWindowThunk<TRecorder>::Proc);
    EXPECT_NE(holder.Atom(), 0);
    EXPECT_TRUE(Registered("QuopTestClassA"));
  }
  EXPECT_FALSE(Registered("QuopTestClassA")) << "a class left behind outlives the code it calls";
  // Registered again after it went, as a module loaded again does.
  const TWindowClass again("QuopTestClassA", TWindowThunk<TRecorder>::Proc);
  EXPECT_NE(again.Atom(), 0);
}

TEST(WindowClass, ItsOwnBrushGoesWithTheClassButNotBeforeItsLastWindow) {
  const HBRUSH lastWindowGoneFirst = CreateSolidBrush(RGB(1, 2, 3));
  {
    const TWindowClass holder("QuopTestBrushA", TWindowThunk<TRecorder>::Proc, TBrushHandle(lastWindowGoneFirst));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(OwnModule(), "QuopTestBrushA", &wc));
    EXPECT_EQ(wc.hbrBackground, lastWindowGoneFirst);
  }
  EXPECT_EQ(GetObjectType(lastWindowGoneFirst), 0u) << "freed with the class";

  // A window still open keeps the class, and the class keeps its brush.
  const HBRUSH windowStillOpen = CreateSolidBrush(RGB(4, 5, 6));
  TRecorder recorder;
  HWND window = nullptr;
  {
    const TWindowClass holder("QuopTestBrushB", TWindowThunk<TRecorder>::Proc, TBrushHandle(windowStillOpen));
    window = CreateWindowExA(0, "QuopTestBrushB", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, OwnModule(),
                             &recorder);
    ASSERT_NE(window, nullptr);
  }
  EXPECT_TRUE(Registered("QuopTestBrushB"));
  EXPECT_EQ(GetObjectType(windowStillOpen), static_cast<DWORD>(OBJ_BRUSH));
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA("QuopTestBrushB", OwnModule()));
  DeleteObject(windowStillOpen);
}

TEST(WindowThunk, TheObjectGetsEveryMessageFromCreationToTheEnd) {
  const TWindowClass holder("QuopTestThunk", TWindowThunk<TRecorder>::Proc);
  TRecorder recorder;
  const HWND window = CreateWindowExA(0, "QuopTestThunk", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                      OwnModule(), &recorder);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(recorder.messages.empty());
  EXPECT_EQ(recorder.messages.front(), static_cast<UINT>(WM_NCCREATE)) << "nothing reaches it before WM_NCCREATE";
  EXPECT_EQ(recorder.seenOnCreate, window) << "WM_CREATE comes with the handle";
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&recorder));

  SendMessageA(window, WM_APP, 0, 0);
  EXPECT_TRUE(Saw(recorder, WM_APP));
  DestroyWindow(window);
  EXPECT_EQ(recorder.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  const std::size_t seen = recorder.messages.size();
  // Without its window the object gets nothing more, and may go its own way.
  SendMessageA(window, WM_APP, 0, 0);
  EXPECT_EQ(recorder.messages.size(), seen);
}

TEST(WindowThunk, AUnicodeWindowKeepsItsTextWhole) {
  const TWindowClass holder(L"QuopTestUnicode", TWindowThunk<TRecorder>::Proc);
  TRecorder recorder;
  const std::wstring text = L"\u0413\u0440\u0443\u043f\u043f\u0430 \u91cd\u590d";
  const HWND window = CreateWindowExW(0, L"QuopTestUnicode", text.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      OwnModule(), &recorder);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowUnicode(window));
  wchar_t read[64] = {};
  GetWindowTextW(window, read, 64);
  EXPECT_EQ(std::wstring(read), text);
  DestroyWindow(window);
}

TEST(GdiHandle, FreesOnceAndNotWhenReleased) {
  HBRUSH brush = CreateSolidBrush(RGB(7, 8, 9));
  {
    TBrushHandle first(brush);
    TBrushHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), brush);
  }
  EXPECT_EQ(GetObjectType(brush), 0u);

  brush = CreateSolidBrush(RGB(7, 8, 9));
  {
    TBrushHandle kept(brush);
    EXPECT_EQ(kept.Release(), brush);
  }
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  DeleteObject(brush);
}

}  // namespace
