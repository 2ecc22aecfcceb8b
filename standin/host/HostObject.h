// The reference-counting base of the host's COM objects. Every object
// counts in LiveObjects() from construction to destruction, so a test can
// see that the host and its add-ins released everything.
#pragma once

#include <windows.h>
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
  virtual ~HostObject() { CountObject(-1); }
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
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

 private:
  LONG refs_ = 1;
};

}  // namespace host
