// QuopDuplicate.dll registered and loaded by the Outlook-like host over the
// stand-in platform, end to end: the bar and its button, a click that opens
// the finder window on its own thread, a search and a soft delete in that
// window, a second window after the first closed, the host without an
// explorer, a disconnection and reconnection (one window per process
// throughout), a bar the host refuses, a finder thread that cannot start,
// and the library kept loaded until the finder thread has ended. As
// Outlook 2010 and later, the ribbon in place of the bar: its XML, its
// button opening the window, and the add-in registered for the user alone.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "addin/QuopDuplicate_TLB.h"
#include "om/OfficeIntf.h"
#include "standin/host/Host.h"
#include "standin/host/RibbonXml.h"
#include "support/BstrHolder.h"
#include "support/ComPtr.h"
#include "tests/addin/DebugLog.h"
#include "tests/addin/ServerLibrary.h"
#include "tests/addin/ThreadEndProbe.h"
#include "tests/mapi/Standin.h"
#include "tests/ui/ProfileSnapshot.h"
#include "ui/MenuTable.h"

namespace {

constexpr wchar_t kProgId[] = L"QuopDuplicate.AddIn";

std::string ClassOf(HWND hwnd) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

std::string TextOf(HWND hwnd) {
  char text[128] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

struct TWindowSearch {
  std::function<bool(HWND)> wanted;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TWindowSearch*>(param);
  if (search->wanted(hwnd)) search->found.push_back(hwnd);
  return TRUE;
}

// The top-level windows (parent null) or the descendants of parent that are wanted.
std::vector<HWND> Windows(HWND parent, std::function<bool(HWND)> wanted) {
  TWindowSearch search{std::move(wanted), {}};
  if (parent) EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&search));
  else EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> FinderWindows() {
  return Windows(nullptr, [](HWND hwnd) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId() && ClassOf(hwnd) == "TMainDlg" && IsWindowVisible(hwnd);
  });
}

HWND Child(HWND parent, const char* cls, const char* text) {
  const std::vector<HWND> found = Windows(parent, [&](HWND hwnd) {
    return lstrcmpiA(ClassOf(hwnd).c_str(), cls) == 0 && (!text || TextOf(hwnd) == text);
  });
  return found.empty() ? nullptr : found[0];
}

// A message answered by another thread, with a time limit: 0 when it did not answer.
LRESULT Ask(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, 5000, &result) ? result : 0;
}

