// The duplicate finder window on its own, over a mail profile served by the
// stand-in platform: for looking at the window, for screenshots and for the
// figures of a search (time to Idle, peak memory, longest unresponsive spell).
//   quopfinder [--profile FILE] [--across] [--search] [--delete] [--skipped]
//              [--near-misses] [--compare] [--keep CHAIN] [--close]
// --search clicks "&Search" once the window shows; when the search is over
// a line "idle <left> <top> <width> <height>" with the window's rectangle
// goes to stdout, then the figures and the status text (UTF-8). --delete
// then moves the checked copies to Deleted Items; --skipped opens the list
// of what the search skipped (a driven run answers every question of the
// window with Yes or OK, and prints it); --near-misses opens the near misses;
// --compare compares two messages: the first near miss's first and last
// when the near misses are open, else the first group's first two. The
// rectangle is then that of the window opened last. --keep sets the keep
// rules before the search and shows their section. --close closes the
// window after that.
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
#include <vector>

#include "om/OutlookCalls.h"
#include "mapi/MapiLibrary.h"
#include "standin/StandinControl.h"
#include "ui/uMainDlg.h"

namespace {

struct TOptions {
  std::string profile;
  bool across = false, search = false, close = false, remove = false, skipped = false;
  bool nearMisses = false, compare = false;
  std::string keep;  // a keep chain, as the console scan writes it
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
    else if (a == "--near-misses") o.nearMisses = true;
    else if (a == "--compare") o.compare = true;
    else if (a == "--keep" && i + 1 < argc) o.keep = argv[++i];
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
  bool nearMisses = false;
  bool compare = false;
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

// Compares two messages: the first and the last of the first near miss when
// the near misses are open (the last one differs), else the first two of the
// first group of the results.
void CompareTwo(TMainDlg& dlg) {
  if (TNearMissWindow* misses = dlg.NearMissWindow()) {
    const std::vector<int> rows = misses->RowsOfGroup(0);
    if (rows.size() < 2) return;
    misses->List().SelectRows({rows.front(), rows.back()});
    misses->Compare();
    return;
  }
  for (const auto& root : dlg.Emails().Roots()) {
    if (root->Children.size() < 2) continue;
    dlg.vstEmails().Select(root->Children[0].get());
    dlg.vstEmails().AddToSelection(root->Children[1].get());
    dlg.mniCompareClick();
    return;
  }
}

// Sets the keep rules and scrolls their section into view, rolled down.
bool ShowKeepRules(TMainDlg& dlg, const std::string& text) {
  const results::TKeepChainParse parsed = results::ParseKeepChain(text);
  if (!parsed.ok) {
    std::fprintf(stderr, "--keep: %s\n", parsed.error.c_str());
    return false;
  }
  dlg.SetKeepChain(parsed.chain);
  // Wide enough for the list to show its last column, "Kept because".
  SetWindowPos(dlg.Handle(), nullptr, 0, 0, 1024, 740, SWP_NOZORDER | SWP_NOACTIVATE);
  dlg.ExpandKeepPanel();
  SendMessageA(GetParent(dlg.KeepPanelHandle()), WM_VSCROLL, SB_BOTTOM, 0);
  return true;
}

// The window a screenshot wants: the one opened last.
HWND ShownWindow(TMainDlg& dlg) {
  if (TMarkedListWindow* compare = dlg.CompareWindow()) return compare->Handle();
  if (TNearMissWindow* misses = dlg.NearMissWindow()) return misses->Handle();
  return dlg.Handle();
}

void CALLBACK WatchSearch(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  const TSearchState state = g_run.dlg->State();
  if (state != TSearchState::Collecting && g_run.collectSeconds < 0) {
    g_run.collectSeconds = SecondsSinceStart();
    g_run.collectWorst = g_run.watch->TakeWorst();
  }
  if (state != TSearchState::Idle) return;
  KillTimer(hwnd, id);
  const double seconds = SecondsSinceStart();
  const long long loadWorst = g_run.watch->TakeWorst();
  const long long worst = std::max(g_run.collectWorst, loadWorst);
  // Stopped before anything below keeps this thread from answering the
  // watch's messages: it would wait on the watch, and the watch on it.
  g_run.watch.reset();
  if (g_run.remove) g_run.dlg->mniDeleteClick();
  if (g_run.skipped) g_run.dlg->mniSkippedClick();
  if (g_run.nearMisses) g_run.dlg->mniNearMissesClick();
  if (g_run.compare) CompareTwo(*g_run.dlg);
  RECT r;
  GetWindowRect(ShownWindow(*g_run.dlg), &r);
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
                 "usage: quopfinder [--profile FILE] [--across] [--search] [--delete] [--skipped]\n"
                 "                  [--near-misses] [--compare] [--keep CHAIN] [--close]\n");
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
    TMainDlgSetup setup;
    // A driven run answers the window's questions itself (the treatment's
    // confirmation, ...) and says what it was asked.
    if (o.search)
      setup.ShowMessage = [](HWND, const std::string& text, const std::string&, UINT type) {
        std::printf("box: %s\n", text.c_str());
        const UINT buttons = type & MB_TYPEMASK;
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
      };
    TMainDlg dlg(setup);
    if (!dlg.Create()) return 1;
    dlg.SetIDspApp(om::AsApplication(app.Get()).Get());
    if (o.across) dlg.ClickRadio("rbtnOverFolders");
    if (!o.keep.empty() && !ShowKeepRules(dlg, o.keep)) return 2;
    g_run.dlg = &dlg;
    g_run.close = o.close;
    g_run.remove = o.remove;
    g_run.skipped = o.skipped;
    g_run.nearMisses = o.nearMisses;
    g_run.compare = o.compare;
    if (o.search) SetTimer(dlg.Handle(), kStartTimer, 300, StartSearch);
    dlg.ShowModal();
  }
  app.Reset();
  return rc;
}
