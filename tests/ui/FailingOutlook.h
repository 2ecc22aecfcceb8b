// An Outlook application over the stand-in's own whose namespace fails
// chosen calls: GetDefaultFolder of one kind, or the store list. Everything
// else the folder tree asks goes to the stand-in. The objects live on the
// test's stack; their references are not counted.
#pragma once

#include "om/OutlookCalls.h"
#include "standin/OutlookDefaults.h"
#include "support/ComPtr.h"

namespace failing {

template <class Base>
struct Uncounted : Base {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

struct NameSpace : Uncounted<standin::NameSpaceDefaults> {
  TComPtr<_NameSpace> real;
  OlDefaultFolders failingKind = static_cast<OlDefaultFolders>(-1);
  HRESULT defaultFolderResult = S_OK;  // the answer for failingKind
  HRESULT foldersResult = S_OK;        // a failure here fails Folders
  int defaultFolderCalls = 0;

  HRESULT STDMETHODCALLTYPE get_Folders(_Folders** folders) override {
    if (FAILED(foldersResult)) {
      *folders = nullptr;
      return foldersResult;
    }
    return real->get_Folders(folders);
  }
  HRESULT STDMETHODCALLTYPE GetDefaultFolder(OlDefaultFolders kind, MAPIFolder** folder) override {
    ++defaultFolderCalls;
    if (kind == failingKind) {
      *folder = nullptr;
      return defaultFolderResult;
    }
    return real->GetDefaultFolder(kind, folder);
  }
};

struct Application : Uncounted<standin::ApplicationDefaults> {
  NameSpace nameSpace;

  // Serves the namespace of the stand-in application `real`.
  explicit Application(IDispatch* real) { nameSpace.real = om::GetSession(om::AsApplication(real).Get()); }
  HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** out) override {
    *out = &nameSpace;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetNamespace(BSTR, _NameSpace** out) override { return get_Session(out); }
};

}  // namespace failing
