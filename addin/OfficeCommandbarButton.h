// TCommandbarbutton: the add-in's hold on one Office command-bar button.
// It advises an event sink of its own on the button's
// _CommandBarButtonEvents and runs the click handler for each Click.
// AddToolBar and AddButton make the bar and the button the add-in shows.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <functional>

#include "om/OfficeIntf.h"
#include "support/ComPtr.h"

class TCommandbarbutton {
 public:
  // onClick runs on the thread Office fires Click on (Outlook's main
  // thread), inside Office's call; what it throws is named in the debug
  // output and never reaches Office.
  explicit TCommandbarbutton(std::function<void()> onClick);
  ~TCommandbarbutton();
  TCommandbarbutton(const TCommandbarbutton&) = delete;
  TCommandbarbutton& operator=(const TCommandbarbutton&) = delete;

  // Attaches to a button: holds it and advises the sink on its events; a
  // refusal raises EOleException.
  void ConnectTo(_CommandBarButton* button);
  // Unadvises and lets the button go; nothing when detached. Office keeps
  // the sink until Unadvise, so this must come before the add-in goes.
  void Disconnect() noexcept;

  // A temporary bar named `name` at the top of the active explorer, shown;
  // null when Outlook has no explorer.
  static TComPtr<CommandBar> AddToolBar(IDispatch* Application, const wchar_t* name);
  // A temporary caption button at the front of the bar, with Style,
  // Caption, TooltipText and Tag set in that order.
  static TComPtr<_CommandBarButton> AddButton(CommandBar* Bar, const wchar_t* caption, const wchar_t* tooltip,
                                              const wchar_t* tag);

 private:
  class TEventSink;

  std::function<void()> FOnClick;
  TComPtr<_CommandBarButton> FIntf;
  TComPtr<TEventSink> FEventSink;
  TComPtr<IConnectionPoint> FConnectionPoint;
  DWORD FCookie = 0;
};
