// What an add-in asked of the host's command bars, as plain values: the
// arguments of each Add and every property it set. Tests read these; the
// window draws from them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct ButtonRecord {
  // CommandBarControls.Add; argTypes are the variant types of Type, Id,
  // Parameter, Before and Temporary as passed (VT_ERROR: omitted).
  int type = 0;
  int id = 0;
  std::wstring parameter;
  int before = 0;  // 0: omitted (appended)
  bool temporary = false;
  std::vector<VARTYPE> argTypes;
  // Set afterwards; setOrder lists "Style", "Caption", ... as they came.
  int style = 0;
  std::wstring caption, tooltip, tag;
  std::vector<std::string> setOrder;
  // Connection point of _CommandBarButtonEvents.
  int advises = 0, unadvises = 0, sinks = 0;
  int clicks = 0;            // Click events fired
  bool cancelDefaultSet = false;  // a sink wrote CancelDefault
};

struct BarRecord {
  // CommandBars.Add; argTypes of Name, Position, MenuBar, Temporary.
  std::wstring name;
  int position = 0;
  bool menuBar = false;
  bool temporary = false;
  std::vector<VARTYPE> argTypes;
  bool visible = false;  // a new bar is hidden until Visible is set
  std::vector<ButtonRecord> buttons;
};

// Told when a bar or a button changes, so the window can redraw; the host
// clears it before it goes.
struct BarChangeNotifier {
  std::function<void()> changed;
  void Notify() const {
    if (changed) changed();
  }
};
using Notifier = std::shared_ptr<BarChangeNotifier>;

}  // namespace host
