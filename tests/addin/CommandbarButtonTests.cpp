// The button wrapper on its own: only Click (DISPID 1) reaches the handler,
// with the attached button, and CancelDefault goes back to Office as it came.
#include <gtest/gtest.h>

#include "addin/OfficeCommandbarButton.h"

namespace {

TEST(CommandbarButton, OnlyClickReachesTheHandlerAndCancelDefaultStaysAsItCame) {
  const long before = TCommandbarbutton::ServerData().InstanceCount;
  {
    TCommandbarbutton button;
    EXPECT_EQ(TCommandbarbutton::ServerData().InstanceCount, before + 1);
    EXPECT_EQ(button.GetServerProperties()->FServer, &button);
    int clicks = 0;
    button.FOnClick = [&](_CommandBarButton* Ctrl, VARIANT_BOOL& CancelDefault) {
      ++clicks;
      EXPECT_EQ(Ctrl, button.GetDefaultInterface());
      CancelDefault = VARIANT_TRUE;  // the handler's write stays with the wrapper
    };
    // Click's arguments in declaration order: Ctrl, then CancelDefault by reference.
    VARIANT_BOOL cancelDefault = VARIANT_FALSE;
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    V_VT(&args[0]) = VT_DISPATCH;
    V_DISPATCH(&args[0]) = nullptr;
    V_VT(&args[1]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[1]) = &cancelDefault;
    for (DISPID other : {DISPID(-1), DISPID(0), DISPID(2), DISPID(0x60020000)}) button.InvokeEvent(other, args, 2);
    EXPECT_EQ(clicks, 0) << "only DISPID 1 is Click";
    button.InvokeEvent(1, args, 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cancelDefault, VARIANT_FALSE);
    button.Disconnect();  // detached already: nothing happens
    EXPECT_EQ(button.GetDefaultInterface(), nullptr);
  }
  EXPECT_EQ(TCommandbarbutton::ServerData().InstanceCount, before);
}

TEST(CommandbarButton, ServerDataNamesTheOfficeButtonClasses) {
  const TServerData& data = TCommandbarbutton::ServerData();
  wchar_t text[40] = {};
  StringFromGUID2(data.ClassID, text, 40);
  EXPECT_STREQ(text, L"{55F88891-7708-11D1-ACEB-006008961DA5}");
  StringFromGUID2(data.IntfIID, text, 40);
  EXPECT_STREQ(text, L"{000C030E-0000-0000-C000-000000000046}");
  StringFromGUID2(data.EventIID, text, 40);
  EXPECT_STREQ(text, L"{000C0351-0000-0000-C000-000000000046}");
  EXPECT_EQ(data.Version, 500);
}

}  // namespace
