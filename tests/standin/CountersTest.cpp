// The control API's counters: MAPI objects open now and at most at once by
// type, MAPI calls served in all and by name, and "*" faults that fail the
// n-th call whatever it is.
#include <functional>

#include "tests/standin/MapiFixture.h"

namespace {

const std::string kMailbox(16, '\x11');

class CountersTest : public MapiTest {
 protected:
  template <class T>
  ComPtr<T> Open(const std::string& own) {
    const std::string id = LongTermId(kMailbox, own);
    ComPtr<T> object;
    ULONG type = 0;
    EXPECT_EQ(session->OpenEntry(id.size(), (LPENTRYID)id.data(), nullptr, MAPI_BEST_ACCESS, &type,
                                 reinterpret_cast<LPUNKNOWN*>(&object)),
              S_OK);
    return object;
  }

  // One object of each type, and a second folder.
  struct Held {
    ComPtr<IMsgStore> store;
    ComPtr<IMAPIFolder> inbox, deleted;
    ComPtr<IMessage> message;  // "Hello", with attachments
    ComPtr<IAttach> attach;
    ComPtr<IMAPITable> table;
    ComPtr<IStream> stream;
  };
  void OpenEach(const std::string& storeId, Held& held) {
    ASSERT_EQ(session->OpenMsgStore(0, storeId.size(), (LPENTRYID)storeId.data(), nullptr, MDB_NO_DIALOG, &held.store),
              S_OK);
    held.inbox = Open<IMAPIFolder>("\xF1");
    held.deleted = Open<IMAPIFolder>("\xF2");
    held.message = Open<IMessage>("\xA1");
    ASSERT_EQ(held.message->OpenAttach(0, nullptr, 0, &held.attach), S_OK);
    ASSERT_EQ(held.inbox->GetContentsTable(0, &held.table), S_OK);
    ASSERT_EQ(held.message->OpenProperty(PR_BODY_A, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&held.stream)),
              S_OK);
  }

  void ExpectOpen(std::initializer_list<std::pair<const char*, LONG>> now,
                  std::initializer_list<std::pair<const char*, LONG>> peak) {
    for (const auto& [type, n] : now) EXPECT_EQ(api.OpenObjects(type), n) << "now " << type;
    for (const auto& [type, n] : peak) EXPECT_EQ(api.PeakOpen(type), n) << "peak " << type;
  }
};

TEST_F(CountersTest, OpenObjectsAndPeaksAreCountedByType) {
  const std::string storeId = StoreEntryIds().at(0);
  api.ResetPeaks();
  ExpectOpen({{"all", 0}}, {{"all", 0}, {"table", 0}});

  Held held;
  OpenEach(storeId, held);
  ComPtr<IMessage> other = Open<IMessage>("\xA2");
  ComPtr<IMessage> helloAgain = Open<IMessage>("\xA1");
  ExpectOpen({{"message", 3}, {"folder", 2}, {"attachment", 1}, {"table", 1}, {"stream", 1}, {"store", 1}, {"all", 9}},
             {{"message", 3}, {"table", 1}, {"all", 9}});

  other.Reset();
  helloAgain.Reset();
  held.table.Reset();
  ExpectOpen({{"message", 1}, {"table", 0}, {"all", 6}}, {{"message", 3}, {"table", 1}, {"all", 9}});
  api.ResetPeaks();
  ExpectOpen({}, {{"message", 1}, {"table", 0}, {"all", 6}});
  ASSERT_EQ(held.deleted->GetContentsTable(0, &held.table), S_OK);
  ExpectOpen({{"table", 1}}, {{"table", 1}, {"all", 7}});

  held = Held{};
  ExpectOpen({{"all", 0}, {"message", 0}, {"stream", 0}}, {{"all", 7}});
  EXPECT_EQ(api.OpenObjects("session"), -1);
  EXPECT_EQ(api.PeakOpen(nullptr), -1);
}

