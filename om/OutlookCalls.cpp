#include "om/OutlookCalls.h"

#include <cstdio>
#include <utility>

namespace {

std::string CodeText(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

// Calls `member` of `object` with the arguments; a null object or a failed
// call raises, named by `operation`.
template <class TObject, class TMember, class... TArgs>
void Call(TObject* object, const char* operation, TMember member, TArgs&&... args) {
  if (object == nullptr) CheckOle(E_POINTER, operation);
  CheckOle((object->*member)(std::forward<TArgs>(args)...), operation);
}

// The value a member hands out through its last parameter (an interface
// holder, a text holder or a number), after the given arguments.
template <class TValue, class TObject, class TMember, class... TArgs>
TValue Fetch(TObject* object, const char* operation, TMember member, TArgs&&... args) {
  TValue value{};
  Call(object, operation, member, std::forward<TArgs>(args)..., &value);
  return value;
}

// An empty VARIANT of type vt, its value still to be set.
VARIANT Typed(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = vt;
  return v;
}

VARIANT_BOOL AsVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace

EOleException::EOleException(const std::string& operation, HRESULT code)
    : std::runtime_error(operation + " failed: " + CodeText(code)), code_(code) {}

void CheckOle(HRESULT hr, const char* operation) {
  if (FAILED(hr)) throw EOleException(operation, hr);
}

namespace om {

VARIANT LongArg(long value) {
  VARIANT v = Typed(VT_I4);
  V_I4(&v) = value;
  return v;
}

VARIANT BoolArg(bool value) {
  VARIANT v = Typed(VT_BOOL);
  V_BOOL(&v) = AsVariantBool(value);
  return v;
}

VARIANT TextArg(BSTR text) {
  VARIANT v = Typed(VT_BSTR);
  V_BSTR(&v) = text;
  return v;
}

TComPtr<_Application> AsApplication(IDispatch* application) {
  return Query<_Application>(application, IID__Application, "Application");
}

TComPtr<_NameSpace> GetSession(_Application* application) {
  return Fetch<TComPtr<_NameSpace>>(application, "Application.Session", &_Application::get_Session);
}

TComPtr<_NameSpace> GetNamespace(_Application* application, std::wstring_view type) {
  const TBstr typeText(type);
  return Fetch<TComPtr<_NameSpace>>(application, "Application.GetNamespace", &_Application::GetNamespace,
                                    typeText.Get());
}

TComPtr<_Explorer> ActiveExplorer(_Application* application) {
  return Fetch<TComPtr<_Explorer>>(application, "Application.ActiveExplorer", &_Application::ActiveExplorer);
}

TComPtr<_CommandBars> GetCommandBars(_Explorer* explorer) {
  return Fetch<TComPtr<_CommandBars>>(explorer, "Explorer.CommandBars", &_Explorer::get_CommandBars);
}

TComPtr<CommandBar> AddCommandBar(_CommandBars* bars, std::wstring_view name, MsoBarPosition position, bool menuBar,
                                  bool temporary) {
  const TBstr nameText(name);
  return Fetch<TComPtr<CommandBar>>(bars, "CommandBars.Add", &_CommandBars::Add, TextArg(nameText.Get()),
                                    LongArg(position), BoolArg(menuBar), BoolArg(temporary));
}

void SetVisible(CommandBar* bar, bool visible) {
  Call(bar, "CommandBar.Visible", &CommandBar::put_Visible, AsVariantBool(visible));
}

TComPtr<CommandBarControls> GetControls(CommandBar* bar) {
  return Fetch<TComPtr<CommandBarControls>>(bar, "CommandBar.Controls", &CommandBar::get_Controls);
}

TComPtr<CommandBarControl> AddControl(CommandBarControls* controls, MsoControlType type, long id, long parameter,
                                      long before, bool temporary) {
  return Fetch<TComPtr<CommandBarControl>>(controls, "CommandBarControls.Add", &CommandBarControls::Add,
                                           LongArg(type), LongArg(id), LongArg(parameter), LongArg(before),
                                           BoolArg(temporary));
}

TComPtr<_CommandBarButton> AsCommandBarButton(CommandBarControl* control) {
  return Query<_CommandBarButton>(control, IID__CommandBarButton, "CommandBarButton");
}

void SetStyle(_CommandBarButton* button, MsoButtonStyle style) {
  Call(button, "CommandBarButton.Style", &_CommandBarButton::put_Style, style);
}

void SetCaption(CommandBarControl* control, std::wstring_view caption) {
  const TBstr text(caption);
  Call(control, "CommandBarControl.Caption", &CommandBarControl::put_Caption, text.Get());
}

void SetTooltipText(CommandBarControl* control, std::wstring_view tooltip) {
  const TBstr text(tooltip);
  Call(control, "CommandBarControl.TooltipText", &CommandBarControl::put_TooltipText, text.Get());
}

void SetTag(CommandBarControl* control, std::wstring_view tag) {
  const TBstr text(tag);
  Call(control, "CommandBarControl.Tag", &CommandBarControl::put_Tag, text.Get());
}

TComPtr<_Folders> GetFolders(_NameSpace* nameSpace) {
  return Fetch<TComPtr<_Folders>>(nameSpace, "NameSpace.Folders", &_NameSpace::get_Folders);
}

TComPtr<MAPIFolder> GetDefaultFolder(_NameSpace* nameSpace, OlDefaultFolders kind) {
  return Fetch<TComPtr<MAPIFolder>>(nameSpace, "NameSpace.GetDefaultFolder", &_NameSpace::GetDefaultFolder, kind);
}

TComPtr<MAPIFolder> PickFolder(_NameSpace* nameSpace) {
  return Fetch<TComPtr<MAPIFolder>>(nameSpace, "NameSpace.PickFolder", &_NameSpace::PickFolder);
}

long GetCount(_Folders* folders) { return Fetch<long>(folders, "Folders.Count", &_Folders::get_Count); }

TComPtr<MAPIFolder> GetFirst(_Folders* folders) {
  return Fetch<TComPtr<MAPIFolder>>(folders, "Folders.GetFirst", &_Folders::GetFirst);
}

TComPtr<MAPIFolder> GetNext(_Folders* folders) {
  return Fetch<TComPtr<MAPIFolder>>(folders, "Folders.GetNext", &_Folders::GetNext);
}

std::wstring GetName(MAPIFolder* folder) {
  return Fetch<TBstr>(folder, "MAPIFolder.Name", &MAPIFolder::get_Name).Wide();
}

std::wstring GetEntryID(MAPIFolder* folder) {
  return Fetch<TBstr>(folder, "MAPIFolder.EntryID", &MAPIFolder::get_EntryID).Wide();
}

TComPtr<_Folders> GetFolders(MAPIFolder* folder) {
  return Fetch<TComPtr<_Folders>>(folder, "MAPIFolder.Folders", &MAPIFolder::get_Folders);
}

OlItemType GetDefaultItemType(MAPIFolder* folder) {
  return Fetch<OlItemType>(folder, "MAPIFolder.DefaultItemType", &MAPIFolder::get_DefaultItemType);
}

}  // namespace om
