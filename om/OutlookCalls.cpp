#include "om/OutlookCalls.h"

#include <cstdio>

namespace {

std::string CodeText(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

// Raises for a null object before it is called.
template <class T>
T* Need(T* object, const char* operation) {
  if (object == nullptr) CheckOle(E_POINTER, operation);
  return object;
}

VARIANT LongArg(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT BoolArg(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// A text argument that borrows `text`, which outlives the call.
VARIANT TextArg(const TBstr& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text.Get();
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

TComPtr<_Application> AsApplication(IDispatch* application) {
  return Query<_Application>(application, IID__Application, "Application");
}

TComPtr<_NameSpace> GetSession(_Application* application) {
  TComPtr<_NameSpace> result;
  CheckOle(Need(application, "Application.Session")->get_Session(&result), "Application.Session");
  return result;
}

TComPtr<_NameSpace> GetNamespace(_Application* application, std::wstring_view type) {
  TBstr typeText(type);
  TComPtr<_NameSpace> result;
  CheckOle(Need(application, "Application.GetNamespace")->GetNamespace(typeText.Get(), &result),
           "Application.GetNamespace");
  return result;
}

TComPtr<_Explorer> ActiveExplorer(_Application* application) {
  TComPtr<_Explorer> result;
  CheckOle(Need(application, "Application.ActiveExplorer")->ActiveExplorer(&result), "Application.ActiveExplorer");
  return result;
}

TComPtr<_CommandBars> GetCommandBars(_Explorer* explorer) {
  TComPtr<_CommandBars> result;
  CheckOle(Need(explorer, "Explorer.CommandBars")->get_CommandBars(&result), "Explorer.CommandBars");
  return result;
}

TComPtr<CommandBar> AddCommandBar(_CommandBars* bars, std::wstring_view name, MsoBarPosition position, bool menuBar,
                                  bool temporary) {
  TBstr nameText(name);
  TComPtr<CommandBar> result;
  CheckOle(Need(bars, "CommandBars.Add")
               ->Add(TextArg(nameText), LongArg(position), BoolArg(menuBar), BoolArg(temporary), &result),
           "CommandBars.Add");
  return result;
}

void SetVisible(CommandBar* bar, bool visible) {
  CheckOle(Need(bar, "CommandBar.Visible")->put_Visible(AsVariantBool(visible)), "CommandBar.Visible");
}

TComPtr<CommandBarControls> GetControls(CommandBar* bar) {
  TComPtr<CommandBarControls> result;
  CheckOle(Need(bar, "CommandBar.Controls")->get_Controls(&result), "CommandBar.Controls");
  return result;
}

TComPtr<CommandBarControl> AddControl(CommandBarControls* controls, MsoControlType type, long id, long parameter,
                                      long before, bool temporary) {
  TComPtr<CommandBarControl> result;
  CheckOle(Need(controls, "CommandBarControls.Add")
               ->Add(LongArg(type), LongArg(id), LongArg(parameter), LongArg(before), BoolArg(temporary), &result),
           "CommandBarControls.Add");
  return result;
}

TComPtr<_CommandBarButton> AsCommandBarButton(CommandBarControl* control) {
  return Query<_CommandBarButton>(control, IID__CommandBarButton, "CommandBarButton");
}

void SetStyle(_CommandBarButton* button, MsoButtonStyle style) {
  CheckOle(Need(button, "CommandBarButton.Style")->put_Style(style), "CommandBarButton.Style");
}

void SetCaption(CommandBarControl* control, std::wstring_view caption) {
  TBstr text(caption);
  CheckOle(Need(control, "CommandBarControl.Caption")->put_Caption(text.Get()), "CommandBarControl.Caption");
}

void SetTooltipText(CommandBarControl* control, std::wstring_view tooltip) {
  TBstr text(tooltip);
  CheckOle(Need(control, "CommandBarControl.TooltipText")->put_TooltipText(text.Get()),
           "CommandBarControl.TooltipText");
}

void SetTag(CommandBarControl* control, std::wstring_view tag) {
  TBstr text(tag);
  CheckOle(Need(control, "CommandBarControl.Tag")->put_Tag(text.Get()), "CommandBarControl.Tag");
}

TComPtr<_Folders> GetFolders(_NameSpace* nameSpace) {
  TComPtr<_Folders> result;
  CheckOle(Need(nameSpace, "NameSpace.Folders")->get_Folders(&result), "NameSpace.Folders");
  return result;
}

TComPtr<MAPIFolder> GetDefaultFolder(_NameSpace* nameSpace, OlDefaultFolders kind) {
  TComPtr<MAPIFolder> result;
  CheckOle(Need(nameSpace, "NameSpace.GetDefaultFolder")->GetDefaultFolder(kind, &result),
           "NameSpace.GetDefaultFolder");
  return result;
}

TComPtr<MAPIFolder> PickFolder(_NameSpace* nameSpace) {
  TComPtr<MAPIFolder> result;
  CheckOle(Need(nameSpace, "NameSpace.PickFolder")->PickFolder(&result), "NameSpace.PickFolder");
  return result;
}

long GetCount(_Folders* folders) {
  long count = 0;
  CheckOle(Need(folders, "Folders.Count")->get_Count(&count), "Folders.Count");
  return count;
}

TComPtr<MAPIFolder> GetFirst(_Folders* folders) {
  TComPtr<MAPIFolder> result;
  CheckOle(Need(folders, "Folders.GetFirst")->GetFirst(&result), "Folders.GetFirst");
  return result;
}

TComPtr<MAPIFolder> GetNext(_Folders* folders) {
  TComPtr<MAPIFolder> result;
  CheckOle(Need(folders, "Folders.GetNext")->GetNext(&result), "Folders.GetNext");
  return result;
}

std::wstring GetName(MAPIFolder* folder) {
  TBstr text;
  CheckOle(Need(folder, "MAPIFolder.Name")->get_Name(&text), "MAPIFolder.Name");
  return text.Wide();
}

std::wstring GetEntryID(MAPIFolder* folder) {
  TBstr text;
  CheckOle(Need(folder, "MAPIFolder.EntryID")->get_EntryID(&text), "MAPIFolder.EntryID");
  return text.Wide();
}

TComPtr<_Folders> GetFolders(MAPIFolder* folder) {
  TComPtr<_Folders> result;
  CheckOle(Need(folder, "MAPIFolder.Folders")->get_Folders(&result), "MAPIFolder.Folders");
  return result;
}

OlItemType GetDefaultItemType(MAPIFolder* folder) {
  OlItemType type = olMailItem;
  CheckOle(Need(folder, "MAPIFolder.DefaultItemType")->get_DefaultItemType(&type), "MAPIFolder.DefaultItemType");
  return type;
}

}  // namespace om