std::string StatusText(HWND finder) {
  char text[256] = {};
  const HWND status = Child(finder, STATUSCLASSNAMEA, nullptr);
  if (status) Ask(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

// The message box the window thread of `finder` shows, or null.
HWND MessageBoxOf(HWND finder) {
  const DWORD thread = GetWindowThreadProcessId(finder, nullptr);
  const std::vector<HWND> boxes = Windows(nullptr, [&](HWND hwnd) {
    return GetWindowThreadProcessId(hwnd, nullptr) == thread && ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd);
  });
  return boxes.empty() ? nullptr : boxes[0];
}

// The text of a message box: its static texts, as the box shows them.
std::string MessageBoxText(HWND box) {
  std::string text;
  for (HWND part : Windows(box, [](HWND hwnd) { return ClassOf(hwnd) == "Static"; })) {
    char piece[512] = {};
    GetWindowTextA(part, piece, sizeof piece);
    text += piece;
  }
  return text;
}

std::size_t DeletedItemsCount(TStandin& standin) {
  std::size_t n = 0;
  const TProfileSnapshot snapshot = TProfileSnapshot::Take(standin);
  for (const auto& [path, folder] : snapshot.Folders())
    if (folder.role == "deleted") n += folder.messages.size();
  return n;
}

// Reserves the free address space of the process in blocks of 1 MB and
// more while it lives: no thread stack can be reserved then, while small
// blocks still come from the heap.
class TFullAddressSpace {
 public:
  TFullAddressSpace() {
    FBlocks.reserve(4096);  // no allocation of its own once full
    for (SIZE_T size = SIZE_T(256) << 20; size >= (SIZE_T(1) << 20); size /= 2) {
      while (FBlocks.size() < FBlocks.capacity()) {
        void* block = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (!block) break;
        FBlocks.push_back(block);
      }
    }
  }
  ~TFullAddressSpace() {
    for (void* block : FBlocks) VirtualFree(block, 0, MEM_RELEASE);
  }
  TFullAddressSpace(const TFullAddressSpace&) = delete;
  TFullAddressSpace& operator=(const TFullAddressSpace&) = delete;

 private:
  std::vector<void*> FBlocks;
};

class AddInHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<TServerLibrary>(BuiltServerPath());
    ASSERT_TRUE(server_->Loaded());
    ASSERT_EQ(server_->Register(), S_OK);
  }
  void TearDown() override {
    for (HWND w : FinderWindows()) PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Pump([] { return FinderWindows().empty(); }));
    if (host_) host_->Shutdown();
    // The finder threads keep the library: it may go once they have ended.
    EXPECT_TRUE(Pump([this] { return server_->CanUnloadNow() == S_OK; })) << "an object or a thread is left";
    host_.reset();
    EXPECT_EQ(host::HostLiveObjects(), 0);
    EXPECT_EQ(TStandin::Get().LiveObjects(), 0);
    EXPECT_EQ(server_->Unregister(), S_OK);
    EXPECT_EQ(server_->UnregisterForUser(), S_OK);
  }

  // As Outlook 2007 (no ribbon, the command bar) unless `ribbon`.
  host::THost& StartHost(bool explorer = true, bool refuseDuplicateBars = false, bool ribbon = false) {
    host::HostOptions options;
    options.profile = L"Z:" QUOP_SOURCE_DIR "/standin/profiles/sample.json";
    options.onlyAddIns = {kProgId};
    options.noExplorer = !explorer;
    options.noRibbon = !ribbon;
    options.refuseDuplicateBars = refuseDuplicateBars;
    host_ = std::make_unique<host::THost>(options);
    EXPECT_EQ(host_->Start(), S_OK) << std::string(host_->Error().begin(), host_->Error().end());
    return *host_;
  }

  // Runs the host thread's messages (calls marshalled from the finder
  // thread arrive that way) until done() holds.
  bool Pump(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

  HWND OpenFinder(std::size_t occurrence = 0) {
    EXPECT_EQ(host_->ClickButton(L"Twinsweeps", occurrence), 1);
    return AwaitFinder();
  }

  HWND OpenFinderFromTheRibbon() {
    EXPECT_EQ(host_->ClickRibbonButton(L"Twinsweeps"), S_OK);
    return AwaitFinder();
  }

  HWND AwaitFinder() {
    EXPECT_TRUE(Pump([] { return FinderWindows().size() == 1; }));
    const std::vector<HWND> windows = FinderWindows();
    return windows.empty() ? nullptr : windows[0];
  }

  // Clicks until a window opens: after a window closed, a click does
  // nothing until its thread has let go of it, like one while it is open.
  HWND OpenFinderOnceFree(std::size_t occurrence = 0) {
    EXPECT_TRUE(Pump([&] {
      if (!FinderWindows().empty()) return true;
      host_->ClickButton(L"Twinsweeps", occurrence);
      Pump([] { return !FinderWindows().empty(); }, std::chrono::seconds(1));
      return false;
    }));
    const std::vector<HWND> windows = FinderWindows();
    EXPECT_EQ(windows.size(), 1u);
    return windows.empty() ? nullptr : windows[0];
  }

  // Closes the window and waits until its thread has let go of it.
  void CloseFinder(HWND finder) {
    PostMessageA(finder, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Pump([] { return FinderWindows().empty(); }));
  }

  std::unique_ptr<TServerLibrary> server_;
  std::unique_ptr<host::THost> host_;
};

TEST_F(AddInHostTest, ConnectionAddsTheQuopBarWithTheTwinsweepsButton) {
  StartHost();
  const std::vector<host::BarRecord> bars = host_->Bars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].name, L"Quop");
  EXPECT_EQ(bars[0].position, 1);
  EXPECT_FALSE(bars[0].menuBar);
  EXPECT_TRUE(bars[0].temporary);
  EXPECT_TRUE(bars[0].visible);
  ASSERT_EQ(bars[0].buttons.size(), 1u);
  const host::ButtonRecord& b = bars[0].buttons[0];
  EXPECT_EQ(b.type, 1);
  EXPECT_EQ(b.id, 1);
  EXPECT_EQ(b.before, 1);
  EXPECT_TRUE(b.temporary);
  EXPECT_EQ(b.style, 2);
  EXPECT_EQ(b.caption, L"Twinsweeps");
  EXPECT_EQ(b.tooltip, L"Quop Twinsweeps");
  EXPECT_EQ(b.tag, L"");
  EXPECT_EQ(b.setOrder, (std::vector<std::string>{"Style", "Caption", "TooltipText", "Tag"}));
  EXPECT_EQ(b.advises, 1);
}

