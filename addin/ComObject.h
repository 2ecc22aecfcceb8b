// The reference count and QueryInterface of the add-in's own COM objects
// (the add-in object and the button's event sink). Each counts as an
// object of the server from construction to destruction: Office may hold a
// sink after the add-in has let go of it, and the library must stay loaded
// as long as any of its objects lives (DllCanUnloadNow).
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "addin/ComServer.h"

// TInterfaces: the interfaces the class derives from; one QueryInterface,
// AddRef and Release serve them all. Find() answers QueryInterface.
template <class... TInterfaces>
class TComObject : public TInterfaces... {
 public:
  TComObject(const TComObject&) = delete;
  TComObject& operator=(const TComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = Find(riid);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&FRefs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return refs;
  }

 protected:
  // Made with one reference, the creator's.
  TComObject() { comserver::ObjectCreated(); }
  virtual ~TComObject() { comserver::ObjectDestroyed(); }
  // The interface pointer that answers riid, or null.
  virtual void* Find(REFIID riid) = 0;

 private:
  LONG FRefs = 1;
};
