// Texts kept as Unicode: served whole as PT_UNICODE, as ANSI text of the
// process's code page (1252 here) for PT_STRING8 the way MAPI converts them,
// in the width MAPI_UNICODE asks for where the caller names no type.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "standin/ExtraTags.h"
#include "tests/standin/MapiFixture.h"

namespace {

struct Subject {
  const char* own;        // the message's own bytes
  const char* utf8;       // as the profile holds it
  const wchar_t* wide;    // PT_UNICODE
  const char* ansi;       // PT_STRING8 under code page 1252
};

// Chinese and Cyrillic have no 1252 look-alikes: every character is '?'.
// Ł and ź are best-fitted to L and z; ó, é and € are 1252 characters.
const Subject kSubjects[] = {
    {"\xA1", "中文邮件", L"\u4E2D\u6587\u90AE\u4EF6", "????"},
    {"\xA2", "Привет", L"\u041F\u0440\u0438\u0432\u0435\u0442", "??????"},
    {"\xA3", "Łódź", L"\u0141\u00F3d\u017A", "L\xF3" "dz"},
    {"\xA4", "café €5", L"caf\u00E9 \u20AC" L"5", "caf\xE9 \x80" "5"},
};

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[4];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02X ", c);
    out += two;
  }
  return out;
}

class UnicodeTest : public MapiTest {
 protected:
  void SetUp() override {
    MapiTest::SetUp();
    std::string messages;
    for (const Subject& s : kSubjects) {
      if (!messages.empty()) messages += ", ";
      messages += R"({"id": ")" + Hex(s.own).substr(0, 2) + R"(", "subject": ")" + s.utf8 +
                  R"(", "senderName": ")" + s.utf8 + R"(", "body": ")" + s.utf8 + R"("})";
    }
    ASSERT_EQ(api.LoadProfileText(OneStoreProfile("", messages, R"({"name": "Входящие", "id": "F2"})").c_str()),
              S_OK);
  }
};

TEST_F(UnicodeTest, MessageTextsComeWholeAsUnicodeAndAsAnsiTheWayMapiConvertsThem) {
  for (const Subject& s : kSubjects) {
    SCOPED_TRACE(s.utf8);
    ComPtr<IMessage> message = OpenBoxMessage(s.own);
    ASSERT_TRUE(message);
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    ASSERT_EQ(GetProps(message.Get(), {PR_SUBJECT_W, PR_SUBJECT_A, PR_SENDER_NAME_W, PR_SENT_REPRESENTING_NAME_A,
                                       PR_BODY_W, PR_BODY_A},
                       0, v, count),
              S_OK);
    for (int i : {0, 2, 4}) EXPECT_EQ(WideOf(v.Get()[i]), s.wide) << i;
    for (int i : {1, 3, 5}) EXPECT_EQ(Hex(AnsiOf(v.Get()[i])), Hex(s.ansi)) << i;
  }
}

TEST_F(UnicodeTest, ContentsTableColumnsComeInTheWidthTheyAreAskedIn) {
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMAPITable> table;
  ASSERT_EQ(inbox->GetContentsTable(0, &table), S_OK);
  Rows rows;
  auto got = ReadTable(table.Get(), {PR_SUBJECT_A, PR_SUBJECT_W}, 100, rows);
  ASSERT_EQ(got.size(), std::size(kSubjects));
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(Hex(AnsiOf(got[i][0])), Hex(kSubjects[i].ansi));
    EXPECT_EQ(WideOf(got[i][1]), kSubjects[i].wide);
  }
}

TEST_F(UnicodeTest, MapiUnicodeGivesUnicodeWhereTheCallerNamesNoType) {
  ComPtr<IMessage> message = OpenBoxMessage("\xA2");
  ASSERT_TRUE(message);
  struct Case {
    std::vector<ULONG> tags;  // empty: all properties
    ULONG flags;
    ULONG subjectType;
  } cases[] = {
      {{}, MAPI_UNICODE, PT_UNICODE},
      {{}, 0, PT_STRING8},
      {{PROP_TAG(PT_UNSPECIFIED, PROP_ID(PR_SUBJECT))}, MAPI_UNICODE, PT_UNICODE},
      {{PROP_TAG(PT_UNSPECIFIED, PROP_ID(PR_SUBJECT))}, 0, PT_STRING8},
      {{PR_SUBJECT_A}, MAPI_UNICODE, PT_STRING8},
      {{PR_SUBJECT_W}, 0, PT_UNICODE},
  };
  for (const Case& c : cases) {
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    ASSERT_EQ(GetProps(message.Get(), c.tags, c.flags, v, count), S_OK);
    int subjects = 0;
    for (ULONG i = 0; i < count; ++i) {
      const SPropValue& value = v.Get()[i];
      if (PROP_ID(value.ulPropTag) != PROP_ID(PR_SUBJECT)) continue;
      ++subjects;
      EXPECT_EQ(PROP_TYPE(value.ulPropTag), c.subjectType) << c.tags.size() << " flags " << c.flags;
      if (c.subjectType == PT_UNICODE) EXPECT_EQ(WideOf(value), kSubjects[1].wide);
      else EXPECT_EQ(AnsiOf(value), kSubjects[1].ansi);
    }
    EXPECT_EQ(subjects, 1);
    if (c.tags.empty()) {  // every text of the answer in the same width
      for (ULONG i = 0; i < count; ++i) {
        const ULONG type = PROP_TYPE(v.Get()[i].ulPropTag);
        EXPECT_TRUE(type != (c.subjectType == PT_UNICODE ? PT_STRING8 : PT_UNICODE)) << std::hex << v.Get()[i].ulPropTag;
      }
    }
  }
}

