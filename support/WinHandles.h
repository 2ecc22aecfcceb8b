// Owners of Windows handles: each frees its handle exactly once. Copy is
// deleted, move hands the handle over.
#pragma once

#include <windows.h>

#include <utility>

template <class THandle, class TTraits>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(THandle handle) : FHandle(handle) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, THandle{})) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FHandle, THandle{}));
    return *this;
  }

  THandle Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != THandle{}; }
  void Reset(THandle handle = THandle{}) {
    if (FHandle != THandle{}) TTraits::Free(FHandle);
    FHandle = handle;
  }

 private:
  THandle FHandle{};
};

struct TWindowTraits {
  static void Free(HWND hwnd) { DestroyWindow(hwnd); }
};
struct TGdiTraits {
  static void Free(HGDIOBJ object) { DeleteObject(object); }
};

// A top-level window; destroyed (with its child controls) on the thread
// that owns it.
using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;
using TFontHandle = TUniqueHandle<HGDIOBJ, TGdiTraits>;

// A window's device context, released at the end of the scope.
class TWindowDC {
 public:
  explicit TWindowDC(HWND hwnd) : FWindow(hwnd), FDC(GetDC(hwnd)) {}
  ~TWindowDC() {
    if (FDC != nullptr) ReleaseDC(FWindow, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

// An object selected into a device context, put back at the end of the scope.
class TSelectedObject {
 public:
  TSelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~TSelectedObject() {
    if (FOld != nullptr) SelectObject(FDC, FOld);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};