TEST_F(CountersTest, EveryServedCallCountsOnceFailedOnesToo) {
  ComPtr<IMAPIFolder> inbox = Open<IMAPIFolder>("\xF1");
  api.ResetCalls();
  EXPECT_EQ(api.CallCount(), 0u);

  ComPtr<IMAPITable> table;
  ASSERT_EQ(inbox->GetContentsTable(0, &table), S_OK);
  Rows rows;
  ReadTable(table.Get(), {PR_ENTRYID}, 1, rows);  // SetColumns, QueryRows
  ASSERT_EQ(table->QueryRows(1, 0, &rows), S_OK);
  ULONG count = 0;
  ASSERT_EQ(table->GetRowCount(0, &count), S_OK);
  table->AddRef();  // IUnknown's methods are not MAPI calls
  table->Release();
  ComPtr<IMAPITable> same;
  ASSERT_EQ(table->QueryInterface(IID_IMAPITable, reinterpret_cast<void**>(&same)), S_OK);

  ComPtr<IMessage> message = Open<IMessage>("\xA1");
  MapiBuffer<SPropValue> v;
  ASSERT_EQ(GetProps(message.Get(), {PR_SUBJECT_A}, 0, v, count), S_OK);
  ComPtr<IStream> stream;
  ASSERT_EQ(message->OpenProperty(PR_BODY_A, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&stream)), S_OK);
  char bytes[4];
  ULONG read = 0;
  ASSERT_EQ(stream->Read(bytes, 4, &read), S_OK);
  ASSERT_EQ(stream->Read(bytes, 4, &read), S_OK);
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  const std::string missing = LongTermId(kMailbox, "\xA9");
  ComPtr<IUnknown> none;
  ULONG type = 0;
  EXPECT_EQ(session->OpenEntry(missing.size(), (LPENTRYID)missing.data(), nullptr, 0, &type, &none), MAPI_E_NOT_FOUND);

  EXPECT_EQ(api.CallCount(), 12u);
  const std::pair<const char*, ULONG> byName[] = {
      {"GetContentsTable", 1}, {"SetColumns", 1}, {"QueryRows", 2}, {"GetRowCount", 1}, {"OpenEntry", 2},
      {"GetProps", 1},         {"OpenProperty", 1}, {"Read", 2},    {"Stat", 1},        {"Seek", 0}};
  for (const auto& [name, n] : byName) EXPECT_EQ(api.CallCountOf(name), n) << name;
  api.ResetCalls();
  EXPECT_EQ(api.CallCount(), 0u);
  EXPECT_EQ(api.CallCountOf("QueryRows"), 0u);
}