TEST_F(AddInHostTest, TheButtonOpensOneFinderWindowThatSearchesAndTreats) {
  StartHost();
  const HWND finder = OpenFinder();
  ASSERT_NE(finder, nullptr);
  EXPECT_NE(GetWindowThreadProcessId(finder, nullptr), GetCurrentThreadId()) << "the window has a thread of its own";
  // The host stays free: a second click returns at once and opens nothing.
  EXPECT_EQ(host_->ClickButton(L"Twinsweeps"), 1);
  Pump([] { return false; }, std::chrono::seconds(1));
  EXPECT_EQ(FinderWindows().size(), 1u);
  EXPECT_EQ(host_->Bars()[0].buttons[0].cancelDefaultSet, false);

  // A search with the default settings: the sample's 13 groups of 41 rows.
  const HWND search = Child(finder, "BUTTON", "&Search");
  ASSERT_NE(search, nullptr);
  ASSERT_TRUE(Pump([&] { return IsWindowEnabled(search) && StatusText(finder).empty(); }, std::chrono::seconds(10)));
  PostMessageA(search, BM_CLICK, 0, 0);
  ASSERT_TRUE(Pump([&] { return StatusText(finder) == "173 messages read, 0 skipped"; }));
  // The results list is the virtual one.
  const std::vector<HWND> lists = Windows(finder, [](HWND hwnd) {
    return lstrcmpiA(ClassOf(hwnd).c_str(), WC_LISTVIEWA) == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & LVS_OWNERDATA);
  });
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(Ask(lists[0], LVM_GETITEMCOUNT), 41);

  // "Delete (Move to deleted Items folder)": the confirmation states the
  // numbers, and on OK the 15 checked copies go.
  TStandin& standin = TStandin::Get();
  const std::size_t before = DeletedItemsCount(standin);
  PostMessageA(finder, WM_COMMAND, cmdDelete1, 0);
  HWND box = nullptr;
  ASSERT_TRUE(Pump([&] { return (box = MessageBoxOf(finder)) != nullptr; }));
  EXPECT_EQ(MessageBoxText(box).rfind("Move 15 messages from ", 0), 0u) << MessageBoxText(box);
  EXPECT_EQ(DeletedItemsCount(standin), before) << "nothing moves before the confirmation";
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(Pump([&] { return DeletedItemsCount(standin) == before + 15 && IsWindowEnabled(search); }));

  // Closed, the window goes with its thread; then a click opens a new one.
  CloseFinder(finder);
  EXPECT_NE(OpenFinderOnceFree(), nullptr);
}

TEST_F(AddInHostTest, WithoutAnExplorerTheAddInShowsNothing) {
  StartHost(false);
  EXPECT_TRUE(host_->Bars().empty());
  EXPECT_EQ(host_->ClickButton(L"Twinsweeps"), -1);
  ASSERT_EQ(host_->AddIns().size(), 1u);
  EXPECT_TRUE(host_->AddIns()[0].connected) << "the add-in stays loaded";
  EXPECT_TRUE(FinderWindows().empty());
}

TEST_F(AddInHostTest, AfterADisconnectionTheOldButtonIsDeadAndAReconnectionAddsANewOne) {
  StartHost();
  ASSERT_EQ(host_->Disconnect(kProgId), S_OK);
  ASSERT_EQ(host_->Bars().size(), 1u) << "the temporary bar stays";
  EXPECT_EQ(host_->ClickButton(L"Twinsweeps"), 0) << "no sink listens any more";
  Pump([] { return false; }, std::chrono::seconds(1));
  EXPECT_TRUE(FinderWindows().empty());

  ASSERT_EQ(host_->Connect(kProgId), S_OK);
  ASSERT_EQ(host_->Bars().size(), 2u);
  EXPECT_EQ(host_->Bars()[1].name, L"Quop");
  EXPECT_NE(OpenFinder(1), nullptr);
}

