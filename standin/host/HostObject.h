// The reference-counting base of the host's COM objects. Every object
// counts in LiveObjects() from construction to destruction, so a test can
// see that the host and its add-ins released everything.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>

namespace host {

// Host objects created and not yet destroyed, over all classes.
long LiveObjects();
void CountObject(int delta);

// Primary is the interface the object is created as; Find() answers
// QueryInterface (null: not supported).
template <class Primary>
class HostObject : public Primary {
 public:
  HostObject() { CountObject(+1); }
  virtual ~HostObject() {
    if (ftm_) ftm_->Release();
    CountObject(-1);
  }
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IMarshal) && Agile()) return FreeThreadedMarshaler(out);
    *out = Find(riid);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return refs;
  }

 protected:
  virtual void* Find(REFIID riid) = 0;
  // An agile object is handed to other apartments as it is (the free-
  // threaded marshaler); the others stay on the host's thread.
  virtual bool Agile() const { return false; }

 private:
  HRESULT FreeThreadedMarshaler(void** out) {
    if (!ftm_) {
      IUnknown* made = nullptr;
      const HRESULT hr = CoCreateFreeThreadedMarshaler(static_cast<Primary*>(this), &made);
      if (FAILED(hr)) return hr;
      if (InterlockedCompareExchangePointer(reinterpret_cast<void**>(&ftm_), made, nullptr) != nullptr)
        made->Release();
    }
    return ftm_->QueryInterface(IID_IMarshal, out);
  }

  LONG refs_ = 1;
  IUnknown* ftm_ = nullptr;
};

}  // namespace host
