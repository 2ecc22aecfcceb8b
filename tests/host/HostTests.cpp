// The host driving fake_addin.dll as Outlook drives a COM add-in: loading
// by LoadBehavior, the bar and button it adds, Click through its sink,
// no explorer, shut-down and a reconnection in the same run.
#include <algorithm>

#include "om/OutlookCalls.h"
#include "tests/host/HostFixture.h"

using host::BarRecord;
using host::ButtonRecord;
using Lines = std::vector<std::string>;
using Types = std::vector<VARTYPE>;

namespace {

const char kStartupLog[] = "OnConnection mode=1 instance=yes custom=0";
const char kClickLog[] = "Invoke dispid=1 flags=1 args=2 named=0 arg1=DISPATCH arg0=BYREF|BOOL ctrl=button cancel=0";

long Count(const std::vector<std::string>& log, const std::string& line) {
  return std::count(log.begin(), log.end(), line);
}

}  // namespace

TEST_F(HostTest, LoadsTheAddInWithLoadBehavior3AndStartsIt) {
  host::THost& h = StartHost();
  EXPECT_EQ(FakeLog(), (Lines{"created", kStartupLog, "Advise cookie=1", "OnStartupComplete custom=0"}));
  std::vector<host::AddInState> addIns = h.AddIns();
  ASSERT_EQ(addIns.size(), 1u);
  EXPECT_EQ(addIns[0].progId, kLoadedProgId);
  EXPECT_TRUE(addIns[0].connected) << std::hex << addIns[0].lastConnect;
}

TEST_F(HostTest, LeavesAnAddInWithLoadBehavior2Alone) {
  host::HostOptions options;
  options.onlyAddIns = {kDormantProgId};
  host::THost& h = StartHost(options);
  EXPECT_TRUE(FakeLog().empty());
  EXPECT_TRUE(h.AddIns().empty());
  EXPECT_TRUE(h.Bars().empty());
}

TEST_F(HostTest, AnAddInWhoseClassIsMissingIsReportedAndSkipped) {
  TFakeRegistration broken({{kBrokenProgId, 3}});
  host::THost& h = StartHost();
  std::vector<host::AddInState> addIns = h.AddIns();
  ASSERT_EQ(addIns.size(), 2u);
  auto missing = std::find_if(addIns.begin(), addIns.end(), [](auto& a) { return a.progId == kBrokenProgId; });
  ASSERT_NE(missing, addIns.end());
  EXPECT_FALSE(missing->connected);
  EXPECT_TRUE(FAILED(missing->lastConnect));
  EXPECT_EQ(Count(FakeLog(), kStartupLog), 1);  // the other add-in still came up
}

TEST_F(HostTest, RecordsTheBarAndButtonAsTheAddInSetThem) {
  host::THost& h = StartHost();
  std::vector<BarRecord> bars = h.Bars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].name, kFakeBarName);
  EXPECT_EQ(bars[0].position, msoBarTop);
  EXPECT_FALSE(bars[0].menuBar);
  EXPECT_TRUE(bars[0].temporary);
  EXPECT_TRUE(bars[0].visible);
  EXPECT_EQ(bars[0].argTypes, (Types{VT_BSTR, VT_I4, VT_BOOL, VT_BOOL}));
  ASSERT_EQ(bars[0].buttons.size(), 1u);
  const ButtonRecord& button = bars[0].buttons[0];
  EXPECT_EQ(button.type, msoControlButton);
  EXPECT_EQ(button.id, 1);
  EXPECT_EQ(button.parameter, L"1");
  EXPECT_EQ(button.before, 1);
  EXPECT_TRUE(button.temporary);
  EXPECT_EQ(button.argTypes, (Types{VT_I4, VT_I4, VT_I4, VT_I4, VT_BOOL}));
  EXPECT_EQ(button.style, msoButtonCaption);
  EXPECT_EQ(button.caption, kFakeCaption);
  EXPECT_EQ(button.tooltip, kFakeTooltip);
  EXPECT_EQ(button.tag, kFakeTag);
  EXPECT_EQ(button.setOrder, (Lines{"Style", "Caption", "TooltipText", "Tag"}));
  EXPECT_EQ(button.advises, 1);
  EXPECT_EQ(button.sinks, 1);
}

TEST_F(HostTest, DrawsTheVisibleBarWithItsNameAndButton) {
  host::THost& h = StartHost();
  EXPECT_NE(FindWindowExW(h.Window(), nullptr, L"Static", kFakeBarName), nullptr);
  EXPECT_NE(FindWindowExW(h.Window(), nullptr, L"Button", kFakeCaption), nullptr);
}

