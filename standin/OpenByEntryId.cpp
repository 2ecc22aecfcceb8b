// OpenEntry of the session and of a store: a folder or a message found by its
// long-term entry identifier.
#include "standin/Calls.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

bool Answers(LPCIID iid, const IID& own) {
  return iid == nullptr || IsEqualIID(*iid, own) || IsEqualIID(*iid, IID_IMAPIProp) || IsEqualIID(*iid, IID_IUnknown) ||
         (IsEqualIID(own, IID_IMAPIFolder) && IsEqualIID(*iid, IID_IMAPIContainer));
}

// What an entry identifier names in the profile; empty members when nothing.
struct Found {
  bool parsed = false;
  std::shared_ptr<StoreData> store;
  std::shared_ptr<FolderData> folder;
  std::shared_ptr<const MessageData> message;

  std::string Name() const { return folder ? folder->name : message ? message->Subject() : std::string(); }
};

Found Find(const Profile* profile, ULONG size, LPENTRYID entryId) {
  Found found;
  Bytes uid, id;
  found.parsed = SplitEntryId(size, entryId, uid, id);
  if (!found.parsed || profile == nullptr) return found;
  found.store = profile->FindStore(uid);
  if (!found.store) return found;
  if (auto f = found.store->folders.find(id); f != found.store->folders.end()) found.folder = f->second;
  else if (auto m = found.store->FindMessage(id)) found.message = found.store->Materialize(*m);
  return found;
}

}  // namespace

HRESULT OpenByEntryId(const StoreData* onlyStore, std::string_view caller, const std::shared_ptr<Logon>& logon,
                      ULONG size, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objType, LPUNKNOWN* out) {
  if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  State& state = Global();
  const Found found = Find(state.profile.get(), size, entryId);
  const StoreData* serving = onlyStore != nullptr ? onlyStore : found.store.get();
  if (HRESULT hr = ServeCall("OpenEntry", caller, serving, found.Name()); FAILED(hr)) return hr;
  if (!state.profile) return MAPI_E_NOT_FOUND;
  if (!found.parsed) return MAPI_E_INVALID_ENTRYID;
  if (!found.store) return onlyStore != nullptr ? MAPI_E_INVALID_ENTRYID : MAPI_E_UNKNOWN_ENTRYID;
  if (onlyStore != nullptr && found.store->uid != onlyStore->uid) return MAPI_E_INVALID_ENTRYID;
  const bool writable = (flags & (MAPI_MODIFY | MAPI_BEST_ACCESS)) != 0;
  const OpenedIn in{found.store, logon};
  OpenSlot slot;

  if (found.folder) {
    if (!Answers(iid, IID_IMAPIFolder)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (HRESULT hr = Logon::Reserve(logon, *found.store, Limited::Folder, slot); FAILED(hr)) return hr;
    if (objType != nullptr) *objType = MAPI_FOLDER;
    *out = NewFolder(found.folder, writable, in, std::move(slot));
    return S_OK;
  }
  if (found.message) {
    if (!Answers(iid, IID_IMessage)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (HRESULT hr = Logon::Reserve(logon, *found.store, Limited::Message, slot); FAILED(hr)) return hr;
    if (objType != nullptr) *objType = MAPI_MESSAGE;
    *out = NewMessage(found.message, writable, in, std::move(slot));
    return S_OK;
  }
  return MAPI_E_NOT_FOUND;
}

}  // namespace standin
