// Owners of Windows handles: each frees its handle exactly once. Copy is
// deleted, move hands the handle over.
#pragma once

#include <windows.h>
#include <commctrl.h>

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
  // Gives the handle up without freeing it: someone else frees it, or nobody
  // may (the system still uses it).
  THandle Release() { return std::exchange(FHandle, THandle{}); }

 private:
  THandle FHandle{};
};

struct TWindowTraits {
  static void Free(HWND hwnd) { DestroyWindow(hwnd); }
};
struct TGdiTraits {
  static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct TMemoryDCTraits {
  static void Free(HDC dc) { DeleteDC(dc); }
};
struct TImageListTraits {
  static void Free(HIMAGELIST list) { ImageList_Destroy(list); }
};
struct TLibraryTraits {
  static void Free(HMODULE module) { FreeLibrary(module); }
};
struct TKernelHandleTraits {
  static void Free(HANDLE handle) { CloseHandle(handle); }
};

// A top-level window; destroyed (with its child controls) on the thread
// that owns it.
using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;

// A font, brush, pen or bitmap made here (Create..., LoadImage). Never delete
// one while it is selected into a device context or a control still draws
// with it (WM_SETFONT, a class background): free it after the last user let
// go.
template <class TObject>
using TGdiHandle = TUniqueHandle<TObject, TGdiTraits>;
using TFontHandle = TGdiHandle<HFONT>;
using TBrushHandle = TGdiHandle<HBRUSH>;
using TPenHandle = TGdiHandle<HPEN>;
using TBitmapHandle = TGdiHandle<HBITMAP>;

// A memory device context (CreateCompatibleDC).
using TMemoryDC = TUniqueHandle<HDC, TMemoryDCTraits>;

// An image list of the common controls. A control given one
// (..._SetImageList) does not take it over: take it back from the control
// before the holder frees it.
using TImageList = TUniqueHandle<HIMAGELIST, TImageListTraits>;

// A module loaded with LoadLibrary.
using TModuleHandle = TUniqueHandle<HMODULE, TLibraryTraits>;

// A kernel object's handle (a thread, an event, a file), closed with
// CloseHandle. Not for INVALID_HANDLE_VALUE answers: test those first.
using TKernelHandle = TUniqueHandle<HANDLE, TKernelHandleTraits>;

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

// The device context of a WM_PAINT, ended at the end of the scope.
class TPaintDC {
 public:
  explicit TPaintDC(HWND hwnd) : FWindow(hwnd), FDC(BeginPaint(hwnd, &FPaint)) {}
  ~TPaintDC() { EndPaint(FWindow, &FPaint); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// An object selected into a device context, put back at the end of the
// scope. Declare it after the holder of the object, so that the object is
// deselected before it is deleted.
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
