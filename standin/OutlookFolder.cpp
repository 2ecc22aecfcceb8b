// MAPIFolder and _Folders: a folder's name, entry identifier, item type and
// sub-folders; a collection lists the folders as they were when it was
// made, in listing order, with a cursor for GetFirst / GetNext.
#include "standin/ComObject.h"
#include "standin/OutlookDefaults.h"
#include "standin/OutlookObjects.h"
#include "standin/ProfileJson.h"
#include "standin/State.h"
#include "standin/Text.h"

namespace standin {
namespace {

// The item type a container class stands for: the class itself or any class
// below it ("IPF.Contact.Special").
OlItemType ItemTypeOf(const std::optional<std::string>& containerClass) {
  static const struct {
    const char* prefix;
    OlItemType type;
  } kClasses[] = {{"IPF.Appointment", olAppointmentItem},
                  {"IPF.Contact", olContactItem},
                  {"IPF.Task", olTaskItem},
                  {"IPF.Journal", olJournalItem},
                  {"IPF.StickyNote", olNoteItem}};
  if (!containerClass) return olMailItem;
  for (const auto& c : kClasses) {
    const std::string prefix = c.prefix;
    if (*containerClass == prefix || containerClass->starts_with(prefix + ".")) return c.type;
  }
  return olMailItem;
}

class OlFolder final : public ComObject<MAPIFolderDefaults> {
 protected:
  bool Agile() const override { return true; }

 public:
  explicit OlFolder(FolderRef ref) : FRef(std::move(ref)) {}

  HRESULT STDMETHODCALLTYPE get_DefaultItemType(OlItemType* type) override {
    auto lock = LockState();
    if (type == nullptr) return E_POINTER;
    *type = ItemTypeOf(FRef.data->containerClass);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_EntryID(BSTR* entryId) override {
    auto lock = LockState();
    if (entryId == nullptr) return E_POINTER;
    *entryId = SysAllocString(EntryIdText(*FRef.data).c_str());
    return *entryId != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    auto lock = LockState();
    if (name == nullptr) return E_POINTER;
    *name = NewBstr(FRef.name);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_Folders(_Folders** folders) override {
    auto lock = LockState();
    if (folders == nullptr) return E_POINTER;
    std::vector<FolderRef> children;
    for (const auto& child : FRef.data->folders) children.push_back(FolderRef{child, child->name});
    *folders = NewFolders(std::move(children));
    return S_OK;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IDispatch, &IID_MAPIFolder};
    return kInterfaces;
  }

 private:
  FolderRef FRef;
};

class OlFolders final : public ComObject<FoldersDefaults> {
 protected:
  bool Agile() const override { return true; }

 public:
  explicit OlFolders(std::vector<FolderRef> folders) : FFolders(std::move(folders)) {}

  HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<long>(FFolders.size());
    return S_OK;
  }

  // By position from 1, or by name.
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, MAPIFolder** folder) override {
    auto lock = LockState();
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    VARIANT number;
    VariantInit(&number);
    if (index.vt == VT_BSTR) {
      const std::wstring wanted = index.bstrVal != nullptr ? index.bstrVal : L"";
      for (const auto& f : FFolders) {
        if (WideText(f.name) == wanted) return Give(f, folder);
      }
      return MAPI_E_NOT_FOUND;
    }
    if (FAILED(VariantChangeType(&number, &index, 0, VT_I4))) return E_INVALIDARG;
    if (number.lVal < 1 || static_cast<size_t>(number.lVal) > FFolders.size()) return E_INVALIDARG;
    return Give(FFolders[number.lVal - 1], folder);
  }

  HRESULT STDMETHODCALLTYPE GetFirst(MAPIFolder** folder) override {
    FNext = 0;
    return GetNext(folder);
  }

  HRESULT STDMETHODCALLTYPE GetNext(MAPIFolder** folder) override {
    auto lock = LockState();
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    if (FNext >= FFolders.size()) return S_OK;  // none: past the last
    return Give(FFolders[FNext++], folder);
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IDispatch, &IID__Folders};
    return kInterfaces;
  }

 private:
  static HRESULT Give(const FolderRef& ref, MAPIFolder** folder) {
    *folder = NewOutlookFolder(ref);
    return S_OK;
  }

  std::vector<FolderRef> FFolders;
  size_t FNext = 0;
};

}  // namespace

FolderRef RefOf(const StoreData& store, const std::shared_ptr<FolderData>& folder) {
  return FolderRef{folder, folder == store.subtree ? store.name : folder->name};
}

std::vector<FolderRef> StoreRoots(const Profile& profile) {
  std::vector<FolderRef> roots;
  for (const auto& store : profile.stores) {
    if (store->subtree) roots.push_back(RefOf(*store, store->subtree));
  }
  return roots;
}

std::wstring EntryIdText(const FolderData& folder) {
  const std::string text = ToHex(EntryId(folder.storeUid, folder.id));
  return std::wstring(text.begin(), text.end());
}

std::wstring WideText(const std::string& text) { return Utf8ToWide(text); }

BSTR NewBstr(const std::string& text) {
  const std::wstring wide = WideText(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

_Folders* NewFolders(std::vector<FolderRef> folders) { return new OlFolders(std::move(folders)); }
MAPIFolder* NewOutlookFolder(FolderRef folder) { return new OlFolder(std::move(folder)); }

}  // namespace standin
