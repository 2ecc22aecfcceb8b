#include "standin/host/HostRibbon.h"

#include "standin/host/RibbonControl.h"

namespace host {

bool THostRibbon::Add(const std::wstring& progId, IDispatch* callbacks, const std::wstring& xml, IDispatch* context,
                      std::wstring* error) {
  RibbonXml parsed;
  if (!ParseRibbonXml(xml, &parsed, error)) return false;
  for (RibbonGroupXml& read : parsed.groups) {
    Group group{progId, TComPtr<IDispatch>::Share(callbacks), std::move(read), {}};
    for (const RibbonButtonXml& buttonXml : group.xml.buttons) {
      Button button{{buttonXml}, NewRibbonControl(buttonXml.id, buttonXml.tag, TComPtr<IDispatch>::Share(context)), {}};
      FetchImage(group, button);
      group.buttons.push_back(std::move(button));
    }
    group.xml.buttons.clear();  // kept once, in the records
    groups_.push_back(std::move(group));
  }
  return true;
}

void THostRibbon::FetchImage(Group& group, Button& button) {
  const std::wstring& callback = button.record.xml.getImage;
  if (callback.empty()) return;
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = InvokeRibbonCallback(group.callbacks.Get(), callback, button.control.Get(), &result);
  if (SUCCEEDED(hr)) {
    const bool object = (result.vt == VT_DISPATCH || result.vt == VT_UNKNOWN) && result.punkVal != nullptr;
    hr = object ? result.punkVal->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&button.picture))
                : DISP_E_TYPEMISMATCH;
  }
  VariantClear(&result);
  button.record.imageResult = hr;
  if (button.picture) button.picture->get_Type(&button.record.pictureType);
}

void THostRibbon::Remove(const std::wstring& progId) {
  std::erase_if(groups_, [&](const Group& group) { return lstrcmpiW(group.progId.c_str(), progId.c_str()) == 0; });
}

std::vector<RibbonGroupRecord> THostRibbon::Records() const {
  std::vector<RibbonGroupRecord> records;
  for (const Group& group : groups_) {
    RibbonGroupRecord record{group.progId, group.xml, {}};
    for (const Button& button : group.buttons) record.buttons.push_back(button.record);
    records.push_back(std::move(record));
  }
  return records;
}

HANDLE THostRibbon::Image(size_t group, size_t button, SHORT* type) const {
  *type = PICTYPE_NONE;
  if (group >= groups_.size() || button >= groups_[group].buttons.size()) return nullptr;
  const TComPtr<IPicture>& picture = groups_[group].buttons[button].picture;
  OLE_HANDLE handle = 0;
  if (!picture || FAILED(picture->get_Handle(&handle)) || FAILED(picture->get_Type(type))) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
}

HRESULT THostRibbon::Press(size_t group, size_t button) {
  if (group >= groups_.size() || button >= groups_[group].buttons.size()) return E_INVALIDARG;
  Group& pressedGroup = groups_[group];
  Button& pressed = pressedGroup.buttons[button];
  ++pressed.record.clicks;
  const std::wstring& callback = pressed.record.xml.onAction;
  if (callback.empty()) return pressed.record.lastAction = S_FALSE;
  // The group may go during the call (the add-in could be disconnected):
  // the call holds its own references.
  const TComPtr<IDispatch> callbacks = TComPtr<IDispatch>::Share(pressedGroup.callbacks.Get());
  const TComPtr<IRibbonControl> control = TComPtr<IRibbonControl>::Share(pressed.control.Get());
  const HRESULT hr = InvokeRibbonCallback(callbacks.Get(), callback, control.Get(), nullptr);
  if (group < groups_.size() && button < groups_[group].buttons.size()) {
    groups_[group].buttons[button].record.lastAction = hr;
  }
  return hr;
}

}  // namespace host
