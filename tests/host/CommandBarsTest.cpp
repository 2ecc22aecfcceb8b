// The host's command-bar objects on their own: argument defaults and
// checks, button order, the button's connection point, change notices,
// and that every object goes when released.
#include <gtest/gtest.h>

#include "om/OutlookCalls.h"
#include "standin/host/CommandBars.h"

using host::HostBar;
using host::HostButton;
using host::HostCommandBars;
using om::LongArg;

namespace {

VARIANT Omitted() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

// A sink on the test's stack that counts Invoke calls and its references.
struct CountingSink : IDispatch {
  bool answersDispatch = true;
  LONG refs = 0;
  int invokes = 0;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || (answersDispatch && IsEqualIID(riid, IID_IDispatch))) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    ++invokes;
    return S_OK;
  }
};

class CommandBarsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    notifier->changed = [this] { ++notices; };
  }
  void TearDown() override {
    bars.Reset();
    EXPECT_EQ(host::LiveObjects(), liveAtStart);  // bars included
  }

  HostBar* AddBar() {
    TComPtr<CommandBar> bar;
    EXPECT_EQ(bars->Add(Omitted(), Omitted(), Omitted(), Omitted(), &bar), S_OK);
    return static_cast<HostBar*>(bar.Get());  // the collection keeps it
  }
  HostButton* AddButton(CommandBarControls* controls, VARIANT before, const wchar_t* caption) {
    TComPtr<CommandBarControl> control;
    EXPECT_EQ(controls->Add(Omitted(), Omitted(), Omitted(), before, Omitted(), &control), S_OK);
    if (!control) return nullptr;
    BSTR text = SysAllocString(caption);
    control->put_Caption(text);
    SysFreeString(text);
    return static_cast<HostButton*>(static_cast<_CommandBarButton*>(control.Get()));
  }

  long liveAtStart = host::LiveObjects();  // before `bars`
  int notices = 0;
  host::Notifier notifier = std::make_shared<host::BarChangeNotifier>();
  TComPtr<HostCommandBars> bars{new HostCommandBars(notifier, false)};
};

}  // namespace

TEST_F(CommandBarsTest, AddWithEveryArgumentOmittedMakesAHiddenFloatingCustomBar) {
  HostBar* bar = AddBar();
  host::BarRecord record = bar->Snapshot();
  EXPECT_EQ(record.name, L"Custom 1");
  EXPECT_EQ(record.position, 4);
  EXPECT_FALSE(record.menuBar);
  EXPECT_FALSE(record.temporary);
  EXPECT_FALSE(record.visible);
  EXPECT_EQ(bar->put_Visible(VARIANT_TRUE), S_OK);
  EXPECT_TRUE(bar->Snapshot().visible);
  EXPECT_EQ(notices, 2);  // the Add and the Visible
}

TEST_F(CommandBarsTest, AddRefusesAPositionThatIsNotANumber) {
  const TBstr position(L"on top");
  TComPtr<CommandBar> bar;
  EXPECT_EQ(bars->Add(Omitted(), om::TextArg(position.Get()), Omitted(), Omitted(), &bar), DISP_E_TYPEMISMATCH);
  EXPECT_FALSE(bar);
  EXPECT_TRUE(bars->Bars().empty());
}

TEST_F(CommandBarsTest, ARefusingCollectionTurnsDownATakenName) {
  bars = TComPtr<HostCommandBars>(new HostCommandBars(notifier, true));
  const TBstr name(L"Quop");
  TComPtr<CommandBar> first, second;
  EXPECT_EQ(bars->Add(om::TextArg(name.Get()), Omitted(), Omitted(), Omitted(), &first), S_OK);
  EXPECT_EQ(bars->Add(om::TextArg(name.Get()), Omitted(), Omitted(), Omitted(), &second), E_INVALIDARG);
  EXPECT_EQ(bars->Bars().size(), 1u);
}

TEST_F(CommandBarsTest, ControlsGoBeforeTheGivenPosition) {
  TComPtr<CommandBarControls> controls;
  ASSERT_EQ(AddBar()->get_Controls(&controls), S_OK);
  AddButton(controls.Get(), Omitted(), L"A");
  AddButton(controls.Get(), LongArg(1), L"B");
  AddButton(controls.Get(), LongArg(2), L"C");
  host::BarRecord record = static_cast<HostBar*>(bars->Bars()[0].Get())->Snapshot();
  ASSERT_EQ(record.buttons.size(), 3u);
  EXPECT_EQ(record.buttons[0].caption, L"B");
  EXPECT_EQ(record.buttons[1].caption, L"C");
  EXPECT_EQ(record.buttons[2].caption, L"A");
  TComPtr<CommandBarControl> tooFar;
  EXPECT_EQ(controls->Add(Omitted(), Omitted(), Omitted(), LongArg(5), Omitted(), &tooFar), E_INVALIDARG);
  int count = 0;
  EXPECT_EQ(controls->get_Count(&count), S_OK);
  EXPECT_EQ(count, 3);
}

TEST_F(CommandBarsTest, ControlsMakeOnlyButtons) {
  TComPtr<CommandBarControls> controls;
  ASSERT_EQ(AddBar()->get_Controls(&controls), S_OK);
  TComPtr<CommandBarControl> popup;
  EXPECT_EQ(controls->Add(LongArg(10), Omitted(), Omitted(), Omitted(), Omitted(), &popup), E_NOTIMPL);
  EXPECT_FALSE(popup);
}

TEST_F(CommandBarsTest, TheButtonsConnectionPointServesOnlyItsEvents) {
  TComPtr<CommandBarControls> controls;
  ASSERT_EQ(AddBar()->get_Controls(&controls), S_OK);
  HostButton* button = AddButton(controls.Get(), Omitted(), L"Go");
  TComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(button->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
  TComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(IID__CommandBarButtonEvents, &point), S_OK);
  IID iid{};
  EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, IID__CommandBarButtonEvents));
  TComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(point->GetConnectionPointContainer(&back), S_OK);
  EXPECT_EQ(back.Get(), container.Get());

  CountingSink mute;
  mute.answersDispatch = false;
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(&mute, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(mute.refs, 0);
  EXPECT_EQ(point->Unadvise(99), CONNECT_E_NOCONNECTION);
}

TEST_F(CommandBarsTest, ClickReachesTheSinksAdvisedAtTheTime) {
  TComPtr<CommandBarControls> controls;
  ASSERT_EQ(AddBar()->get_Controls(&controls), S_OK);
  HostButton* button = AddButton(controls.Get(), Omitted(), L"Go");
  TComPtr<IConnectionPoint> point;
  ASSERT_EQ(button->FindConnectionPoint(IID__CommandBarButtonEvents, &point), S_OK);
  CountingSink first, second;
  DWORD firstCookie = 0, secondCookie = 0;
  ASSERT_EQ(point->Advise(&first, &firstCookie), S_OK);
  ASSERT_EQ(point->Advise(&second, &secondCookie), S_OK);
  EXPECT_NE(firstCookie, secondCookie);
  EXPECT_EQ(button->Click(), 2);
  EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
  EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(button->Click(), 1);
  EXPECT_EQ(first.invokes, 1);
  EXPECT_EQ(second.invokes, 2);
  EXPECT_EQ(first.refs, 0);
  EXPECT_EQ(button->Record().advises, 2);
  EXPECT_EQ(button->Record().unadvises, 1);
  bars->Close();  // the host closing drops the sink still advised
  EXPECT_EQ(second.refs, 0);
  EXPECT_EQ(button->Record().sinks, 0);
}
