// _NameSpace: the store roots, the default folders of the default store
// (by the profile's folder roles) and the folder picker, which a test
// scripts with StandinScriptPickFolder.
#include <cwctype>

#include "standin/ComObject.h"
#include "standin/OutlookDefaults.h"
#include "standin/OutlookObjects.h"
#include "standin/ProfileJson.h"
#include "standin/State.h"

namespace standin {
namespace {

// The profile role of each default-folder kind.
const char* RoleOf(OlDefaultFolders kind) {
  switch (kind) {
    case olFolderDeletedItems: return "deleted";
    case olFolderOutbox: return "outbox";
    case olFolderSentMail: return "sent";
    case olFolderInbox: return "inbox";
    case olFolderDrafts: return "drafts";
    case olFolderJunk: return "junk";
    case olFolderRssFeeds: return "rss";
    case olFolderToDo: return "todo";
  }
  return nullptr;
}

class NameSpace final : public ComObject<NameSpaceDefaults> {
 protected:
  bool Agile() const override { return true; }

 public:
  HRESULT STDMETHODCALLTYPE get_Folders(_Folders** folders) override {
    auto lock = LockState();
    if (folders == nullptr) return E_POINTER;
    *folders = nullptr;
    if (!Global().profile) return E_UNEXPECTED;
    *folders = NewFolders(StoreRoots(*Global().profile));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDefaultFolder(OlDefaultFolders kind, MAPIFolder** folder) override {
    auto lock = LockState();
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    const char* role = RoleOf(kind);
    if (role == nullptr) return E_INVALIDARG;
    if (!Global().profile) return E_UNEXPECTED;
    for (const auto& store : Global().profile->stores) {
      if (!store->isDefault) continue;
      if (auto found = store->FolderWithRole(role)) {
        *folder = NewOutlookFolder(RefOf(*store, found));
        return S_OK;
      }
    }
    return MAPI_E_NOT_FOUND;
  }

  HRESULT STDMETHODCALLTYPE PickFolder(MAPIFolder** folder) override {
    auto lock = LockState();
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    const std::string& wanted = Global().pickFolder;
    if (wanted.empty()) {
      LogCall("PickFolder cancelled");
      return S_OK;
    }
    if (Global().profile) {
      for (const auto& store : Global().profile->stores) {
        for (const auto& [id, data] : store->folders) {
          if (ToHex(EntryId(store->uid, id)) != wanted) continue;
          FolderRef ref = RefOf(*store, data);
          LogCall("PickFolder folder=" + Quoted(ref.name.c_str()));
          *folder = NewOutlookFolder(std::move(ref));
          return S_OK;
        }
      }
    }
    LogCall("PickFolder unknown=" + wanted);
    return MAPI_E_NOT_FOUND;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IDispatch, &IID__NameSpace};
    return kInterfaces;
  }
};

}  // namespace

_NameSpace* NewNameSpace() { return new NameSpace(); }

}  // namespace standin
