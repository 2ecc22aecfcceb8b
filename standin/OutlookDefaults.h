// Bases that answer E_NOTIMPL for every member of an Outlook interface, over
// IDispatch without type information; the stand-in's classes override the
// members they serve.
#pragma once

#include "om/OutlookIntf.h"
#include "standin/NoTypeInfo.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

#define STANDIN_NOT_IMPL(name, params) \
  HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }

namespace standin {

template <class I>
struct DispatchDefaults : NoTypeInfo<I> {
  QUOP_OUTLOOK_COMMON_METHODS(STANDIN_NOT_IMPL)
};

struct ApplicationDefaults : DispatchDefaults<_Application> {
  QUOP_APPLICATION_METHODS(STANDIN_NOT_IMPL)
};
struct NameSpaceDefaults : DispatchDefaults<_NameSpace> {
  QUOP_NAMESPACE_METHODS(STANDIN_NOT_IMPL)
};
struct FoldersDefaults : DispatchDefaults<_Folders> {
  QUOP_FOLDERS_METHODS(STANDIN_NOT_IMPL)
};
struct MAPIFolderDefaults : DispatchDefaults<MAPIFolder> {
  QUOP_MAPIFOLDER_METHODS(STANDIN_NOT_IMPL)
};
struct ExplorerDefaults : DispatchDefaults<_Explorer> {
  QUOP_EXPLORER_METHODS(STANDIN_NOT_IMPL)
};

}  // namespace standin

#pragma GCC diagnostic pop
