// Bases that answer E_NOTIMPL for every member of an Outlook interface and
// serve IDispatch without type information (the product calls early bound
// only); the stand-in's classes override the members they serve.
#pragma once

#include "om/OutlookIntf.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

#define STANDIN_NOT_IMPL(name, params) \
  HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }

namespace standin {

template <class I>
struct DispatchDefaults : I {
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
