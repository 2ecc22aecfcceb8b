// TCommandbarbutton: one Office command-bar button and its Click events.
// The wrapper advises an event sink of its own on the button's connection
// point; a Click arriving there calls FOnClick. AddToolBar and AddButton
// make the bar and the button the add-in shows.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <memory>

#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"
#include "support/ComPtr.h"

class TCommandbarbutton;

// Ctrl: the button; CancelDefault: the event's flag, by reference.
using TCommandbarbuttonEvent = std::function<void(_CommandBarButton* Ctrl, VARIANT_BOOL& CancelDefault)>;

struct TCommandbarButtonEventsProperties {
  TCommandbarbutton* FServer;
};

// What every button wrapper shares: the Office classes it wraps, and how
// many wrappers are alive.
struct TServerData {
  CLSID ClassID;
  IID IntfIID;
  IID EventIID;
  int Version;
  long InstanceCount;
};

class TCommandbarbutton {
 public:
  TCommandbarbutton();
  ~TCommandbarbutton();
  TCommandbarbutton(const TCommandbarbutton&) = delete;
  TCommandbarbutton& operator=(const TCommandbarbutton&) = delete;

  // Attaches to a button: holds it and advises the sink on its events.
  void ConnectTo(_CommandBarButton* button);
  // Unadvises and lets the button go; nothing when detached.
  void Disconnect();
  _CommandBarButton* GetDefaultInterface() const { return FIntf.Get(); }
  TCommandbarButtonEventsProperties* GetServerProperties() const { return FProps.get(); }
  static const TServerData& ServerData();

  // Called by the sink with the event's arguments in declaration order.
  void InvokeEvent(DISPID DispID, VARIANT* Params, UINT nParams);

  // The bar named `name` on the active explorer, or null.
  static TComPtr<CommandBar> AddToolBar(IDispatch* Application, const wchar_t* name);
  // A caption button at the front of the bar, or null.
  static TComPtr<_CommandBarButton> AddButton(CommandBar* Bar, const wchar_t* caption, const wchar_t* tooltip,
                                              const wchar_t* tag);

  TCommandbarbuttonEvent FOnClick;

 private:
  class TEventSink;

  TComPtr<_CommandBarButton> FIntf;
  std::unique_ptr<TCommandbarButtonEventsProperties> FProps;
  TComPtr<TEventSink> FEventSink;
  TComPtr<IConnectionPoint> FConnectionPoint;
  DWORD FCookie = 0;
};
