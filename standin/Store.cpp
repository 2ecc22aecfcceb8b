// IMsgStore: its properties (special-folder identifiers among them), the
// receive folder, and folders and messages of this store by entry identifier.
#include <cstring>

#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Store final : public ComObject<MsgStoreDefaults> {
 public:
  Store(std::shared_ptr<StoreData> data, std::shared_ptr<Logon> logon)
      : FData(std::move(data)), FLogon(std::move(logon)) {}
  const std::shared_ptr<StoreData>& Data() const { return FData; }

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(StoreProps(*FData), FData->name, FData.get(), tags, flags, count, values);
  }

  // Every class goes to the one receive folder; with MAPI_UNICODE the
  // explicit class comes back as an empty UTF-16 text.
  STDMETHODIMP GetReceiveFolder(LPTSTR /*messageClass*/, ULONG flags, ULONG* size, LPENTRYID* entryId,
                                LPTSTR* explicitClass) override {
    auto lock = LockState();
    if (size == nullptr || entryId == nullptr) return MAPI_E_INVALID_PARAMETER;
    *size = 0;
    *entryId = nullptr;
    if (explicitClass != nullptr) *explicitClass = nullptr;
    if (HRESULT hr = ServeCall("GetReceiveFolder", FData->name, FData.get()); FAILED(hr)) return hr;
    auto inbox = FData->FolderWithRole("inbox");
    if (!inbox) return MAPI_E_NOT_FOUND;
    const Bytes id = EntryId(FData->uid, inbox->id);
    Buffer buffer;
    if (FAILED(buffer.Allocate(static_cast<ULONG>(id.size())))) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::memcpy(buffer.As<char>(), id.data(), id.size());
    if (explicitClass != nullptr) {
      Buffer text;  // zeroed: an empty text of either width
      if (FAILED(text.Allocate((flags & MAPI_UNICODE) != 0 ? sizeof(wchar_t) : 1))) return MAPI_E_NOT_ENOUGH_MEMORY;
      *explicitClass = static_cast<LPTSTR>(text.Release());
    }
    *size = static_cast<ULONG>(id.size());
    *entryId = static_cast<LPENTRYID>(buffer.Release());
    return S_OK;
  }

  STDMETHODIMP OpenEntry(ULONG size, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objType,
                         LPUNKNOWN* out) override {
    auto lock = LockState();
    if (size == 0 && FData->subtree) {
      // The store's root: this provider's top folder is the IPM subtree.
      const Bytes id = EntryId(FData->uid, FData->subtree->id);
      return OpenByEntryId(FData.get(), FData->name, FLogon, static_cast<ULONG>(id.size()),
                           reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), iid, flags, objType, out);
    }
    return OpenByEntryId(FData.get(), FData->name, FLogon, size, entryId, iid, flags, objType, out);
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IMsgStore};
    return kInterfaces;
  }

 private:
  std::shared_ptr<StoreData> FData;
  std::shared_ptr<Logon> FLogon;
  TypeCount FCount{ObjectType::Store};
};

}  // namespace

IMsgStore* NewStore(std::shared_ptr<StoreData> store, std::shared_ptr<Logon> logon) {
  return new Store(std::move(store), std::move(logon));
}

std::shared_ptr<StoreData> StoreBehind(void* store) {
  auto* own = dynamic_cast<Store*>(static_cast<IMsgStore*>(store));
  return own != nullptr ? own->Data() : nullptr;
}

}  // namespace standin
