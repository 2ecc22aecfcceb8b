// The add-in's calls into the Outlook and Office object models, one function
// per call, all early bound. Each tests the call's HRESULT: a failure (or a
// null object to call on) raises EOleException carrying the operation's
// text and the code; the caller decides what a failure means. A call that
// succeeds without an object ("none": a cancelled picker, the end of a
// folder listing, no active explorer) returns an empty holder.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <stdexcept>
#include <string>
#include <string_view>

#include "support/BstrHolder.h"
#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"
#include "support/ComPtr.h"

// A failed object-model call. what() is the operation's text, " failed: 0x"
// and the code in eight hexadecimal digits.
class EOleException : public std::runtime_error {
 public:
  EOleException(const std::string& operation, HRESULT code);
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

// Raises EOleException for a failed result; success codes pass.
void CheckOle(HRESULT hr, const char* operation);

namespace om {

// QueryInterface for `iid`; a failure raises.
template <class T>
TComPtr<T> Query(IUnknown* object, const IID& iid, const char* operation) {
  if (object == nullptr) CheckOle(E_POINTER, operation);
  TComPtr<T> result;
  CheckOle(object->QueryInterface(iid, reinterpret_cast<void**>(&result)), operation);
  return result;
}

// Optional arguments by value, as the Office members take them. None owns
// anything: a text argument borrows the BSTR, which must outlive the call.
VARIANT LongArg(long value);
VARIANT BoolArg(bool value);
VARIANT TextArg(BSTR text);

// The Application object that Outlook hands over as an IDispatch.
TComPtr<_Application> AsApplication(IDispatch* application);

// _Application
TComPtr<_NameSpace> GetSession(_Application* application);
TComPtr<_NameSpace> GetNamespace(_Application* application, std::wstring_view type);  // "MAPI"
TComPtr<_Explorer> ActiveExplorer(_Application* application);

// _Explorer and the command bars
TComPtr<_CommandBars> GetCommandBars(_Explorer* explorer);
TComPtr<CommandBar> AddCommandBar(_CommandBars* bars, std::wstring_view name, MsoBarPosition position, bool menuBar,
                                  bool temporary);
void SetVisible(CommandBar* bar, bool visible);
TComPtr<CommandBarControls> GetControls(CommandBar* bar);
TComPtr<CommandBarControl> AddControl(CommandBarControls* controls, MsoControlType type, long id, long parameter,
                                      long before, bool temporary);
TComPtr<_CommandBarButton> AsCommandBarButton(CommandBarControl* control);
void SetStyle(_CommandBarButton* button, MsoButtonStyle style);
void SetCaption(CommandBarControl* control, std::wstring_view caption);
void SetTooltipText(CommandBarControl* control, std::wstring_view text);
void SetTag(CommandBarControl* control, std::wstring_view tag);

// _NameSpace
TComPtr<_Folders> GetFolders(_NameSpace* nameSpace);  // the store roots
TComPtr<MAPIFolder> GetDefaultFolder(_NameSpace* nameSpace, OlDefaultFolders kind);
TComPtr<MAPIFolder> PickFolder(_NameSpace* nameSpace);  // empty when cancelled

// _Folders
long GetCount(_Folders* folders);
TComPtr<MAPIFolder> GetFirst(_Folders* folders);  // empty when there is none
TComPtr<MAPIFolder> GetNext(_Folders* folders);   // empty after the last

// MAPIFolder
std::wstring GetName(MAPIFolder* folder);
std::wstring GetEntryID(MAPIFolder* folder);
TComPtr<_Folders> GetFolders(MAPIFolder* folder);
OlItemType GetDefaultItemType(MAPIFolder* folder);

}  // namespace om
