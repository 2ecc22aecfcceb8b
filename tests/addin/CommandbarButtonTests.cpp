// The button wrapper on its own, over a button that keeps the sink advised
// on it: the sink is advised on the button's events and unadvised once;
// only Click (DISPID 1) reaches the handler, and Click's arguments go back
// to Office as they came; what the handler throws stays on the add-in's
// side; a sink Office still holds counts as an object of the server.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <system_error>

#include "addin/ComServer.h"
#include "addin/OfficeCommandbarButton.h"
#include "tests/addin/DebugLog.h"
#include "tests/addin/Recorders.h"

namespace {

// A button as Office hands it out, reduced to what the wrapper uses: its
// connection-point container with the one connection point of its events.
// It lives on the test's stack; references are counted, not owned.
class TFakeButton final : public RecCommandBarButton, public IConnectionPointContainer, public IConnectionPoint {
 public:
  ~TFakeButton() { DropSink(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(riid, IID_IConnectionPointContainer)) return E_NOINTERFACE;
    *out = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
    asked = riid;
    *point = this;
    AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* advised, DWORD* cookie) override {
    ++advises;
    advised->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
    *cookie = kCookie;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    ++unadvises;
    unadvisedCookie = cookie;
    if (SUCCEEDED(unadviseResult)) DropSink();
    return unadviseResult;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  // Fires an event through the sink as Office fires Click: the button in
  // rgvarg[1], CancelDefault by reference in rgvarg[0].
  HRESULT Fire(DISPID id, VARIANT_BOOL* cancelDefault) {
    VARIANT args[2];
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = cancelDefault;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = static_cast<_CommandBarButton*>(this);
    DISPPARAMS params{args, nullptr, 2, 0};
    const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                    nullptr);
    EXPECT_EQ(V_VT(&args[0]), VT_BOOL | VT_BYREF);
    EXPECT_EQ(V_BOOLREF(&args[0]), cancelDefault);
    EXPECT_EQ(V_VT(&args[1]), VT_DISPATCH);
    return hr;
  }
  void DropSink() {
    if (sink) sink->Release();
    sink = nullptr;
  }

  static constexpr DWORD kCookie = 7;
  LONG refs = 0;
  IID asked{};
  int advises = 0, unadvises = 0;
  DWORD unadvisedCookie = 0;
  HRESULT unadviseResult = S_OK;
  IDispatch* sink = nullptr;  // held while advised
};

TEST(CommandbarButton, TheSinkIsAdvisedOnTheButtonEventsAndUnadvisedOnce) {
  TFakeButton fake;
  {
    TCommandbarbutton button([] {});
    button.ConnectTo(&fake);
    EXPECT_TRUE(IsEqualIID(fake.asked, IID__CommandBarButtonEvents));
    EXPECT_EQ(fake.advises, 1);
    ASSERT_NE(fake.sink, nullptr);
    EXPECT_GT(fake.refs, 0) << "the wrapper holds the button while attached";

    button.Disconnect();
    EXPECT_EQ(fake.unadvises, 1);
    EXPECT_EQ(fake.unadvisedCookie, TFakeButton::kCookie);
    EXPECT_EQ(fake.sink, nullptr);
    EXPECT_EQ(fake.refs, 0) << "the button and its connection point are let go";
    button.Disconnect();  // detached already: nothing happens
  }
  EXPECT_EQ(fake.unadvises, 1) << "the wrapper's end unadvises nothing more";
}

TEST(CommandbarButton, OnlyClickReachesTheHandlerAndItsArgumentsGoBackAsTheyCame) {
  TFakeButton fake;
  int clicks = 0;
  TCommandbarbutton button([&] { ++clicks; });
  button.ConnectTo(&fake);
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  for (DISPID other : {DISPID(-1), DISPID(0), DISPID(2), DISPID(0x60020000)}) {
    EXPECT_EQ(fake.Fire(other, &cancelDefault), S_OK);
  }
  EXPECT_EQ(clicks, 0) << "only DISPID 1 is Click";
  EXPECT_EQ(fake.Fire(DISPID_CommandBarButtonClick, &cancelDefault), S_OK);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(cancelDefault, VARIANT_FALSE);
  cancelDefault = VARIANT_TRUE;  // as another add-in's sink may have left it
  EXPECT_EQ(fake.Fire(DISPID_CommandBarButtonClick, &cancelDefault), S_OK);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(cancelDefault, VARIANT_TRUE);
}

TEST(CommandbarButton, WhatTheHandlerThrowsIsNamedAndNeverReachesOffice) {
  TFakeButton fake;
  TCommandbarbutton button([] { throw std::system_error(ERROR_NOT_ENOUGH_MEMORY, std::system_category(), "CreateThread"); });
  button.ConnectTo(&fake);
  const TDebugLog log;
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  HRESULT hr = S_OK;
  EXPECT_NO_THROW(hr = fake.Fire(DISPID_CommandBarButtonClick, &cancelDefault));
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_TRUE(log.Contains("Quop add-in: Click: CreateThread")) << log.Text();
}

// Office may keep the sink when Unadvise fails; the sink's code lives in the
// library, which must then stay loaded, and a late Click reaches nobody.
TEST(CommandbarButton, ASinkOfficeStillHoldsCountsAsAnObjectAndReachesNobody) {
  const long objectsBefore = comserver::ObjectCount();
  TFakeButton fake;
  fake.unadviseResult = CONNECT_E_NOCONNECTION;
  int clicks = 0;
  const TDebugLog log;
  {
    TCommandbarbutton button([&] { ++clicks; });
    button.ConnectTo(&fake);
    EXPECT_EQ(comserver::ObjectCount(), objectsBefore + 1);
  }
  EXPECT_TRUE(log.Contains("Quop add-in: button: Unadvise failed: 0x80040200")) << log.Text();
  ASSERT_NE(fake.sink, nullptr);
  EXPECT_EQ(comserver::ObjectCount(), objectsBefore + 1);
  VARIANT_BOOL cancelDefault = VARIANT_FALSE;
  EXPECT_EQ(fake.Fire(DISPID_CommandBarButtonClick, &cancelDefault), S_OK);
  EXPECT_EQ(clicks, 0);
  fake.DropSink();
  EXPECT_EQ(comserver::ObjectCount(), objectsBefore);
}

}  // namespace
