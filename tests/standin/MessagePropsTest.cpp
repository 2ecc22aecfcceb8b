// Senders (SMTP and Exchange), Internet message identifiers, search keys and
// modification times; copies keep what identifies a message; the new
// profile keys are saved and refused when wrong.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "standin/ExtraTags.h"
#include "tests/standin/MapiFixture.h"

namespace {

const char* const kDn = "/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=ANNA.BERG";

std::string Messages() {
  return std::string(R"({"id": "A1", "subject": "Exchange", "senderName": "Anna Berg", "senderAddrType": "EX",
     "senderEmail": ")") + kDn + R"(", "senderSmtp": "anna.berg@quop.example",
     "internetMessageId": "<1@quop.example>", "searchKey": "0102A0FF", "lastModificationTime": "2024-03-02T10:00:00Z"},
    {"id": "A2", "subject": "Smtp", "senderName": "Bo", "senderAddrType": "SMTP", "senderEmail": "bo@example.org",
     "senderSmtp": "bo@example.org"},
    {"id": "A3", "subject": "Older profile", "senderName": "Cy", "senderEmail": "cy@example.org"},
    {"id": "A4", "subject": "Draft"})";
}

class MessagePropsTest : public MapiTest {
 protected:
  void SetUp() override {
    MapiTest::SetUp();
    ASSERT_EQ(api.LoadProfileText(OneStoreProfile("", Messages(), R"({"name": "Deleted Items", "id": "F2",
      "role": "deleted"})").c_str()),
              S_OK);
  }

  // The values of `tags` on message `own`: the text, or "(missing)".
  std::vector<std::string> Texts(const std::string& own, const std::vector<ULONG>& tags) {
    ComPtr<IMessage> message = OpenBoxMessage(own);
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    GetProps(message.Get(), tags, 0, v, count);
    std::vector<std::string> texts;
    for (ULONG i = 0; i < count; ++i) {
      const SPropValue& value = v.Get()[i];
      if (PROP_TYPE(value.ulPropTag) == PT_ERROR) {
        EXPECT_EQ(value.Value.err, MAPI_E_NOT_FOUND);
        texts.emplace_back("(missing)");
      } else {
        texts.push_back(AnsiOf(value));
      }
    }
    return texts;
  }

  std::string Binary(const std::string& entryId, ULONG tag) {
    ComPtr<IMessage> message;
    ULONG type = 0;
    EXPECT_EQ(session->OpenEntry(entryId.size(), (LPENTRYID)entryId.data(), &IID_IMessage, 0, &type,
                                 reinterpret_cast<LPUNKNOWN*>(&message)),
              S_OK);
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    EXPECT_EQ(GetProps(message.Get(), {tag}, 0, v, count), S_OK) << std::hex << tag;
    return count == 1 && PROP_TYPE(v.Get()[0].ulPropTag) == PT_BINARY ? AsBytes(v.Get()[0]) : "(missing)";
  }
};

