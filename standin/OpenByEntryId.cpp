// OpenEntry of the session and of a store: a folder or a message found by its
// long-term entry identifier.
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

bool Answers(LPCIID iid, const IID& own) {
  return iid == nullptr || IsEqualIID(*iid, own) || IsEqualIID(*iid, IID_IMAPIProp) || IsEqualIID(*iid, IID_IUnknown) ||
         (IsEqualIID(own, IID_IMAPIFolder) && IsEqualIID(*iid, IID_IMAPIContainer));
}

}  // namespace

HRESULT OpenByEntryId(const StoreData* onlyStore, std::string_view caller, ULONG size, LPENTRYID entryId,
                      LPCIID iid, ULONG flags, ULONG* objType, LPUNKNOWN* out) {
  if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  State& state = Global();
  if (!state.profile) return MAPI_E_NOT_FOUND;
  Bytes uid, id;
  if (!SplitEntryId(size, entryId, uid, id)) return MAPI_E_INVALID_ENTRYID;
  StoreData* store = state.profile->StoreByUid(uid);
  if (store == nullptr) return onlyStore != nullptr ? MAPI_E_INVALID_ENTRYID : MAPI_E_UNKNOWN_ENTRYID;
  if (onlyStore != nullptr && store != onlyStore) return MAPI_E_INVALID_ENTRYID;
  const bool writable = (flags & (MAPI_MODIFY | MAPI_BEST_ACCESS)) != 0;

  if (auto f = store->folders.find(id); f != store->folders.end()) {
    if (HRESULT hr = state.faults.Check("OpenEntry", caller, f->second->name); FAILED(hr)) return hr;
    if (!Answers(iid, IID_IMAPIFolder)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (objType != nullptr) *objType = MAPI_FOLDER;
    *out = NewFolder(f->second, writable);
    return S_OK;
  }
  if (auto m = store->messages.find(id); m != store->messages.end()) {
    if (HRESULT hr = state.faults.Check("OpenEntry", caller, m->second->Subject()); FAILED(hr)) return hr;
    if (!Answers(iid, IID_IMessage)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (objType != nullptr) *objType = MAPI_MESSAGE;
    *out = NewMessage(m->second, writable);
    return S_OK;
  }
  return MAPI_E_NOT_FOUND;
}

}  // namespace standin
