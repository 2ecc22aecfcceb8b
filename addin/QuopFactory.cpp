#include "addin/QuopFactory.h"

#include "support/BstrHolder.h"
#include "addin/ComBoundary.h"
#include "addin/ComServer.h"
#include "addin/QuopDuplicate_TLB.h"
#include "addin/uAddIn.h"
#include "support/ComPtr.h"

namespace {

// Name and help string of one entry of the type library, or of a type
// (index MEMBERID_NIL: the type itself; -1 of a library: the library).
template <class TDocumented>
void ReadDocumentation(TDocumented* source, int index, std::wstring* name, std::wstring* doc) {
  TBstr bstrName, bstrDoc;
  if (SUCCEEDED(source->GetDocumentation(index, &bstrName, &bstrDoc, nullptr, nullptr))) {
    if (name) *name = bstrName.Wide();
    if (doc) *doc = bstrDoc.Wide();
  }
}

}  // namespace

TQuopFactory& TQuopFactory::Instance() {
  static TQuopFactory factory;
  return factory;
}

TQuopFactory::TQuopFactory() {
  ITypeLib* lib = comserver::TypeLib();
  if (lib == nullptr) return;
  ReadDocumentation(lib, -1, &FServerName, nullptr);
  TComPtr<ITypeInfo> classInfo;
  if (SUCCEEDED(lib->GetTypeInfoOfGuid(CLSID_AddIn, &classInfo))) {
    ReadDocumentation(classInfo.Get(), MEMBERID_NIL, &FClassName, &FDescription);
  }
}

const CLSID& TQuopFactory::ClassId() const { return CLSID_AddIn; }

std::wstring TQuopFactory::ProgId() const { return FServerName + L"." + FClassName; }

HRESULT STDMETHODCALLTYPE TQuopFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

// The factory lives as long as the library: its references only keep the
// library loaded.
ULONG STDMETHODCALLTYPE TQuopFactory::AddRef() {
  comserver::FactoryLocked();
  return static_cast<ULONG>(InterlockedIncrement(&FRefCount));
}

ULONG STDMETHODCALLTYPE TQuopFactory::Release() {
  comserver::FactoryUnlocked();
  return static_cast<ULONG>(InterlockedDecrement(&FRefCount));
}

HRESULT STDMETHODCALLTYPE TQuopFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return comserver::Guarded("CreateInstance", E_UNEXPECTED, [&] { return CreateAddIn(riid, ppv); });
}

HRESULT STDMETHODCALLTYPE TQuopFactory::LockServer(BOOL bLock) {
  if (bLock) {
    comserver::FactoryLocked();
  } else {
    comserver::FactoryUnlocked();
  }
  return S_OK;
}
