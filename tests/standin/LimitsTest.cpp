// Limits real stores set: open objects per session (Exchange online),
// table columns cut to 255, and rows per QueryRows.
#include <cstdio>
#include <functional>

#include "standin/ExtraTags.h"
#include "tests/standin/MapiFixture.h"

namespace {

enum class What { Message, Folder, Attachment };

// Own bytes of the n-th generated object: a prefix byte and two of number.
std::string Own(char prefix, size_t n) { return std::string{prefix, char(n >> 8), char(n & 0xFF)}; }
std::string HexOwn(char prefix, size_t n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%04X", static_cast<unsigned char>(prefix), static_cast<unsigned>(n));
  return text;
}

// `count` messages in Inbox, `count` folders beside it, or one message A1
// with `count` attachments.
std::string ProfileWith(const std::string& storeKeys, What what, size_t count) {
  std::string list;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) list += ", ";
    if (what == What::Message) list += R"({"id": ")" + HexOwn('\xA1', i) + R"(", "subject": "m)" + std::to_string(i) + "\"}";
    if (what == What::Folder) list += R"({"name": "f)" + std::to_string(i) + R"(", "id": ")" + HexOwn('\xB1', i) + "\"}";
    if (what == What::Attachment) list += R"({"displayName": "a)" + std::to_string(i) + "\"}";
  }
  if (what == What::Message) return OneStoreProfile(storeKeys, list);
  if (what == What::Folder) return OneStoreProfile(storeKeys, "", list);
  return OneStoreProfile(storeKeys, R"({"id": "A1", "subject": "Many", "attachments": [)" + list + "]}");
}

class LimitsTest : public MapiTest {
 protected:
  // Opens the n-th object of the profile made by ProfileWith.
  HRESULT Open(What what, size_t n, ComPtr<IUnknown>& out) {
    if (what == What::Attachment) {
      if (!holder) holder = OpenBoxMessage("\xA1");
      if (!holder) return E_UNEXPECTED;
      return holder->OpenAttach(static_cast<ULONG>(n), nullptr, 0, reinterpret_cast<LPATTACH*>(&out));
    }
    const std::string id = LongTermId(kBoxUid, Own(what == What::Message ? '\xA1' : '\xB1', n));
    ULONG type = 0;
    return session->OpenEntry(id.size(), (LPENTRYID)id.data(), nullptr, 0, &type, &out);
  }

  ComPtr<IMessage> holder;  // the message whose attachments are opened
};

TEST_F(LimitsTest, ASessionOpensNoMoreObjectsOfAStoreThanItsLimitsUntilOneIsReleased) {
  struct Case {
    const char* storeKeys;
    What what;
    size_t limit;    // 0: none
    size_t objects;  // in the profile
  } cases[] = {
      {R"("kind": "exchange-online",)", What::Message, 250, 251},
      {R"("kind": "exchange-online",)", What::Folder, 500, 501},
      {R"("kind": "exchange-online",)", What::Attachment, 500, 501},
      {R"("maxOpenMessages": 3,)", What::Message, 3, 4},
      {R"("kind": "exchange-cached", "maxOpenFolders": 2,)", What::Folder, 2, 3},
      {R"("maxOpenAttachments": 1,)", What::Attachment, 1, 2},
      {R"("kind": "exchange-online", "maxOpenMessages": 400,)", What::Message, 400, 401},
      {"", What::Message, 0, 300},
      {R"("kind": "exchange-cached",)", What::Attachment, 0, 600},
      {R"("kind": "exchange-cached",)", What::Folder, 0, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.storeKeys) + " " + std::to_string(static_cast<int>(c.what)));
    ASSERT_EQ(api.LoadProfileText(ProfileWith(c.storeKeys, c.what, c.objects).c_str()), S_OK);
    std::vector<ComPtr<IUnknown>> held(c.objects);
    const size_t allowed = c.limit != 0 ? c.limit : c.objects;
    for (size_t i = 0; i < allowed; ++i) ASSERT_EQ(Open(c.what, i, held[i]), S_OK) << i;
    if (c.limit != 0) {
      EXPECT_EQ(Open(c.what, c.limit, held[c.limit]), MAPI_E_CALL_FAILED);
      EXPECT_FALSE(held[c.limit]);
      ComPtr<IUnknown> again;
      EXPECT_EQ(Open(c.what, 0, again), MAPI_E_CALL_FAILED);  // the same object opened twice counts twice
      held[0].Reset();
      EXPECT_EQ(Open(c.what, c.limit, held[c.limit]), S_OK);
      EXPECT_EQ(Open(c.what, 0, again), MAPI_E_CALL_FAILED);
    }
    held.clear();
    holder.Reset();
  }
}

TEST_F(LimitsTest, EachSessionCountsItsOwnOpenObjects) {
  ASSERT_EQ(api.LoadProfileText(ProfileWith(R"("kind": "exchange-online", "maxOpenMessages": 2,)", What::Message, 3).c_str()),
            S_OK);
  ComPtr<IUnknown> first[3];
  for (int i = 0; i < 2; ++i) ASSERT_EQ(Open(What::Message, i, first[i]), S_OK);
  EXPECT_EQ(Open(What::Message, 2, first[2]), MAPI_E_CALL_FAILED);

  ComPtr<IMAPISession> other;
  ASSERT_EQ(api.LogonEx(0, nullptr, nullptr, MAPI_EXTENDED, &other), S_OK);
  ComPtr<IUnknown> second[3];
  for (int i = 0; i < 3; ++i) {
    const std::string id = LongTermId(kBoxUid, Own('\xA1', i));
    ULONG type = 0;
    EXPECT_EQ(other->OpenEntry(id.size(), (LPENTRYID)id.data(), nullptr, 0, &type, &second[i]),
              i < 2 ? S_OK : MAPI_E_CALL_FAILED)
        << i;
  }
  EXPECT_EQ(other->Logoff(0, 0, 0), S_OK);
  other.Reset();
  // Messages may outlive the session object they were opened through.
  for (auto& m : second) m.Reset();
  EXPECT_EQ(Open(What::Message, 2, first[2]), MAPI_E_CALL_FAILED);
  first[0].Reset();
  EXPECT_EQ(Open(What::Message, 2, first[2]), S_OK);
}

