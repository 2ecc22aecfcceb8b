// OpenProperty of messages and attachments: a string or binary value whole,
// however large, as a read-only IStream with no terminator. Seek moves only
// by 0, as the documentation asks of callers.
#include <algorithm>
#include <cstring>

#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class PropertyStream final : public ComObject<IStream> {
 public:
  PropertyStream(std::string owner, std::string bytes, std::shared_ptr<StoreData> store)
      : FOwner(std::move(owner)), FBytes(std::move(bytes)), FStore(std::move(store)) {}

  STDMETHODIMP Read(void* into, ULONG size, ULONG* read) override {
    auto lock = LockState();
    if (read != nullptr) *read = 0;
    if (into == nullptr) return STG_E_INVALIDPOINTER;
    if (HRESULT hr = ServeCall("Read", FOwner, FStore.get()); FAILED(hr)) return hr;
    const size_t n = std::min<size_t>(size, FBytes.size() - FPosition);
    std::memcpy(into, FBytes.data() + FPosition, n);
    FPosition += n;
    if (read != nullptr) *read = static_cast<ULONG>(n);
    return S_OK;
  }

  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    auto lock = LockState();
    if (HRESULT hr = ServeCall("Seek", FOwner, FStore.get()); FAILED(hr)) return hr;
    if (move.QuadPart != 0) return STG_E_INVALIDFUNCTION;
    switch (origin) {
      case STREAM_SEEK_SET: FPosition = 0; break;
      case STREAM_SEEK_CUR: break;
      case STREAM_SEEK_END: FPosition = FBytes.size(); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    if (position != nullptr) position->QuadPart = FPosition;
    return S_OK;
  }

  // The size; no name is ever given, whatever the flag.
  STDMETHODIMP Stat(STATSTG* stat, DWORD /*flag*/) override {
    auto lock = LockState();
    if (stat == nullptr) return STG_E_INVALIDPOINTER;
    if (HRESULT hr = ServeCall("Stat", FOwner, FStore.get()); FAILED(hr)) return hr;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = FBytes.size();
    stat->grfMode = STGM_READ;
    return S_OK;
  }

  STDMETHODIMP Write(const void*, ULONG, ULONG* written) override {
    if (written != nullptr) *written = 0;
    return STG_E_ACCESSDENIED;
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP Revert() override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP Clone(IStream** clone) override {
    if (clone != nullptr) *clone = nullptr;
    return E_NOTIMPL;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream};
    return kInterfaces;
  }

 private:
  std::string FOwner;
  std::string FBytes;
  std::shared_ptr<StoreData> FStore;
  size_t FPosition = 0;
  TypeCount FCount{ObjectType::Stream};
};

bool Streamable(ULONG tag) {
  const ULONG type = PROP_TYPE(tag);
  return type == PT_STRING8 || type == PT_UNICODE || type == PT_BINARY;
}

}  // namespace

IStream* NewPropertyStream(std::string owner, std::string bytes, std::shared_ptr<StoreData> store) {
  return new PropertyStream(std::move(owner), std::move(bytes), std::move(store));
}

HRESULT OpenPropertyStream(const PropBag& props, std::string_view target, const std::shared_ptr<StoreData>& store,
                           ULONG tag, LPCIID iid, ULONG options, ULONG flags, LPUNKNOWN* out) {
  if (out == nullptr || iid == nullptr) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  if (HRESULT hr = ServeCall("OpenProperty", target, store.get()); FAILED(hr)) return hr;
  if (!IsEqualIID(*iid, IID_IStream)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
  if ((flags & (MAPI_CREATE | MAPI_MODIFY)) != 0 || (options & (STGM_WRITE | STGM_READWRITE)) != 0)
    return MAPI_E_NO_ACCESS;
  // As Exchange answers: a subject is short, and no stream is kept for it.
  if (PROP_ID(tag) == PROP_ID(PR_SUBJECT)) return MAPI_E_NO_ACCESS;
  if (!Streamable(tag)) return MAPI_E_NO_SUPPORT;
  const Prop* p = props.Find(tag);
  if (p == nullptr) return MAPI_E_NOT_FOUND;
  *out = NewPropertyStream(std::string(target), Serve(*p, PROP_TYPE(tag)).bytes, store);
  return S_OK;
}

}  // namespace standin