TEST_F(UnicodeTest, TablesMadeWithMapiUnicodeServeTheirDefaultTextColumnsAsUnicode) {
  ComPtr<IMAPIFolder> top = FolderByPath(0, "");
  ComPtr<IMAPIFolder> inbox = FolderByPath(0, "Inbox");
  ComPtr<IMAPITable> stores, folders, contents;
  ASSERT_EQ(session->GetMsgStoresTable(MAPI_UNICODE, &stores), S_OK);
  ASSERT_EQ(top->GetHierarchyTable(MAPI_UNICODE, &folders), S_OK);
  ASSERT_EQ(inbox->GetContentsTable(MAPI_UNICODE, &contents), S_OK);
  struct Case {
    IMAPITable* table;
    ULONG tag;
    std::wstring first;
  } cases[] = {{stores.Get(), PR_DISPLAY_NAME_W, L"Box"},
               {folders.Get(), PR_DISPLAY_NAME_W, L"Inbox"},
               {contents.Get(), PR_SUBJECT_W, kSubjects[0].wide}};
  for (const Case& c : cases) {
    Rows rows;
    ASSERT_EQ(c.table->QueryRows(1, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 1u);
    const SRow& row = rows->aRow[0];
    const SPropValue* found = nullptr;
    for (ULONG i = 0; i < row.cValues; ++i) {
      if (row.lpProps[i].ulPropTag == c.tag) found = &row.lpProps[i];
    }
    ASSERT_NE(found, nullptr) << std::hex << c.tag;
    EXPECT_EQ(WideOf(*found), c.first);
  }
  // Columns asked without a type take the table's width.
  Rows rows;
  auto got = ReadTable(folders.Get(), {PROP_TAG(PT_UNSPECIFIED, PROP_ID(PR_DISPLAY_NAME))}, 10, rows);
  ASSERT_EQ(got.size(), 1u);  // Inbox was read above
  EXPECT_EQ(WideOf(got[0][0]), L"\u0412\u0445\u043E\u0434\u044F\u0449\u0438\u0435");
}

TEST_F(UnicodeTest, LogonAndReceiveFolderAcceptMapiUnicode) {
  ComPtr<IMAPISession> wide;
  ASSERT_EQ(api.LogonEx(0, (LPSTR)L"Outlook", nullptr, MAPI_EXTENDED | MAPI_UNICODE, &wide), S_OK);
  EXPECT_EQ(api.Log().back(), "MAPILogonEx ui=0x0 profile=\"Outlook\" password=null flags=0x80000020");
  EXPECT_EQ(wide->Logoff(0, 0, 0), S_OK);

  ComPtr<IMsgStore> store = OpenStore(0);
  ULONG size = 0;
  MapiBuffer<ENTRYID> inbox;
  MapiBuffer<wchar_t> explicitClass;
  ASSERT_EQ(store->GetReceiveFolder((LPTSTR)L"IPM.Note", MAPI_UNICODE, &size, &inbox,
                                    reinterpret_cast<LPTSTR*>(&explicitClass)),
            S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(inbox.Get()), size), LongTermId(kBoxUid, "\xF1"));
  EXPECT_EQ(std::wstring(explicitClass.Get()), L"");
}

TEST_F(UnicodeTest, StoresTellWhetherTheyTakeUnicodeInTheirSupportMask) {
  struct Case {
    const char* keys;
    bool unicode;
  } cases[] = {{"", true}, {R"("unicode": true,)", true}, {R"("unicode": false,)", false}};
  for (const Case& c : cases) {
    ASSERT_EQ(api.LoadProfileText(OneStoreProfile(c.keys, "").c_str()), S_OK);
    ComPtr<IMsgStore> store = OpenStore(0);
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    ASSERT_EQ(GetProps(store.Get(), {PR_STORE_SUPPORT_MASK}, 0, v, count), S_OK);
    EXPECT_EQ((v.Get()[0].Value.l & STORE_UNICODE_OK) != 0, c.unicode) << c.keys;
    EXPECT_NE(v.Get()[0].Value.l & STORE_ENTRYID_UNIQUE, 0) << c.keys;
  }
}

TEST_F(UnicodeTest, SavingKeepsTheTextsAsUtf8) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string file = std::string(dir) + "standin-unicode-profile.json";
  ASSERT_EQ(api.SaveProfile(file.c_str()), S_OK);
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  for (const Subject& s : kSubjects) EXPECT_NE(text.find(std::string("\"subject\": \"") + s.utf8 + "\""), std::string::npos) << s.utf8;
  EXPECT_NE(text.find("\"name\": \"Входящие\""), std::string::npos);

  ASSERT_EQ(api.LoadProfile(file.c_str()), S_OK);
  std::remove(file.c_str());
  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  MapiBuffer<SPropValue> v;
  ULONG count = 0;
  ASSERT_EQ(GetProps(message.Get(), {PR_SUBJECT_W}, 0, v, count), S_OK);
  EXPECT_EQ(WideOf(v.Get()[0]), kSubjects[0].wide);
}

}  // namespace