TEST_F(HostTest, ClickFiresTheSinkWithTheButtonAndCancelDefault) {
  host::THost& h = StartHost();
  ASSERT_EQ(h.ClickButton(kFakeCaption), 1);
  EXPECT_EQ(FakeLog().back(), kClickLog);
  EXPECT_EQ(h.ClickButton(kFakeCaption), 1);
  EXPECT_EQ(Count(FakeLog(), kClickLog), 2);
  EXPECT_EQ(h.Bars()[0].buttons[0].clicks, 2);
  EXPECT_FALSE(h.Bars()[0].buttons[0].cancelDefaultSet);
}

TEST_F(HostTest, ClickOnACaptionNotShownDoesNothing) {
  host::THost& h = StartHost();
  EXPECT_EQ(h.ClickButton(L"Nothing like it"), -1);
  EXPECT_EQ(h.ClickButton(kFakeCaption, 1), -1);  // there is only one
  EXPECT_EQ(Count(FakeLog(), kClickLog), 0);
}

TEST_F(HostTest, WithoutAnExplorerTheAddInAddsNothing) {
  host::HostOptions options;
  options.noExplorer = true;
  host::THost& h = StartHost(options);
  EXPECT_EQ(FakeLog(), (Lines{"created", kStartupLog, "no explorer", "OnStartupComplete custom=0"}));
  EXPECT_TRUE(h.Bars().empty());
  TComPtr<_Explorer> explorer;
  EXPECT_EQ(h.Application()->ActiveExplorer(&explorer), S_OK);
  EXPECT_FALSE(explorer);
}

TEST_F(HostTest, ShutdownWarnsThenDisconnectsAndReleasesEverything) {
  host::THost& h = StartHost();
  ASSERT_EQ(h.ClickButton(kFakeCaption), 1);
  h.Shutdown();
  std::vector<std::string> log = FakeLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Lines(log.end() - 3, log.end()),
            (Lines{"OnBeginShutdown custom=0", "OnDisconnection mode=0 custom=0", "Unadvise hr=0"}));
  EXPECT_EQ(host::HostLiveObjects(), 0);
  EXPECT_EQ(StandinLiveObjects(), 0);
  EXPECT_EQ(FakeLiveObjects(), 0);
  EXPECT_EQ(h.Window(), nullptr);
}

TEST_F(HostTest, ReconnectionKeepsTheOldBarAndAddsANewOne) {
  host::THost& h = StartHost();
  ASSERT_EQ(h.Disconnect(kLoadedProgId), S_OK);
  EXPECT_EQ(Count(FakeLog(), "OnDisconnection mode=1 custom=0"), 1);
  ASSERT_EQ(h.Bars().size(), 1u);
  EXPECT_EQ(h.Bars()[0].buttons[0].unadvises, 1);
  EXPECT_EQ(h.ClickButton(kFakeCaption), 0);  // still shown, nobody listens

  ClearFakeLog();
  ASSERT_EQ(h.Connect(kLoadedProgId), S_OK);
  EXPECT_EQ(FakeLog(), (Lines{"created", "OnConnection mode=0 instance=yes custom=0", "Advise cookie=1"}));
  std::vector<BarRecord> bars = h.Bars();
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].name, kFakeBarName);
  EXPECT_EQ(bars[1].name, kFakeBarName);
  EXPECT_EQ(bars[1].buttons[0].sinks, 1);
  EXPECT_EQ(h.ClickButton(kFakeCaption, 0), 0);
  EXPECT_EQ(h.ClickButton(kFakeCaption, 1), 1);
  h.Shutdown();
  EXPECT_EQ(host::HostLiveObjects(), 0);
  EXPECT_EQ(FakeLiveObjects(), 0);
}

TEST_F(HostTest, AHostThatRefusesATakenBarNameLeavesTheReconnectedAddInWithoutOne) {
  host::HostOptions options;
  options.refuseDuplicateBars = true;
  host::THost& h = StartHost(options);
  ASSERT_EQ(h.Disconnect(kLoadedProgId), S_OK);
  ASSERT_EQ(h.Connect(kLoadedProgId), S_OK);
  EXPECT_EQ(h.Bars().size(), 1u);
  std::vector<std::string> log = FakeLog();
  EXPECT_TRUE(log.back().rfind("set-up failed: ", 0) == 0) << log.back();
}

TEST_F(HostTest, TheApplicationIsTheStandinsButForItsExplorer) {
  host::THost& h = StartHost();
  _Application* app = h.Application();
  TComPtr<_NameSpace> session = om::GetNamespace(app, L"MAPI");
  EXPECT_GT(om::GetCount(om::GetFolders(session.Get()).Get()), 0);
  TComPtr<_Application> self;
  ASSERT_EQ(app->get_Application(&self), S_OK);
  EXPECT_EQ(self.Get(), app);
  TComPtr<_CommandBars> bars = om::GetCommandBars(om::ActiveExplorer(app).Get());
  EXPECT_TRUE(bars);
  EXPECT_EQ(app->Quit(), E_NOTIMPL);  // the stand-in's answer
}
