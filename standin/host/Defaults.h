// Bases that answer E_NOTIMPL for every member of an Outlook or Office
// interface, and serve IDispatch without type information (add-ins call
// the host early bound); the host's classes override what they serve.
#pragma once

#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

#define HOST_NOT_IMPL(name, params) \
  HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }

namespace host {

template <class I>
struct NoTypeInfo : I {
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// IAccessible (slots 7-27), under the Office objects that derive from it.
template <class I>
struct NoAccessible : NoTypeInfo<I> {
  HOST_NOT_IMPL(get_accParent, (IDispatch * *parent))
  HOST_NOT_IMPL(get_accChildCount, (long* count))
  HOST_NOT_IMPL(get_accChild, (VARIANT child, IDispatch** out))
  HOST_NOT_IMPL(get_accName, (VARIANT child, BSTR* name))
  HOST_NOT_IMPL(get_accValue, (VARIANT child, BSTR* value))
  HOST_NOT_IMPL(get_accDescription, (VARIANT child, BSTR* text))
  HOST_NOT_IMPL(get_accRole, (VARIANT child, VARIANT* role))
  HOST_NOT_IMPL(get_accState, (VARIANT child, VARIANT* state))
  HOST_NOT_IMPL(get_accHelp, (VARIANT child, BSTR* help))
  HOST_NOT_IMPL(get_accHelpTopic, (BSTR * file, VARIANT child, long* topic))
  HOST_NOT_IMPL(get_accKeyboardShortcut, (VARIANT child, BSTR* shortcut))
  HOST_NOT_IMPL(get_accFocus, (VARIANT * child))
  HOST_NOT_IMPL(get_accSelection, (VARIANT * children))
  HOST_NOT_IMPL(get_accDefaultAction, (VARIANT child, BSTR* action))
  HOST_NOT_IMPL(accSelect, (long flags, VARIANT child))
  HOST_NOT_IMPL(accLocation, (long* left, long* top, long* width, long* height, VARIANT child))
  HOST_NOT_IMPL(accNavigate, (long dir, VARIANT start, VARIANT* end))
  HOST_NOT_IMPL(accHitTest, (long left, long top, VARIANT* child))
  HOST_NOT_IMPL(accDoDefaultAction, (VARIANT child))
  HOST_NOT_IMPL(put_accName, (VARIANT child, BSTR name))
  HOST_NOT_IMPL(put_accValue, (VARIANT child, BSTR value))
};

struct ExplorerDefaults : NoTypeInfo<_Explorer> {
  QUOP_OUTLOOK_COMMON_METHODS(HOST_NOT_IMPL)
  QUOP_EXPLORER_METHODS(HOST_NOT_IMPL)
};
struct CommandBarsDefaults : NoTypeInfo<_CommandBars> {
  QUOP_IMSODISPOBJ_METHODS(HOST_NOT_IMPL)
  QUOP_COMMANDBARS_METHODS(HOST_NOT_IMPL)
};
struct CommandBarDefaults : NoAccessible<CommandBar> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(HOST_NOT_IMPL)
  QUOP_COMMANDBAR_METHODS(HOST_NOT_IMPL)
};
struct CommandBarControlsDefaults : NoTypeInfo<CommandBarControls> {
  QUOP_IMSODISPOBJ_METHODS(HOST_NOT_IMPL)
  QUOP_COMMANDBARCONTROLS_METHODS(HOST_NOT_IMPL)
};
struct CommandBarButtonDefaults : NoAccessible<_CommandBarButton> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(HOST_NOT_IMPL)
  QUOP_COMMANDBARCONTROL_METHODS(HOST_NOT_IMPL)
  QUOP_COMMANDBARBUTTON_METHODS(HOST_NOT_IMPL)
};

}  // namespace host

#pragma GCC diagnostic pop
