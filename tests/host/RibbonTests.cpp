// The host's ribbon with fake_addin.dll: asked after OnConnection and before
// OnStartupComplete as Outlook 2010 does, drawn from the add-in's XML with
// the image its getImage gives, and a press that calls onAction through the
// add-in's IDispatch with an IRibbonControl; none of it as Outlook 2007
// (--no-ribbon) or without an explorer.
#include <algorithm>

#include "om/OutlookCalls.h"
#include "support/BstrHolder.h"
#include "tests/host/HostFixture.h"

using Lines = std::vector<std::string>;

namespace {

const std::wstring kFakeRibbonXml =
    L"<customUI xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\"><ribbon><tabs>"
    L"<tab idMso=\"TabMail\"><group id=\"FakeGroup\" label=\"Fake\">"
    L"<button id=\"FakeBig\" label=\"Press\" size=\"large\" tag=\"big-tag\" onAction=\"OnFakeAction\""
    L" getImage=\"GetFakeImage\"/>"
    L"<button id=\"FakeLost\" label=\"Lost\" onAction=\"NoSuchCallback\"/>"
    L"</group></tab></tabs></ribbon></customUI>";

const char kAskLog[] = "GetCustomUI Microsoft.Outlook.Explorer";
const char kImageLog[] = "GetFakeImage flags=1 args=1 id=FakeBig tag=big-tag context=explorer";
const char kActionLog[] = "OnFakeAction flags=1 args=1 id=FakeBig tag=big-tag context=explorer";

std::wstring Version(host::THost& h) {
  TBstr version;
  EXPECT_EQ(h.Application()->get_Version(&version), S_OK);
  return version.Wide();
}

long Count(const Lines& log, const std::string& line) { return std::count(log.begin(), log.end(), line); }

long IndexOf(const Lines& log, const std::string& line) {
  auto it = std::find(log.begin(), log.end(), line);
  return it == log.end() ? -1 : static_cast<long>(it - log.begin());
}

}  // namespace

TEST_F(HostTest, AsksForTheExplorerRibbonBetweenConnectionAndStartupComplete) {
  SetFakeRibbon(kFakeRibbonXml.c_str());
  host::THost& h = StartHost();
  const Lines log = FakeLog();
  const long connected = IndexOf(log, "OnConnection mode=1 instance=yes custom=0");
  const long asked = IndexOf(log, kAskLog);
  const long image = IndexOf(log, kImageLog);
  const long started = IndexOf(log, "OnStartupComplete custom=0");
  EXPECT_EQ(Count(log, kAskLog), 1) << "one ask for the explorer's ribbon";
  EXPECT_TRUE(connected >= 0 && connected < asked && asked < image && image < started)
      << connected << " " << asked << " " << image << " " << started;
  EXPECT_EQ(Version(h).substr(0, 3), L"16.");
}

TEST_F(HostTest, ShowsTheGroupWithTheButtonsAndTheImageOfTheXml) {
  SetFakeRibbon(kFakeRibbonXml.c_str());
  host::THost& h = StartHost();
  const std::vector<host::RibbonGroupRecord> ribbon = h.Ribbon();
  ASSERT_EQ(ribbon.size(), 1u);
  EXPECT_EQ(ribbon[0].progId, kLoadedProgId);
  EXPECT_EQ(ribbon[0].xml.tabIdMso, L"TabMail");
  EXPECT_EQ(ribbon[0].xml.label, L"Fake");
  ASSERT_EQ(ribbon[0].buttons.size(), 2u);
  const host::RibbonButtonRecord& big = ribbon[0].buttons[0];
  EXPECT_EQ(big.xml.label, L"Press");
  EXPECT_EQ(big.xml.size, L"large");
  EXPECT_EQ(big.imageResult, S_OK);
  EXPECT_EQ(big.pictureType, PICTYPE_ICON);
  EXPECT_EQ(ribbon[0].buttons[1].imageResult, S_FALSE) << "no getImage, not asked";
  EXPECT_EQ(big.clicks, 0);
}

