// Bases that answer E_NOTIMPL for every member of an Outlook or Office
// interface, and serve IDispatch without type information (add-ins call
// the host early bound); the host's classes override what they serve.
#pragma once

#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"
#include "standin/NoTypeInfo.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

#define HOST_NOT_IMPL(name, params) \
  HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }

namespace host {

using standin::NoTypeInfo;

// IAccessible (slots 7-27), under the Office objects that derive from it.
template <class I>
struct NoAccessible : NoTypeInfo<I> {
  QUOP_IACCESSIBLE_METHODS(HOST_NOT_IMPL)
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