// Outlook makes a new add-in object on reconnection; the window the old
// one opened is still the only one the process may have.
TEST_F(AddInHostTest, AReconnectionWhileTheWindowIsOpenOpensNoSecondWindow) {
  StartHost();
  const HWND finder = OpenFinder();
  ASSERT_NE(finder, nullptr);
  ASSERT_EQ(host_->Disconnect(kProgId), S_OK);
  ASSERT_EQ(host_->Connect(kProgId), S_OK);

  EXPECT_EQ(host_->ClickButton(L"Twinsweeps", 1), 1);
  Pump([] { return FinderWindows().size() > 1; }, std::chrono::seconds(2));
  EXPECT_EQ(FinderWindows(), std::vector<HWND>{finder});

  CloseFinder(finder);
  EXPECT_NE(OpenFinderOnceFree(1), nullptr);
}

// DllCanUnloadNow must not say yes while the finder thread still runs, not
// even in its last steps after the window has gone: Outlook unloads the
// library on that answer.
TEST_F(AddInHostTest, TheFinderThreadKeepsTheLibraryUntilItHasEnded) {
  StartHost();
  const HWND finder = OpenFinder();
  ASSERT_NE(finder, nullptr);
  // The add-in object and its sink go; the window, and with it the library, stay.
  ASSERT_EQ(host_->Disconnect(kProgId), S_OK);
  EXPECT_EQ(server_->CanUnloadNow(), S_FALSE);

  const auto canUnloadNow =
      reinterpret_cast<TThreadEndProbe::TAsk>(reinterpret_cast<void*>(GetProcAddress(server_->Module(), "DllCanUnloadNow")));
  ASSERT_NE(canUnloadNow, nullptr);
  const TThreadEndProbe probe(GetWindowThreadProcessId(finder, nullptr), canUnloadNow);
  PostMessageA(finder, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Pump([&] { return probe.Ended(); }));
  EXPECT_EQ(probe.Answer(), S_FALSE) << "the library could be unloaded under the ending finder thread";
  EXPECT_EQ(server_->CanUnloadNow(), S_OK);
}

// Only a 32-bit process can have its address space filled so that no
// thread stack fits; a 64-bit one has terabytes of it.
#if defined(__i386__)
// A click whose thread cannot start (no address space left for its stack)
// opens nothing, is named in the debug output, and keeps nothing: the next
// click opens the window.
TEST_F(AddInHostTest, AFinderThreadThatCannotStartIsNamedAndTheNextClickOpensTheWindow) {
  StartHost();
  const TDebugLog log;
  {
    const TFullAddressSpace full;
    EXPECT_EQ(host_->ClickButton(L"Twinsweeps"), 1);
  }
  Pump([] { return false; }, std::chrono::seconds(1));
  EXPECT_TRUE(FinderWindows().empty());
  EXPECT_TRUE(log.Contains("Quop add-in: Click: CreateThread")) << log.Text();
  EXPECT_NE(OpenFinder(), nullptr);
}
#endif

// Office refuses a second bar of the same name; the add-in stays connected
// without a button and names the refusal.
TEST_F(AddInHostTest, ABarTheHostRefusesIsNamedAndTheAddInStaysConnected) {
  StartHost(true, true);
  ASSERT_EQ(host_->Disconnect(kProgId), S_OK);
  const TDebugLog log;
  EXPECT_EQ(host_->Connect(kProgId), S_OK);
  EXPECT_TRUE(host_->AddIns()[0].connected);
  EXPECT_EQ(host_->Bars().size(), 1u);
  EXPECT_TRUE(log.Contains("Quop add-in: OnConnection: CommandBars.Add failed: 0x80070057")) << log.Text();
}

