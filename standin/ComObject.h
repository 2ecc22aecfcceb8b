// The one reference-counting base of the provider's COM objects, with a
// QueryInterface driven by each class's table of interface identifiers.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <span>

namespace standin {

// Objects created and not yet destroyed, over all classes.
long LiveObjects();
void CountObject(int delta);

template <class Interface>
class ComObject : public Interface {
 public:
  ComObject() { CountObject(+1); }
  virtual ~ComObject() {
    if (FFtm) FFtm->Release();
    CountObject(-1);
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_INVALIDARG;
    if (IsEqualIID(riid, IID_IMarshal) && Agile()) return FreeThreadedMarshaler(out);
    for (const IID* iid : Interfaces()) {
      if (IsEqualIID(riid, *iid)) {
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
      }
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&FRefs); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return refs;
  }

 protected:
  // The interfaces this object answers, IID_IUnknown included.
  virtual std::span<const IID* const> Interfaces() const = 0;
  // An agile object is handed between apartments as it is (the free-
  // threaded marshaler): the object model's objects, which take the
  // provider's lock on every call, so a window thread may use what the
  // host's thread was given, as it would with Outlook's own proxies.
  virtual bool Agile() const { return false; }

 private:
  HRESULT FreeThreadedMarshaler(void** out) {
    if (!FFtm) {
      IUnknown* made = nullptr;
      const HRESULT hr = CoCreateFreeThreadedMarshaler(static_cast<Interface*>(this), &made);
      if (FAILED(hr)) return hr;
      if (InterlockedCompareExchangePointer(reinterpret_cast<void**>(&FFtm), made, nullptr) != nullptr)
        made->Release();  // another thread made it first
    }
    return FFtm->QueryInterface(IID_IMarshal, out);
  }

  LONG FRefs = 1;
  IUnknown* FFtm = nullptr;  // the aggregated free-threaded marshaler, when asked for
};

}  // namespace standin
