// MAPI as the product reaches it: MAPI32.DLL loaded by name, its entry points
// fetched with GetProcAddress, the stand-in provider behind it, and a
// profile per test with the check that nothing was left open.
#pragma once

#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "standin/ComPtr.h"
#include "standin/StandinControl.h"

using standin::ComPtr;

struct MapiApi {
  LPMAPIINITIALIZE Initialize = nullptr;
  LPMAPIUNINITIALIZE Uninitialize = nullptr;
  LPMAPILOGONEX LogonEx = nullptr;
  LPMAPIALLOCATEBUFFER AllocateBuffer = nullptr;
  LPMAPIFREEBUFFER FreeBuffer = nullptr;
  void(WINAPI* FreeProws)(LPSRowSet) = nullptr;
  STANDIN_LIVEOBJECTS LiveObjects = nullptr;
  STANDIN_LIVEBUFFERS LiveBuffers = nullptr;
  STANDIN_BADFREES BadFrees = nullptr;
  STANDIN_OPENOBJECTS OpenObjects = nullptr;
  STANDIN_PEAKOPEN PeakOpen = nullptr;
  STANDIN_RESETPEAKS ResetPeaks = nullptr;
  STANDIN_CALLCOUNT CallCount = nullptr;
  STANDIN_CALLCOUNTOF CallCountOf = nullptr;
  STANDIN_RESETCALLS ResetCalls = nullptr;
  STANDIN_LOADPROFILE LoadProfile = nullptr;
  STANDIN_LOADPROFILETEXT LoadProfileText = nullptr;
  STANDIN_SAVEPROFILE SaveProfile = nullptr;
  STANDIN_ADDFAULT AddFault = nullptr;
  STANDIN_CLEARFAULTS ClearFaults = nullptr;
  STANDIN_LOGCOUNT LogCount = nullptr;
  STANDIN_LOGLINE LogLine = nullptr;
  STANDIN_CLEARLOG ClearLog = nullptr;
  STANDIN_CREATEAPPLICATION CreateApplication = nullptr;
  STANDIN_SCRIPTPICKFOLDER ScriptPickFolder = nullptr;
  STANDIN_MODELBYTES ModelBytes = nullptr;
  STANDIN_MESSAGESMADE MessagesMade = nullptr;

  // Loaded once per process; fails the test when MAPI32.DLL does not forward
  // to the stand-in (./quop setup registers it).
  static const MapiApi& Get();
  std::vector<std::string> Log() const;
};

// Owner of one MAPI buffer, freed with the provider's MAPIFreeBuffer.
template <class T>
class MapiBuffer {
 public:
  MapiBuffer() = default;
  ~MapiBuffer() { Reset(); }
  MapiBuffer(const MapiBuffer&) = delete;
  MapiBuffer& operator=(const MapiBuffer&) = delete;
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  T** operator&() {
    Reset();
    return &FPtr;
  }
  void Reset() {
    if (FPtr != nullptr) MapiApi::Get().FreeBuffer(std::exchange(FPtr, nullptr));
  }

 private:
  T* FPtr = nullptr;
};

// Owner of a row set, freed with FreeProws.
class Rows {
 public:
  ~Rows() { Reset(); }
  Rows() = default;
  Rows(const Rows&) = delete;
  Rows& operator=(const Rows&) = delete;
  SRowSet* operator->() const { return FPtr; }
  LPSRowSet* operator&() {
    Reset();
    return &FPtr;
  }
  void Reset() {
    if (FPtr != nullptr) MapiApi::Get().FreeProws(std::exchange(FPtr, nullptr));
  }

 private:
  LPSRowSet FPtr = nullptr;
};

// Tags of a tag array built on the stack.
template <ULONG N>
struct Tags {
  ULONG cValues = N;
  ULONG aulPropTag[N];
  LPSPropTagArray Get() { return reinterpret_cast<LPSPropTagArray>(this); }
};

std::string AsBytes(const SBinary& bin);
std::string AsBytes(const SPropValue& value);
// A text value as it came: PT_STRING8 bytes, PT_UNICODE characters; a
// failure (and "") for another type.
std::string AnsiOf(const SPropValue& value);
std::wstring WideOf(const SPropValue& value);
// A long-term entry identifier of this provider: flags, store UID, own bytes.
std::string LongTermId(const std::string& storeUid, const std::string& own);

// A list of one entry identifier, as DeleteMessages and CopyMessages take it.
struct OneId {
  explicit OneId(std::string entryId) : id(std::move(entryId)) {}
  OneId(const OneId&) = delete;  // list points into bin, bin into id
  ENTRYLIST* List() { return &list; }

  std::string id;
  SBinary bin{static_cast<ULONG>(id.size()), reinterpret_cast<LPBYTE>(id.data())};
  ENTRYLIST list{1, &bin};
};

// A profile of one default store "Box" (UID kBoxUid) with its own JSON keys
// (`"kind": "exchange-online", ` …, each followed by a comma), an IPM
// subtree "Top" (F0) and under it Inbox (F1) holding `messages` (JSON
// objects, comma separated), then `moreFolders`.
std::string OneStoreProfile(const std::string& storeKeys, const std::string& messages,
                            const std::string& moreFolders = "");
extern const std::string kBoxUid;

// Each test: the fixture profile loaded, MAPI initialised and logged on.
class MapiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const MapiApi& api = MapiApi::Get();
  ComPtr<IMAPISession> session;

  // Helpers that assert success on the way.
  std::vector<std::string> StoreEntryIds();  // in store-table order
  ComPtr<IMsgStore> OpenStore(size_t index);
  std::string StoreProp(IMsgStore* store, ULONG tag);  // a binary property
  // Through the store, or through the session when `store` is null.
  ComPtr<IMAPIFolder> OpenFolder(IMsgStore* store, const std::string& entryId, ULONG flags);
  // The rows of a table under the given columns, asked as the product asks.
  std::vector<std::vector<SPropValue>> ReadTable(IMAPITable* table, std::initializer_list<ULONG> columns,
                                                 LONG count, Rows& keep);
  // Folder by path of display names from the store's IPM subtree ("Inbox", "Contacts/Sub").
  ComPtr<IMAPIFolder> FolderByPath(size_t store, const std::string& path, ULONG flags = MAPI_BEST_ACCESS);
  std::vector<std::string> Children(IMAPIFolder* folder);      // display names
  std::vector<std::string> ChildIds(IMAPIFolder* folder);      // entry identifiers
  std::vector<std::string> MessageIds(IMAPIFolder* folder);    // entry identifiers
  std::vector<std::string> Subjects(IMAPIFolder* folder);
  ComPtr<IMessage> OpenMessage(IMAPIFolder* folder, const std::string& entryId);
  // Through the session, asserting success; of the one-store profile when
  // given the object's own bytes.
  ComPtr<IMessage> OpenBoxMessage(const std::string& own);
  // GetProps of `tags` (null array when empty), the answer kept in `values`.
  HRESULT GetProps(IMAPIProp* object, const std::vector<ULONG>& tags, ULONG flags, MapiBuffer<SPropValue>& values,
                   ULONG& count);

  long badFreesAtStart = 0;

 private:
  // One column of a folder's hierarchy table, each value as `text` writes it.
  std::vector<std::string> ChildColumn(IMAPIFolder* folder, ULONG tag, std::string (*text)(const SPropValue&));
};

// The fixture profile: two stores, special folders, non-mail folders.
extern const char* const kFixtureProfile;