// The ribbon's part of the add-in object, asked directly.
TEST(AddInRibbonXml, TheExplorerGetsTheQuopGroupAndEveryOtherRibbonNothing) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    const TServerLibrary server(BuiltServerPath());
    ASSERT_TRUE(server.Loaded());
    TComPtr<IClassFactory> factory;
    ASSERT_EQ(server.GetClassObject(CLSID_AddIn, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    TComPtr<IRibbonExtensibility> ribbon;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IRibbonExtensibility, reinterpret_cast<void**>(&ribbon)), S_OK);

    TBstr xml;
    ASSERT_EQ(ribbon->GetCustomUI(TBstr(L"Microsoft.Outlook.Explorer").Get(), &xml), S_OK);
    host::RibbonXml parsed;
    std::wstring error;
    ASSERT_TRUE(host::ParseRibbonXml(xml.Wide(), &parsed, &error)) << std::string(error.begin(), error.end());
    EXPECT_EQ(parsed.nameSpace, host::kCustomUi2009);
    ASSERT_EQ(parsed.groups.size(), 1u);
    EXPECT_EQ(parsed.groups[0].tabIdMso, L"TabMail");
    EXPECT_EQ(parsed.groups[0].label, L"Quop");
    ASSERT_EQ(parsed.groups[0].buttons.size(), 1u);
    const host::RibbonButtonXml& button = parsed.groups[0].buttons[0];
    EXPECT_EQ(button.label, L"Twinsweeps");
    EXPECT_EQ(button.size, L"large");
    EXPECT_EQ(button.onAction, L"OnTwinsweeps");
    EXPECT_FALSE(button.getImage.empty());

    // Inspectors, other windows and a wrong case: S_OK and no XML.
    for (const wchar_t* szOther : {L"Microsoft.Outlook.Mail.Read", L"Microsoft.Outlook.Mail.Compose",
                                   L"microsoft.outlook.explorer", L""}) {
      BSTR other = reinterpret_cast<BSTR>(1);  // anything but null
      EXPECT_EQ(ribbon->GetCustomUI(TBstr(szOther).Get(), &other), S_OK);
      EXPECT_EQ(other, nullptr);
    }
    BSTR none = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(ribbon->GetCustomUI(nullptr, &none), S_OK);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);
  }
  CoUninitialize();
}

TEST_F(AddInHostTest, WithARibbonTheButtonIsOnTheHomeTabAndNoBarIsMade) {
  StartHost(true, false, true);
  EXPECT_TRUE(host_->Bars().empty()) << "no command bar beside the ribbon";
  EXPECT_EQ(host_->ClickButton(L"Twinsweeps"), -1);
  const std::vector<host::RibbonGroupRecord> ribbon = host_->Ribbon();
  ASSERT_EQ(ribbon.size(), 1u);
  EXPECT_EQ(ribbon[0].progId, kProgId);
  EXPECT_EQ(ribbon[0].xml.tabIdMso, L"TabMail");
  EXPECT_EQ(ribbon[0].xml.label, L"Quop");
  ASSERT_EQ(ribbon[0].buttons.size(), 1u);
  EXPECT_EQ(ribbon[0].buttons[0].xml.label, L"Twinsweeps");
  EXPECT_EQ(ribbon[0].buttons[0].imageResult, S_OK);
  EXPECT_EQ(ribbon[0].buttons[0].pictureType, PICTYPE_ICON) << "the product's icon";
}

TEST_F(AddInHostTest, TheRibbonButtonOpensTheOneFinderWindow) {
  StartHost(true, false, true);
  const HWND finder = OpenFinderFromTheRibbon();
  ASSERT_NE(finder, nullptr);
  EXPECT_NE(GetWindowThreadProcessId(finder, nullptr), GetCurrentThreadId()) << "the window has a thread of its own";
  // As with the bar's button: a second press while it is open opens none.
  EXPECT_EQ(host_->ClickRibbonButton(L"Twinsweeps"), S_OK);
  Pump([] { return false; }, std::chrono::seconds(1));
  EXPECT_EQ(FinderWindows(), std::vector<HWND>{finder});
  EXPECT_EQ(host_->Ribbon()[0].buttons[0].clicks, 2);
}

// Registered for the user alone, the add-in is found by the host under
// HKEY_CURRENT_USER and its button works.
TEST_F(AddInHostTest, RegisteredForTheUserAloneTheAddInLoadsAndItsButtonWorks) {
  ASSERT_EQ(server_->Unregister(), S_OK);
  ASSERT_EQ(server_->RegisterForUser(), S_OK);
  for (const bool ribbon : {true, false}) {
    SCOPED_TRACE(ribbon ? "with the ribbon" : "as Outlook 2007");
    StartHost(true, false, ribbon);
    ASSERT_EQ(host_->AddIns().size(), 1u);
    EXPECT_TRUE(host_->AddIns()[0].connected);
    const HWND finder = ribbon ? OpenFinderFromTheRibbon() : OpenFinder();
    ASSERT_NE(finder, nullptr);
    CloseFinder(finder);
    host_->Shutdown();
    host_.reset();
    // The next window may open once this one's thread has ended.
    EXPECT_TRUE(Pump([this] { return server_->CanUnloadNow() == S_OK; }));
  }
}

}  // namespace
