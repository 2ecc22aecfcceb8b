// The duplicate finder window on its own, over a mail profile served by the
// stand-in platform: for looking at the window, for screenshots and for the
// figures of a search (time to Idle, peak memory, longest unresponsive spell).
//   quopfinder [--profile FILE] [--across] [--search] [--delete] [--skipped] [--close]
// --search clicks "&Search" once the window shows; when the search is over
// a line "idle <left> <top> <width> <height>" with the window's rectangle
// goes to stdout, then the figures and the status text (UTF-8). --delete
// then moves the checked copies to Deleted Items; --skipped opens the list
// of what the search skipped. --close closes the window after that.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "om/OutlookCalls.h"
#include "mapi/MapiLibrary.h"
#include "standin/StandinControl.h"
#include "ui/uMainDlg.h"

namespace {

struct TOptions {
  std::string profile;
  bool across = false, search = false, close = false, remove = false, skipped = false;
};

bool Parse(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--profile" && i + 1 < argc) o.profile = argv[++i];
    else if (a == "--across") o.across = true;
    else if (a == "--search") o.search = true;
    else if (a == "--close") o.close = true;
    else if (a == "--delete") o.remove = true;
    else if (a == "--skipped") o.skipped = true;
    else return false;
  }
  return true;
}

std::string SampleProfile() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return (std::filesystem::path(std::string(path, n)).parent_path() / "sample-profile.json").string();
}

// Measures how long the window takes at most to answer a message: a
// window that keeps answering keeps painting.
class TResponsiveness {
 public:
  explicit TResponsiveness(HWND hwnd)
      : FThread([this, hwnd] {
          while (!FStop.load()) {
            const auto start = std::chrono::steady_clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start).count();
            long long worst = FWorst.load();
            while (took > worst && !FWorst.compare_exchange_weak(worst, took)) {
            }
            Sleep(5);
          }
        }) {}
  ~TResponsiveness() {
    FStop.store(true);
    FThread.join();
  }
  // The longest spell since the last call.
  long long TakeWorst() { return FWorst.exchange(0); }

 private:
  std::atomic<bool> FStop{false};
  std::atomic<long long> FWorst{0};
  std::thread FThread;
};

// The search run of --search, driven from two timers of the window thread.
struct TRun {
  TMainDlg* dlg = nullptr;
  bool close = false;
  bool remove = false;
  bool skipped = false;
  std::chrono::steady_clock::time_point started;
  // The collection ends where the loading of the results begins.
  double collectSeconds = -1;
  long long collectWorst = 0;
  std::unique_ptr<TResponsiveness> watch;
};
TRun g_run;
constexpr UINT_PTR kStartTimer = 1, kWatchTimer = 2;

double SecondsSinceStart() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - g_run.started).count();
}

void CALLBACK WatchSearch(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  const TSearchState state = g_run.dlg->State();
  if (state != TSearchState::Collecting && g_run.collectSeconds < 0) {
    g_run.collectSeconds = SecondsSinceStart();
    g_run.collectWorst = g_run.watch->TakeWorst();
  }
  if (state != TSearchState::Idle) return;
  KillTimer(hwnd, id);
  if (g_run.remove) g_run.dlg->mniDeleteClick();
  if (g_run.skipped) g_run.dlg->mniSkippedClick();
  const double seconds = SecondsSinceStart();
  const long long loadWorst = g_run.watch->TakeWorst();
  const long long worst = std::max(g_run.collectWorst, loadWorst);
  g_run.watch.reset();
  RECT r;
  GetWindowRect(hwnd, &r);
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("idle %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::printf("groups %zu, rows %zu\n", g_run.dlg->Emails().GroupCount(), g_run.dlg->Emails().VisibleRows().size());
  std::printf("search to idle %.2f s, peak working set %.1f MB, longest unresponsive %lld ms\n", seconds,
              memory.PeakWorkingSetSize / 1048576.0, worst);
  std::printf("collection %.2f s (longest unresponsive %lld ms), loading %.2f s (longest unresponsive %lld ms)\n",
              g_run.collectSeconds, g_run.collectWorst, seconds - g_run.collectSeconds, loadWorst);
  std::printf("status: %s\n", g_run.dlg->StatusText().c_str());
  std::fflush(stdout);
  if (g_run.close) PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void CALLBACK StartSearch(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("before the search: working set %.1f MB (the profile held by the stand-in included)\n",
              memory.WorkingSetSize / 1048576.0);
  g_run.watch = std::make_unique<TResponsiveness>(hwnd);
  g_run.started = std::chrono::steady_clock::now();
  g_run.dlg->btnSearchClick();
  SetTimer(hwnd, kWatchTimer, 20, WatchSearch);
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  if (!Parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: quopfinder [--profile FILE] [--across] [--search] [--delete] [--skipped] [--close]\n");
    return 2;
  }
  if (o.profile.empty()) o.profile = SampleProfile();
  _putenv_s(STANDIN_PROFILE_ENV, o.profile.c_str());
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  // MAPI32.DLL loads the stand-in provider, which also serves the object model.
  TMapiLibrary::Instance();
  auto create = reinterpret_cast<STANDIN_CREATEAPPLICATION>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA(STANDIN_DLL_NAME), "StandinCreateApplication")));
  IDispatch* raw = nullptr;
  if (!create || FAILED(create(&raw)) || !raw) {
    std::fprintf(stderr, "the stand-in Outlook application is not available (profile %s)\n", o.profile.c_str());
    return 1;
  }
  TComPtr<IDispatch> app;
  app.Reset(raw);
  int rc = 0;
  {
    TMainDlg dlg;
    if (!dlg.Create()) return 1;
    dlg.SetIDspApp(om::AsApplication(app.Get()).Get());
    if (o.across) dlg.ClickRadio("rbtnOverFolders");
    g_run.dlg = &dlg;
    g_run.close = o.close;
    g_run.remove = o.remove;
    g_run.skipped = o.skipped;
    if (o.search) SetTimer(dlg.Handle(), kStartTimer, 300, StartSearch);
    dlg.ShowModal();
  }
  app.Reset();
  return rc;
}
