// Shows the about box for a number of seconds (default 5), for a look at it
// on a real display, and prints where its controls are:
//   about_show.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "support/uAbout.h"

namespace {

void PrintLayout(const TFormAbout& box) {
  RECT outer{};
  GetWindowRect(box.Handle(), &outer);
  std::printf("form %ld x %ld\n", outer.right - outer.left, outer.bottom - outer.top);
  for (const char* szName : {"lblTitle", "lbl1", "lblQuop", "btnOK"}) {
    const RECT r = box.Control(szName).BoundsInParent();
    std::printf("%s at %ld,%ld size %ld x %ld\n", szName, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD nSeconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 5;
  try {
    TFormAbout box(nullptr);
    PrintLayout(box);
    std::fflush(stdout);
    const ULONGLONG nEnd = GetTickCount64() + nSeconds * 1000ull;
    MSG msg;
    while (GetTickCount64() < nEnd && IsWindowVisible(box.Handle())) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!box.PreTranslateMessage(msg)) {
          TranslateMessage(&msg);
          DispatchMessageA(&msg);
        }
      }
      Sleep(20);
    }
  } catch (const std::exception& error) {
    std::printf("failed: %s\n", error.what());
    return 1;
  }
  return 0;
}