TEST_F(LimitsTest, TableColumnsCutStringsAndBinariesTo255AndLeaveOutBodiesInOtherFormats) {
  struct Row {
    std::string subject;        // UTF-8
    size_t subjectChars;
    size_t searchKeyBytes;
  } rows[] = {{std::string(254, 'a'), 254, 254}, {std::string(255, 'b'), 255, 255},
              {std::string(256, 'c'), 256, 256}, {std::string(300, 'd'), 300, 1000}};
  std::string messages;
  for (size_t i = 0; i < std::size(rows); ++i) {
    if (i > 0) messages += ", ";
    messages += R"({"id": ")" + HexOwn('\xA1', i) + R"(", "subject": ")" + rows[i].subject + R"(", "searchKey": ")" +
                std::string(rows[i].searchKeyBytes * 2, '5') + R"(", "body": ")" + std::string(20000, 'x') +
                R"(", "html": "<p>x</p>", "rtf": "0102"})";
  }
  // Chinese: 300 characters, 300 question marks in code page 1252.
  std::string chinese;
  for (int i = 0; i < 300; ++i) chinese += "中";
  messages += R"(, {"id": "A2", "subject": ")" + chinese + R"(", "searchKey": "01"})";
  ASSERT_EQ(api.LoadProfileText(OneStoreProfile("", messages).c_str()), S_OK);

  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMAPITable> table;
  ASSERT_EQ(inbox->GetContentsTable(0, &table), S_OK);
  Rows keep;
  auto got = ReadTable(table.Get(), {PR_SUBJECT_A, PR_SUBJECT_W, PR_SEARCH_KEY, PR_BODY_W, PR_HTML, PR_RTF_COMPRESSED},
                       100, keep);
  ASSERT_EQ(got.size(), std::size(rows) + 1);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const size_t cut = std::min<size_t>(rows[i].subjectChars, 255);
    EXPECT_EQ(AnsiOf(got[i][0]), rows[i].subject.substr(0, cut));
    EXPECT_EQ(WideOf(got[i][1]), std::wstring(cut, rows[i].subject[0]));
    EXPECT_EQ(AsBytes(got[i][2]), std::string(std::min<size_t>(rows[i].searchKeyBytes, 255), '\x55'));
    EXPECT_EQ(WideOf(got[i][3]), std::wstring(255, L'x'));  // over the GetProps limit, yet cut, not refused
    for (int c : {4, 5}) {
      EXPECT_EQ(PROP_TYPE(got[i][c].ulPropTag), PT_ERROR);
      EXPECT_EQ(got[i][c].Value.err, MAPI_E_NOT_FOUND);
    }
  }
  EXPECT_EQ(AnsiOf(got.back()[0]), std::string(255, '?'));
  EXPECT_EQ(WideOf(got.back()[1]), std::wstring(255, L'\u4E2D'));
}

TEST_F(LimitsTest, QueryRowsGivesNoMoreRowsACallThanTheStoreAnswers) {
  struct Case {
    const char* storeKeys;
    size_t messages;
    LONG ask;
    std::vector<ULONG> answers;  // rows of each call until none are left
  } cases[] = {
      {R"("kind": "exchange-online",)", 250, 1000, {100, 100, 50, 0}},
      {R"("kind": "exchange-online",)", 250, 60, {60, 60, 60, 60, 10, 0}},
      {R"("kind": "exchange-online", "maxRowsPerQuery": 500,)", 250, 1000, {250, 0}},
      {"", 250, 1000, {250, 0}},
      {R"("kind": "exchange-cached",)", 250, 0x7FFFFFFF, {250, 0}},
      {R"("maxRowsPerQuery": 7,)", 20, 10, {7, 7, 6, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.storeKeys);
    ASSERT_EQ(api.LoadProfileText(ProfileWith(c.storeKeys, What::Message, c.messages).c_str()), S_OK);
    ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
    ComPtr<IMAPITable> table;
    ASSERT_EQ(inbox->GetContentsTable(0, &table), S_OK);
    Tags<1> columns{1, {PR_SUBJECT_A}};
    ASSERT_EQ(table->SetColumns(columns.Get(), 0), S_OK);
    std::vector<ULONG> answers;
    std::vector<std::string> subjects;
    for (size_t guard = 0; guard < 20; ++guard) {
      Rows rows;
      ASSERT_EQ(table->QueryRows(c.ask, 0, &rows), S_OK);
      answers.push_back(rows->cRows);
      for (ULONG r = 0; r < rows->cRows; ++r) subjects.emplace_back(rows->aRow[r].lpProps[0].Value.lpszA);
      if (rows->cRows == 0) break;
    }
    EXPECT_EQ(answers, c.answers);
    ASSERT_EQ(subjects.size(), c.messages);
    EXPECT_EQ(subjects.back(), "m" + std::to_string(c.messages - 1));  // every row once, in order
  }
}

}  // namespace