TEST_F(MessagePropsTest, SendersComeUnderBothTheSenderAndTheSentRepresentingProperties) {
  const std::vector<ULONG> tags = {PR_SENT_REPRESENTING_NAME_A, PR_SENT_REPRESENTING_ADDRTYPE_A,
                                   PR_SENT_REPRESENTING_EMAIL_ADDRESS_A, PR_SENT_REPRESENTING_SMTP_ADDRESS_A,
                                   PR_SENDER_NAME_A, PR_SENDER_ADDRTYPE_A, PR_SENDER_EMAIL_ADDRESS_A,
                                   PR_SENDER_SMTP_ADDRESS_A};
  struct Case {
    const char* own;
    std::vector<std::string> sender;  // name, type, address, SMTP address
  } cases[] = {
      {"\xA1", {"Anna Berg", "EX", kDn, "anna.berg@quop.example"}},
      {"\xA2", {"Bo", "SMTP", "bo@example.org", "bo@example.org"}},
      {"\xA3", {"Cy", "SMTP", "cy@example.org", "(missing)"}},  // a type only when there is an address
      {"\xA4", {"(missing)", "(missing)", "(missing)", "(missing)"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected = c.sender;
    expected.insert(expected.end(), c.sender.begin(), c.sender.end());
    EXPECT_EQ(Texts(c.own, tags), expected) << c.sender[0];
  }
}

TEST_F(MessagePropsTest, MessagesServeTheirInternetIdSearchKeyAndModificationTime) {
  EXPECT_EQ(Texts("\xA1", {PR_INTERNET_MESSAGE_ID_A}), std::vector<std::string>{"<1@quop.example>"});
  EXPECT_EQ(Texts("\xA4", {PR_INTERNET_MESSAGE_ID_A}), std::vector<std::string>{"(missing)"});
  EXPECT_EQ(Binary(LongTermId(kBoxUid, "\xA1"), PR_SEARCH_KEY), std::string("\x01\x02\xA0\xFF", 4));

  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  MapiBuffer<SPropValue> v;
  ULONG count = 0;
  ASSERT_EQ(GetProps(message.Get(), {PR_LAST_MODIFICATION_TIME}, 0, v, count), S_OK);
  const FILETIME ft = v.Get()[0].Value.ft;
  EXPECT_EQ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime, 133538472000000000ULL);  // 2024-03-02T10:00:00Z

  // A message without a search key in the profile gets one of its own that
  // stays the same when the profile is read again.
  const std::string made2 = Binary(LongTermId(kBoxUid, "\xA2"), PR_SEARCH_KEY);
  const std::string made3 = Binary(LongTermId(kBoxUid, "\xA3"), PR_SEARCH_KEY);
  EXPECT_FALSE(made2.empty());
  EXPECT_NE(made2, made3);
  ASSERT_EQ(api.LoadProfileText(OneStoreProfile("", Messages()).c_str()), S_OK);
  EXPECT_EQ(Binary(LongTermId(kBoxUid, "\xA2"), PR_SEARCH_KEY), made2);
}

TEST_F(MessagePropsTest, CopiesAndMovesKeepTheSearchKeyAndInternetMessageId) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMAPIFolder> deleted = FolderByPath(0, "Deleted Items");
  const std::string given = LongTermId(kBoxUid, "\xA1"), made = LongTermId(kBoxUid, "\xA2");
  const std::string givenKey = Binary(given, PR_SEARCH_KEY), madeKey = Binary(made, PR_SEARCH_KEY);
  SBinary ids[2] = {{static_cast<ULONG>(given.size()), (LPBYTE)given.data()},
                    {static_cast<ULONG>(made.size()), (LPBYTE)made.data()}};
  ENTRYLIST list{2, ids};
  ASSERT_EQ(inbox->CopyMessages(&list, nullptr, deleted.Get(), 0, nullptr, 0), S_OK);
  ASSERT_EQ(inbox->CopyMessages(&list, nullptr, deleted.Get(), 0, nullptr, MESSAGE_MOVE), S_OK);
  const auto copies = MessageIds(deleted.Get());
  ASSERT_EQ(copies.size(), 4u);
  const std::string expected[] = {givenKey, madeKey, givenKey, madeKey};
  for (size_t i = 0; i < copies.size(); ++i) {
    EXPECT_NE(copies[i], i % 2 == 0 ? given : made);
    EXPECT_EQ(Binary(copies[i], PR_SEARCH_KEY), expected[i]) << i;
  }
  EXPECT_EQ(Texts(copies[0].substr(20), {PR_INTERNET_MESSAGE_ID_A}), std::vector<std::string>{"<1@quop.example>"});
  EXPECT_EQ(Texts(copies[2].substr(20), {PR_INTERNET_MESSAGE_ID_A}), std::vector<std::string>{"<1@quop.example>"});
}

