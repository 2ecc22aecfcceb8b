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
  virtual ~ComObject() { CountObject(-1); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_INVALIDARG;
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

 private:
  LONG FRefs = 1;
};

}  // namespace standin
