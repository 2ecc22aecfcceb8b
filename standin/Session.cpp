// IMAPISession: the store table, stores and objects of any store by entry
// identifier, a minimal address book, logoff, and forms that are logged
// instead of shown.
#include <cstring>

#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

std::string IidName(LPCIID iid) {
  if (iid == nullptr) return "null";
  if (IsEqualIID(*iid, IID_IMessage)) return "IMessage";
  if (IsEqualIID(*iid, IID_IMAPIFolder)) return "IMAPIFolder";
  if (IsEqualIID(*iid, IID_IMsgStore)) return "IMsgStore";
  if (IsEqualIID(*iid, IID_IAddrBook)) return "IAddrBook";
  return "other";
}

class Session final : public ComObject<SessionDefaults> {
 public:
  STDMETHODIMP GetMsgStoresTable(ULONG flags, LPMAPITABLE* table) override {
    auto lock = LockState();
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (FLoggedOff) return MAPI_E_END_OF_SESSION;
    if (HRESULT hr = ServeCall("GetMsgStoresTable", "session"); FAILED(hr)) return hr;
    std::vector<PropBag> rows;
    for (const auto& s : Global().profile->stores) rows.push_back(StoreProps(*s));
    *table = NewTable("session", RowsOf(std::move(rows)), {PR_ENTRYID, PR_DISPLAY_NAME_A, PR_DEFAULT_STORE, PR_MDB_PROVIDER},
                      TableOptions{nullptr, (flags & MAPI_UNICODE) != 0});
    return S_OK;
  }

  STDMETHODIMP OpenMsgStore(ULONG_PTR /*ui*/, ULONG size, LPENTRYID entryId, LPCIID iid, ULONG /*flags*/,
                            LPMDB* store) override {
    auto lock = LockState();
    if (store == nullptr) return MAPI_E_INVALID_PARAMETER;
    *store = nullptr;
    if (FLoggedOff) return MAPI_E_END_OF_SESSION;
    const char* bytes = reinterpret_cast<const char*>(entryId);
    const bool valid = entryId != nullptr && size == 36 && std::memcmp(bytes + 4, ProviderUid().data(), 16) == 0;
    auto found = valid ? Global().profile->FindStore(Bytes(bytes + 20, 16)) : nullptr;
    if (HRESULT hr = ServeCall("OpenMsgStore", "session", found.get(), found ? found->name : ""); FAILED(hr))
      return hr;
    if (!valid) return MAPI_E_INVALID_ENTRYID;
    if (!found) return MAPI_E_NOT_FOUND;
    if (iid != nullptr && !IsEqualIID(*iid, IID_IMsgStore) && !IsEqualIID(*iid, IID_IMAPIProp) &&
        !IsEqualIID(*iid, IID_IUnknown))
      return MAPI_E_INTERFACE_NOT_SUPPORTED;
    *store = NewStore(std::move(found), FLogon);
    return S_OK;
  }

  STDMETHODIMP OpenAddressBook(ULONG_PTR ui, LPCIID iid, ULONG flags, LPADRBOOK* book) override {
    auto lock = LockState();
    LogCall("OpenAddressBook ui=" + Hex(static_cast<ULONG>(ui)) + " iid=" + IidName(iid) + " flags=" + Hex(flags));
    if (book == nullptr) return MAPI_E_INVALID_PARAMETER;
    *book = nullptr;
    if (FLoggedOff) return MAPI_E_END_OF_SESSION;
    if (HRESULT hr = ServeCall("OpenAddressBook", "session"); FAILED(hr)) return hr;
    *book = NewAddrBook();
    return S_OK;
  }

  STDMETHODIMP OpenEntry(ULONG size, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objType,
                         LPUNKNOWN* out) override {
    auto lock = LockState();
    if (FLoggedOff) return MAPI_E_END_OF_SESSION;
    return OpenByEntryId(nullptr, "session", FLogon, size, entryId, iid, flags, objType, out);
  }

  STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG /*flags*/,
                               ULONG* result) override {
    auto lock = LockState();
    if (result == nullptr || id1 == nullptr || id2 == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (HRESULT hr = ServeCall("CompareEntryIDs", "session"); FAILED(hr)) return hr;
    *result = size1 == size2 && std::memcmp(id1, id2, size1) == 0;
    return S_OK;
  }

  STDMETHODIMP Logoff(ULONG_PTR ui, ULONG flags, ULONG /*reserved*/) override {
    auto lock = LockState();
    LogCall("Logoff ui=" + Hex(static_cast<ULONG>(ui)) + " flags=" + Hex(flags));
    if (HRESULT hr = ServeCall("Logoff", "session"); FAILED(hr)) return hr;
    FLoggedOff = true;
    return S_OK;
  }

  STDMETHODIMP PrepareForm(LPCIID iid, LPMESSAGE message, ULONG* token) override {
    auto lock = LockState();
    State& state = Global();
    auto data = MessageBehind(message);
    const std::string subject = data ? data->Subject() : std::string();
    if (HRESULT hr = ServeCall("PrepareForm", "session", nullptr, subject); FAILED(hr)) {
      LogCall("PrepareForm iid=" + IidName(iid) + " message=" + Quoted(subject.c_str()) + " failed=" + Hex(hr));
      return hr;
    }
    if (token == nullptr || data == nullptr) return MAPI_E_INVALID_PARAMETER;
    *token = state.nextFormToken++;
    state.formTokens[*token] = subject;
    LogCall("PrepareForm iid=" + IidName(iid) + " message=" + Quoted(subject.c_str()) + " token=" +
            std::to_string(*token));
    return S_OK;
  }

  STDMETHODIMP ShowForm(ULONG_PTR ui, LPMDB store, LPMAPIFOLDER folder, LPCIID iid, ULONG token, LPMESSAGE sent,
                        ULONG flags, ULONG status, ULONG messageFlags, ULONG access, LPSTR messageClass) override {
    auto lock = LockState();
    State& state = Global();
    auto storeData = StoreBehind(store);
    auto folderData = FolderBehind(folder);
    auto it = state.formTokens.find(token);
    LogCall("ShowForm ui=" + Hex(static_cast<ULONG>(ui)) +
            " store=" + (storeData ? Quoted(storeData->name.c_str()) : "null") +
            " folder=" + (folderData ? Quoted(folderData->name.c_str()) : "null") + " iid=" + IidName(iid) +
            " token=" + std::to_string(token) + " sent=" + (sent != nullptr ? "set" : "null") +
            " flags=" + Hex(flags) + " status=" + Hex(status) + " msgflags=" + Hex(messageFlags) +
            " access=" + Hex(access) + " class=" + Quoted(messageClass) +
            " message=" + (it != state.formTokens.end() ? Quoted(it->second.c_str()) : "unknown"));
    if (it == state.formTokens.end()) return MAPI_E_INVALID_PARAMETER;
    state.formTokens.erase(it);
    return ServeCall("ShowForm", "session");
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPISession};
    return kInterfaces;
  }

 private:
  bool FLoggedOff = false;
  std::shared_ptr<Logon> FLogon = std::make_shared<Logon>();  // this session's open objects
};

}  // namespace

IMAPISession* NewSession() { return new Session(); }

}  // namespace standin
