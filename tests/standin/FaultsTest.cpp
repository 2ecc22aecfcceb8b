// Chosen failures: set by the control API or by the profile, on the named
// object only, every time or only the n-th time.
#include "tests/standin/MapiFixture.h"

namespace {

// GetProps of one message property, as the product reads To, Cc, Bcc, body.
HRESULT ReadOne(IMessage* message, ULONG tag, SPropValue& copy) {
  Tags<1> tags{1, {tag}};
  ULONG count = 0;
  MapiBuffer<SPropValue> v;
  HRESULT hr = message->GetProps(tags.Get(), 0, &count, &v);
  if (v.Get() != nullptr) {
    copy = v.Get()[0];
    if (PROP_TYPE(copy.ulPropTag) == PT_STRING8) copy.Value.lpszA = nullptr;  // the text goes with the buffer
  }
  return hr;
}

TEST_F(MapiTest, ChosenFailuresHitTheNamedObjectOnly) {
  api.AddFault("OpenMsgStore", "Archive", 0, MAPI_E_FAILONEPROVIDER, 0);
  api.AddFault("GetHierarchyTable", "Contacts", 0, MAPI_E_CALL_FAILED, 0);
  api.AddFault("GetProps", "Hello", PR_DISPLAY_TO_A, MAPI_E_NOT_FOUND, 0);
  api.AddFault("GetProps", "Hello", PR_BODY_A, MAPI_E_NOT_ENOUGH_MEMORY, 0);

  const auto ids = StoreEntryIds();
  ComPtr<IMsgStore> store;
  EXPECT_EQ(session->OpenMsgStore(0, ids[1].size(), (LPENTRYID)ids[1].data(), nullptr, MDB_NO_DIALOG | MDB_WRITE,
                                  &store),
            MAPI_E_FAILONEPROVIDER);
  EXPECT_TRUE(OpenStore(0));

  ComPtr<IMAPITable> table;
  EXPECT_EQ(FolderByPath(0, "Contacts")->GetHierarchyTable(0, &table), MAPI_E_CALL_FAILED);
  EXPECT_EQ(FolderByPath(0, "Inbox")->GetHierarchyTable(0, &table), S_OK);

  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  const auto messages = MessageIds(inbox.Get());
  struct Case {
    size_t message;
    ULONG tag;
    HRESULT result;
    ULONG valueTag;
    SCODE error;
  } cases[] = {
      {0, PR_DISPLAY_TO_A, MAPI_W_ERRORS_RETURNED, PROP_TAG(PT_ERROR, PROP_ID(PR_DISPLAY_TO)), MAPI_E_NOT_FOUND},
      {0, PR_BODY_A, MAPI_W_ERRORS_RETURNED, PROP_TAG(PT_ERROR, PROP_ID(PR_BODY)), MAPI_E_NOT_ENOUGH_MEMORY},
      {0, PR_DISPLAY_CC_A, S_OK, PR_DISPLAY_CC_A, 0},
      {1, PR_DISPLAY_TO_A, MAPI_W_ERRORS_RETURNED, PROP_TAG(PT_ERROR, PROP_ID(PR_DISPLAY_TO)), MAPI_E_NOT_FOUND},
  };
  for (const Case& c : cases) {
    ComPtr<IMessage> message = OpenMessage(inbox.Get(), messages.at(c.message));
    SPropValue value{};
    EXPECT_EQ(ReadOne(message.Get(), c.tag, value), c.result) << c.message << " " << std::hex << c.tag;
    EXPECT_EQ(value.ulPropTag, c.valueTag);
    if (c.error != 0) {
      EXPECT_EQ(value.Value.err, c.error);
    }
  }
}

TEST_F(MapiTest, NthCallFailureFiresOnce) {
  api.AddFault("QueryRows", "session", 0, MAPI_E_TIMEOUT, 2);
  ComPtr<IMAPITable> table;
  ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
  HRESULT results[3];
  for (HRESULT& hr : results) {
    Rows rows;
    hr = table->QueryRows(1, 0, &rows);
  }
  EXPECT_EQ(results[0], S_OK);
  EXPECT_EQ(results[1], MAPI_E_TIMEOUT);
  EXPECT_EQ(results[2], S_OK);
}

TEST_F(MapiTest, FailuresCanComeWithTheProfile) {
  ASSERT_EQ(api.LoadProfileText(R"({"stores": [
    {"name": "Only", "uid": "33333333333333333333333333333333", "default": true,
     "subtree": {"name": "Top", "folders": [{"name": "Inbox", "messages": [{"subject": "Big", "body": "x"}]}]}}],
    "faults": [{"call": "GetProps", "target": "Big", "prop": "body", "hr": "0x8007000E"},
               {"call": "GetContentsTable", "target": "Top", "hr": "0x80004005", "nth": 1}]})"),
            S_OK);
  ComPtr<IMAPIFolder> top = FolderByPath(0, "");
  ComPtr<IMAPITable> table;
  EXPECT_EQ(top->GetContentsTable(0, &table), E_FAIL);
  EXPECT_EQ(top->GetContentsTable(0, &table), S_OK);
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMessage> message = OpenMessage(inbox.Get(), MessageIds(inbox.Get()).at(0));
  SPropValue value{};
  EXPECT_EQ(ReadOne(message.Get(), PR_BODY_A, value), MAPI_W_ERRORS_RETURNED);
  EXPECT_EQ(value.Value.err, MAPI_E_NOT_ENOUGH_MEMORY);
}

}  // namespace