std::string SaveText(const MapiApi& api) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string file = std::string(dir) + "standin-keys-profile.json";
  EXPECT_EQ(api.SaveProfile(file.c_str()), S_OK);
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::remove(file.c_str());
  return text;
}

TEST_F(MessagePropsTest, TheNewKeysAreSavedAsTheyWereGiven) {
  const std::string keys = R"("kind": "exchange-online", "unicode": false, "largePropertyLimit": 4096,
    "responseLimit": 20000, "maxOpenMessages": 10, "maxOpenFolders": 11, "maxOpenAttachments": 12,
    "maxRowsPerQuery": 13, "callMicroseconds": 14,)";
  ASSERT_EQ(api.LoadProfileText(OneStoreProfile(keys, Messages() + R"(, {"id": "A5", "html": "<b>x</b>"},
                                                         {"id": "A6", "htmlHex": "3CFF3E", "rtf": "0102"})")
                                     .c_str()),
            S_OK);
  const std::string saved = SaveText(api);
  const char* expected[] = {
      R"("kind": "exchange-online")", R"("unicode": false)", R"("largePropertyLimit": 4096)",
      R"("responseLimit": 20000)", R"("maxOpenMessages": 10)", R"("maxOpenFolders": 11)",
      R"("maxOpenAttachments": 12)", R"("maxRowsPerQuery": 13)", R"("callMicroseconds": 14)",
      R"("senderAddrType": "EX")", R"("senderSmtp": "anna.berg@quop.example")",
      R"("internetMessageId": "<1@quop.example>")", R"("searchKey": "0102A0FF")",
      R"("lastModificationTime": "2024-03-02T10:00:00Z")", R"("html": "<b>x</b>")",
      // HTML bytes that are not UTF-8 stay hex.
      R"("htmlHex": "3CFF3E")", R"("rtf": "0102")"};
  for (const char* e : expected) EXPECT_NE(saved.find(e), std::string::npos) << e;
  // Values made when served are not written: an older profile saves as it was.
  EXPECT_EQ(saved.find(R"("senderAddrType": "SMTP")"), saved.rfind(R"("senderAddrType": "SMTP")"));
  EXPECT_EQ(saved.find("searchKey"), saved.rfind("searchKey"));

  ASSERT_EQ(api.LoadProfileText(saved.c_str()), S_OK);
  EXPECT_EQ(SaveText(api), saved);
}

TEST(ProfileKeys, WrongStoreAndMessageKeysAreRefusedWithTheReasonLogged) {
  const MapiApi& api = MapiApi::Get();
  ASSERT_EQ(api.LoadProfileText(kFixtureProfile), S_OK);
  const std::string broken[] = {
      OneStoreProfile(R"("kind": "imap",)", ""),
      OneStoreProfile(R"("kind": 3,)", ""),
      OneStoreProfile(R"("unicode": "yes",)", ""),
      OneStoreProfile(R"("largePropertyLimit": -1,)", ""),
      OneStoreProfile(R"("maxRowsPerQuery": "100",)", ""),
      OneStoreProfile(R"("callMicroseconds": 1.5,)", ""),
      OneStoreProfile("", R"({"searchKey": "0G"})"),
      OneStoreProfile("", R"({"searchKey": "123"})"),
      OneStoreProfile("", R"({"senderAddrType": "X400"})"),
      OneStoreProfile("", R"({"lastModificationTime": "soon"})"),
      OneStoreProfile("", R"({"rtf": "0G"})"),
      OneStoreProfile("", R"({"html": "<p>", "htmlHex": "3C703E"})"),
  };
  for (const std::string& text : broken) {
    api.ClearLog();
    EXPECT_EQ(api.LoadProfileText(text.c_str()), MAPI_E_CORRUPT_DATA) << text;
    ASSERT_EQ(api.Log().size(), 1u);
    EXPECT_EQ(api.Log()[0].rfind("LoadProfile error: ", 0), 0u) << api.Log()[0];
  }
}

}  // namespace
