// IMAPIFolder: properties, hierarchy and contents tables, messages by entry
// identifier, DeleteMessages and CopyMessages (MESSAGE_MOVE) on the profile.
#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

void AddSubtree(const FolderData& folder, std::vector<PropBag>& rows, bool deep) {
  for (const auto& child : folder.folders) {
    rows.push_back(FolderProps(*child));
    if (deep) AddSubtree(*child, rows, deep);
  }
}

class Folder final : public ComObject<FolderDefaults> {
 public:
  Folder(std::shared_ptr<FolderData> data, bool writable, OpenedIn in, OpenSlot slot)
      : FData(std::move(data)), FWritable(writable), FIn(std::move(in)), FSlot(std::move(slot)) {}
  const std::shared_ptr<FolderData>& Data() const { return FData; }

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(FolderProps(*FData), FData->name, FIn.store.get(), tags, flags, count, values);
  }

  STDMETHODIMP GetHierarchyTable(ULONG flags, LPMAPITABLE* table) override {
    auto lock = LockState();
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (HRESULT hr = ServeCall("GetHierarchyTable", FData->name, FIn.store.get()); FAILED(hr)) return hr;
    std::vector<PropBag> rows;
    AddSubtree(*FData, rows, (flags & CONVENIENT_DEPTH) != 0);
    *table = NewTable(FData->name, RowsOf(std::move(rows)), {PR_ENTRYID, PR_DISPLAY_NAME_A, PR_CONTAINER_CLASS_A},
                      TableOptions{FIn.store, (flags & MAPI_UNICODE) != 0});
    return S_OK;
  }

  STDMETHODIMP GetContentsTable(ULONG flags, LPMAPITABLE* table) override {
    auto lock = LockState();
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (HRESULT hr = ServeCall("GetContentsTable", FData->name, FIn.store.get()); FAILED(hr)) return hr;
    // Associated contents: none.
    auto rows = (flags & MAPI_ASSOCIATED) == 0 ? MessageRows(FIn.store, FData->messages) : RowsOf({});
    *table = NewTable(FData->name, std::move(rows), {PR_ENTRYID, PR_SUBJECT_A, PR_MESSAGE_CLASS_A},
                      TableOptions{FIn.store, (flags & MAPI_UNICODE) != 0});
    return S_OK;
  }

  STDMETHODIMP OpenEntry(ULONG size, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objType,
                         LPUNKNOWN* out) override {
    auto lock = LockState();
    return OpenByEntryId(FIn.store.get(), FData->name, FIn.logon, size, entryId, iid, flags, objType, out);
  }

  // The window parameter is ULONG_PTR in MAPI's own headers and ULONG in
  // mingw-w64's; both take a full register on x64, so the slot is the same.
  STDMETHODIMP DeleteMessages(LPENTRYLIST list, ULONG /*ui*/, LPMAPIPROGRESS /*progress*/,
                              ULONG /*flags*/) override {
    auto lock = LockState();
    if (list == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (!FWritable) return MAPI_E_NO_ACCESS;
    if (HRESULT hr = ServeCall("DeleteMessages", FData->name, FIn.store.get()); FAILED(hr)) return hr;
    bool partial = false;
    for (ULONG i = 0; i < list->cValues; ++i) {
      Bytes uid, id;
      const SBinary& eid = list->lpbin[i];
      if (!SplitEntryId(eid.cb, eid.lpb, uid, id) || uid != FData->storeUid || !DeleteMessage(*FIn.store, *FData, id))
        partial = true;
    }
    return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
  }

  STDMETHODIMP CopyMessages(LPENTRYLIST list, LPCIID iid, LPVOID destination, ULONG /*ui*/,
                            LPMAPIPROGRESS /*progress*/, ULONG flags) override {
    auto lock = LockState();
    if (list == nullptr || destination == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (iid != nullptr && !IsEqualIID(*iid, IID_IMAPIFolder)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    auto* target = dynamic_cast<Folder*>(static_cast<IMAPIFolder*>(destination));
    if (target == nullptr) return MAPI_E_INVALID_PARAMETER;
    const bool move = (flags & MESSAGE_MOVE) != 0;
    if (!target->FWritable || (move && !FWritable)) return MAPI_E_NO_ACCESS;
    // A chosen failure may let the first entries be carried out, as a store
    // that gives up part way through a list does.
    ULONG carryOut = 0;
    const HRESULT fault = ServeCall("CopyMessages", FData->name, FIn.store.get(), target->FData->name, &carryOut);
    if (FAILED(fault) && carryOut == 0) return fault;
    StoreData& store = *FIn.store;
    bool partial = false;
    for (ULONG i = 0; i < (carryOut != 0 ? std::min(carryOut, list->cValues) : list->cValues); ++i) {
      Bytes uid, id;
      const SBinary& eid = list->lpbin[i];
      std::optional<MessageRef> message;
      if (SplitEntryId(eid.cb, eid.lpb, uid, id) && uid == FData->storeUid) message = store.FindMessage(id);
      if (!message || store.FolderOf(*message) != FData.get()) {
        partial = true;
        continue;
      }
      CopyMessage(*Global().profile, store, *message, *target->FData, move);
    }
    if (carryOut != 0) return fault;
    return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IMAPIContainer, &IID_IMAPIFolder};
    return kInterfaces;
  }

 private:
  std::shared_ptr<FolderData> FData;
  bool FWritable;
  OpenedIn FIn;
  OpenSlot FSlot;
  TypeCount FCount{ObjectType::Folder};
};

}  // namespace

IMAPIFolder* NewFolder(std::shared_ptr<FolderData> folder, bool writable, OpenedIn in, OpenSlot slot) {
  return new Folder(std::move(folder), writable, std::move(in), std::move(slot));
}

std::shared_ptr<FolderData> FolderBehind(void* folder) {
  auto* own = dynamic_cast<Folder*>(static_cast<IMAPIFolder*>(folder));
  return own != nullptr ? own->Data() : nullptr;
}

}  // namespace standin