TEST_F(CountersTest, AStarFaultFailsTheNthCallWhateverItIs) {
  const std::string storeId = StoreEntryIds().at(0);
  Held held;
  OpenEach(storeId, held);
  const auto& [store, inbox, deleted, message, attach, table, stream] = held;
  const std::string messageId = LongTermId(kMailbox, "\xA1"), inboxId = LongTermId(kMailbox, "\xF1");
  const std::string stranger = LongTermId(kMailbox, "\xA3");  // a message of another folder
  SBinary strangerBin{static_cast<ULONG>(stranger.size()), (LPBYTE)stranger.data()};
  ENTRYLIST strangers{1, &strangerBin};
  ENTRYLIST empty{0, nullptr};
  Tags<1> columns{1, {PR_SUBJECT_A}};

  // Each step is one call on objects opened before; what it opens is released at once.
  const std::vector<std::function<HRESULT()>> steps = {
      [&] { ComPtr<IMAPITable> t; return session->GetMsgStoresTable(0, &t); },
      [&] { ComPtr<IMsgStore> s; return session->OpenMsgStore(0, storeId.size(), (LPENTRYID)storeId.data(), nullptr, 0, &s); },
      [&] { ComPtr<IUnknown> o; ULONG t; return session->OpenEntry(messageId.size(), (LPENTRYID)messageId.data(), nullptr, 0, &t, &o); },
      [&] { ULONG same; return session->CompareEntryIDs(messageId.size(), (LPENTRYID)messageId.data(), messageId.size(), (LPENTRYID)messageId.data(), 0, &same); },
      [&] { ComPtr<IAddrBook> b; return session->OpenAddressBook(0, nullptr, 0, &b); },
      [&] { MapiBuffer<SPropValue> v; ULONG n; return GetProps(store.Get(), {PR_DISPLAY_NAME_A}, 0, v, n); },
      [&] { MapiBuffer<ENTRYID> id; ULONG n; return store->GetReceiveFolder(nullptr, 0, &n, &id, nullptr); },
      [&] { ComPtr<IUnknown> o; ULONG t; return store->OpenEntry(inboxId.size(), (LPENTRYID)inboxId.data(), nullptr, 0, &t, &o); },
      [&] { MapiBuffer<SPropValue> v; ULONG n; return GetProps(inbox.Get(), {PR_DISPLAY_NAME_A}, 0, v, n); },
      [&] { ComPtr<IMAPITable> t; return inbox->GetHierarchyTable(0, &t); },
      [&] { ComPtr<IMAPITable> t; return inbox->GetContentsTable(0, &t); },
      [&] { ComPtr<IUnknown> o; ULONG t; return inbox->OpenEntry(messageId.size(), (LPENTRYID)messageId.data(), nullptr, 0, &t, &o); },
      [&] { return inbox->DeleteMessages(&strangers, 0, nullptr, 0); },
      [&] { return inbox->CopyMessages(&empty, nullptr, deleted.Get(), 0, nullptr, 0); },
      [&] { return table->SetColumns(columns.Get(), 0); },
      [&] { return table->Restrict(nullptr, 0); },
      [&] { Rows r; return table->QueryRows(1, 0, &r); },
      [&] { ULONG n; return table->GetRowCount(0, &n); },
      [&] { return table->SeekRow(BOOKMARK_BEGINNING, 0, nullptr); },
      [&] { MapiBuffer<SPropValue> v; ULONG n; return GetProps(message.Get(), {PR_SUBJECT_A}, 0, v, n); },
      [&] { ComPtr<IMAPITable> t; return message->GetAttachmentTable(0, &t); },
      [&] { ComPtr<IAttach> a; return message->OpenAttach(1, nullptr, 0, &a); },
      [&] { ComPtr<IUnknown> s; return message->OpenProperty(PR_BODY_A, &IID_IStream, STGM_READ, 0, &s); },
      [&] { MapiBuffer<SPropValue> v; ULONG n; return GetProps(attach.Get(), {PR_DISPLAY_NAME_A}, 0, v, n); },
      [&] { ComPtr<IUnknown> s; return attach->OpenProperty(PR_DISPLAY_NAME_A, &IID_IStream, STGM_READ, 0, &s); },
      [&] { char b[2]; ULONG n; return stream->Read(b, 2, &n); },
      [&] { LARGE_INTEGER zero{}; return stream->Seek(zero, STREAM_SEEK_SET, nullptr); },
      [&] { STATSTG s{}; return stream->Stat(&s, STATFLAG_NONAME); },
  };

  std::vector<HRESULT> normal;
  for (const auto& step : steps) {
    const ULONG before = api.CallCount();
    normal.push_back(step());
    EXPECT_EQ(api.CallCount(), before + 1) << "step " << normal.size();
    EXPECT_NE(normal.back(), MAPI_E_CALL_FAILED) << "step " << normal.size();
  }
  for (size_t n = 1; n <= steps.size(); ++n) {
    ASSERT_EQ(api.AddFault("*", "*", 0, MAPI_E_CALL_FAILED, static_cast<ULONG>(n)), S_OK);
    for (size_t i = 0; i < steps.size(); ++i)
      EXPECT_EQ(steps[i](), i + 1 == n ? MAPI_E_CALL_FAILED : normal[i]) << "fault " << n << ", step " << i + 1;
    api.ClearFaults();
  }
}

TEST_F(CountersTest, AnNthRuleCountsCallsThatAnotherRuleFailed) {
  ComPtr<IMessage> message = Open<IMessage>("\xA1");
  api.AddFault("GetProps", "Hello", 0, MAPI_E_TIMEOUT, 1);
  api.AddFault("*", "*", 0, MAPI_E_CALL_FAILED, 2);
  HRESULT results[3];
  for (HRESULT& hr : results) {
    MapiBuffer<SPropValue> v;
    ULONG n = 0;
    hr = GetProps(message.Get(), {PR_SUBJECT_A}, 0, v, n);
  }
  EXPECT_EQ(results[0], MAPI_E_TIMEOUT);
  EXPECT_EQ(results[1], MAPI_E_CALL_FAILED);
  EXPECT_EQ(results[2], S_OK);
}

TEST_F(CountersTest, CallsOnAStoresObjectsCostItsCallTime) {
  ASSERT_EQ(api.LoadProfileText(OneStoreProfile(R"("kind": "exchange-online", "callMicroseconds": 20000,)",
                                                R"({"id": "A1", "subject": "Far"})")
                                    .c_str()),
            S_OK);
  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < 10; ++i) {
    MapiBuffer<SPropValue> v;
    ULONG n = 0;
    ASSERT_EQ(GetProps(message.Get(), {PR_SUBJECT_A}, 0, v, n), S_OK);
  }
  QueryPerformanceCounter(&end);
  const double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
  EXPECT_GE(ms, 200.0);  // ten calls of 20 ms at least
}

}  // namespace