TEST_F(HostTest, APressCallsOnActionWithTheControlThroughIDispatch) {
  SetFakeRibbon(kFakeRibbonXml.c_str());
  host::THost& h = StartHost();
  ClearFakeLog();
  EXPECT_EQ(h.ClickRibbonButton(L"Press"), S_OK);
  EXPECT_EQ(FakeLog(), (Lines{"GetIDsOfNames OnFakeAction", kActionLog}));
  EXPECT_EQ(h.Ribbon()[0].buttons[0].clicks, 1);
  EXPECT_EQ(h.Ribbon()[0].buttons[0].lastAction, S_OK);

  // A callback the add-in does not know answers its failure, and nothing runs.
  ClearFakeLog();
  EXPECT_EQ(h.ClickRibbonButton(L"Lost"), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(FakeLog(), (Lines{"GetIDsOfNames NoSuchCallback"}));
  EXPECT_EQ(h.ClickRibbonButton(L"Absent"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
}

TEST_F(HostTest, AsOutlook2007OrWithoutAnExplorerNoRibbonIsAskedFor) {
  SetFakeRibbon(kFakeRibbonXml.c_str());
  const struct {
    const char* what;
    bool noRibbon, noExplorer;
    const wchar_t* version;
  } cases[] = {{"--no-ribbon", true, false, L"12."}, {"--no-explorer", false, true, L"16."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearFakeLog();
    host::HostOptions options;
    options.noRibbon = c.noRibbon;
    options.noExplorer = c.noExplorer;
    host::THost& h = StartHost(options);
    EXPECT_EQ(Count(FakeLog(), kAskLog), 0);
    EXPECT_TRUE(h.Ribbon().empty());
    EXPECT_EQ(h.ClickRibbonButton(L"Press"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
    EXPECT_EQ(Version(h).substr(0, 3), c.version);
    EXPECT_EQ(h.AddIns().size(), 1u);
    host.reset();
  }
}

TEST_F(HostTest, AnAddInWithoutARibbonPartOrWithXmlTheHostCannotReadShowsNoGroup) {
  const struct {
    const char* what;
    const wchar_t* xml;  // null: no IRibbonExtensibility
  } cases[] = {{"no ribbon part", nullptr}, {"empty answer", L""}, {"broken XML", L"<customUI><ribbon>"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetFakeRibbon(c.xml);
    ClearFakeLog();
    host::THost& h = StartHost();
    EXPECT_TRUE(h.Ribbon().empty());
    ASSERT_EQ(h.AddIns().size(), 1u);
    EXPECT_TRUE(h.AddIns()[0].connected);
    EXPECT_EQ(Count(FakeLog(), kAskLog), c.xml ? 1 : 0);
    host.reset();
  }
}

TEST_F(HostTest, ADisconnectionTakesTheGroupAwayAndAReconnectionBringsItBack) {
  SetFakeRibbon(kFakeRibbonXml.c_str());
  host::THost& h = StartHost();
  ASSERT_EQ(h.Ribbon().size(), 1u);
  ASSERT_EQ(h.Disconnect(kLoadedProgId), S_OK);
  EXPECT_TRUE(h.Ribbon().empty());
  EXPECT_EQ(h.ClickRibbonButton(L"Press"), HRESULT_FROM_WIN32(ERROR_NOT_FOUND));
  ASSERT_EQ(h.Connect(kLoadedProgId), S_OK);
  ASSERT_EQ(h.Ribbon().size(), 1u);
  EXPECT_EQ(h.ClickRibbonButton(L"Press"), S_OK);

  h.Shutdown();
  EXPECT_EQ(FakeLiveObjects(), 0) << "the ribbon let go of the add-in";
  EXPECT_EQ(host::HostLiveObjects(), 0) << "ribbon controls left";
}
