// The collection reads what a contents table gives whole from the table and
// opens a message only for the rest. Its records must be those of opening
// and reading every message on its own, byte for byte, whatever the fields
// compared: texts a table cuts at 255 characters, senders of both kinds,
// both text widths and short batches of rows included.
#include <cstdio>

#include "mapi/MessageSlots.h"
#include "tests/mapi/CollectFixture.h"
#include "tests/mapi/CutStores.h"
#include "tests/mapi/ProfileTruth.h"

namespace {

using namespace profile;

// The fields two records of one message differ in, by name.
std::string Differences(const TRecord& a, const TRecord& b) {
  std::string d;
  const auto check = [&d](bool same, const char* name) {
    if (!same) d += std::string(d.empty() ? "" : ", ") + name;
  };
  check(a.entryID == b.entryID, "entry identifier");
  check(a.senderName == b.senderName, "sender name");
  check(a.senderEmail == b.senderEmail && a.hasEmail == b.hasEmail, "sender address");
  check(a.subject == b.subject, "subject");
  check(a.attached == b.attached, "attachments");
  check(a.to == b.to && a.hasTo == b.hasTo, "To");
  check(a.cc == b.cc, "Cc");
  check(a.bcc == b.bcc, "Bcc");
  check(a.folder == b.folder, "folder");
  check(a.received == b.received, "received");
  check(a.sent == b.sent, "sent");
  check(a.crc == b.crc, "body");
  check(a.size == b.size, "size");
  check(a.read == b.read, "read");
  return d;
}

class TablePathTest : public CollectTest {
 protected:
  // A run over an emptied index through the chosen path.
  void RunFresh(bool throughTables, std::int32_t mask) {
    db_.ClearDB();
    ends_ = 0;
    texts_.clear();
    Session().SetReadThroughTables(throughTables);
    Run(mask);
  }
  std::vector<TRecord> RunPath(bool throughTables, std::int32_t mask) {
    RunFresh(throughTables, mask);
    EXPECT_TRUE(Skips().empty()) << (throughTables ? "through tables" : "every message opened");
    return Records();
  }
};

TEST_F(TablePathTest, RecordsAreThoseOfOpeningEveryMessageForEveryMask) {
  standin_.LoadProfile(TestProfile());
  const std::size_t messages =
      TProfileTruth(nlohmann::json::parse(Realistic())).Messages().size() + 2 * kCutStoreMessages;
  // Each field alone, then the usual sets.
  struct Case {
    std::string name;
    std::int32_t mask;
  };
  std::vector<Case> cases;
  for (const TCompareField& field : CompareFields) cases.push_back({field.szCaption, field.nFieldID});
  cases.insert(cases.end(), {{"defaults", DefaultFieldMask()}, {"every field", 0xFFF}, {"none", 0}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TRecord> opened = RunPath(false, c.mask), tables = RunPath(true, c.mask);
    ASSERT_EQ(opened.size(), messages) << "every mail message read";
    ASSERT_EQ(tables.size(), opened.size());
    int differing = 0;
    for (std::size_t i = 0; i < opened.size(); ++i) {
      const std::string d = Differences(opened[i], tables[i]);
      if (d.empty()) continue;
      if (++differing <= 5)
        ADD_FAILURE() << "record " << i << " (" << opened[i].subject.substr(0, 40) << ") differs in " << d;
    }
    EXPECT_EQ(differing, 0);
  }
}

TEST_F(TablePathTest, TextsATableCutAreReadWholeFromTheMessage) {
  standin_.LoadProfile(
      Profile(CutStore("Cut wide", 'C', true, "\u4F1A") + "," + CutStore("Cut narrow", 'D', false, "e")));
  const std::vector<TRecord> all = RunPath(true, 0xFFF);
  ASSERT_EQ(all.size(), 2 * kCutStoreMessages);
  for (int store = 0; store < 2; ++store) {
    SCOPED_TRACE(store ? "narrow" : "wide");
    const std::string letter = store ? "e" : "\xE4\xBC\x9A";
    const TRecord* r = &all[store * kCutStoreMessages];
    EXPECT_EQ(r[0].subject, Repeat(letter, 254));
    EXPECT_EQ(r[0].senderName, Repeat(letter, 255));
    EXPECT_EQ(r[0].to, Repeat(letter, 255));
    EXPECT_EQ(r[0].attached, Repeat(letter, 300) + "5f.txt7");
    EXPECT_EQ(r[1].subject, Repeat(letter, 255));
    EXPECT_EQ(r[1].senderEmail, Repeat("a", 300) + "@example.com");
    EXPECT_EQ(r[1].cc, Repeat(letter, 600));
    EXPECT_EQ(r[2].subject, Repeat(letter, 300));
    EXPECT_EQ(r[2].senderEmail, Repeat("b", 260) + "@example.com") << "an EX sender by its whole SMTP address";
    EXPECT_EQ(r[3].senderEmail, "anna@example.com");
    EXPECT_EQ(r[3].bcc, Repeat(letter, 20000));
    EXPECT_EQ(r[3].crc, static_cast<std::int32_t>(StrCRC32(0, Repeat("x", 40000).c_str())));
    EXPECT_EQ(r[4].size, 77);
    EXPECT_TRUE(r[4].read);
    EXPECT_GT(r[4].sent, 45000.0);
  }
}

TEST_F(TablePathTest, FieldsATableGivesOpenNoMessage) {
  const std::int32_t tableFields = FIELD_SUBJECT | FIELD_FROM | FIELD_SENDER_EMAIL | FIELD_SIZE | FIELD_SENT_DATE |
                                   FIELD_UNREAD | FIELD_RECEIVED_DATE;
  standin_.ResetPeaks();
  const std::vector<TRecord> all = RunPath(true, tableFields);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0].senderEmail, "anna@example.com");
  EXPECT_EQ(all[0].size, 1234);
  EXPECT_EQ(standin_.PeakOpen("message"), 0) << "no message opened";

  // Only what the table cannot give whole opens its message: a subject it
  // cut, an Exchange sender whose row has no SMTP address. A message that
  // will not open shows which were opened.
  const std::string dn = "/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=ANNA";
  const std::string subjects[] = {"short", Repeat("l", 400), "ex smtp", "ex dn"};
  standin_.LoadProfile(Profile(
      Store("Long", '7', true,
            Folder("Inbox", "IPF.Note",
                   Message(subjects[0]) + "," + Message(subjects[1]) + "," +
                       Message(subjects[2], Keys({Key("senderAddrType", "EX"), Key("senderEmail", dn),
                                                  Key("senderSmtp", "anna@example.com")})) +
                       "," + Message(subjects[3], Keys({Key("senderAddrType", "EX"), Key("senderEmail", dn)}))))));
  for (const std::string& subject : subjects) standin_.AddFault("OpenEntry", subject.c_str(), MAPI_E_CALL_FAILED);
  RunFresh(true, tableFields);
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"short", "ex smtp"}));
  EXPECT_EQ(Skips(),
            (std::vector<std::string>{"message|" + Repeat("l", 255) + "|Could not open message!|MAPI_E_CALL_FAILED",
                                      "message|ex dn|Could not open message!|MAPI_E_CALL_FAILED"}))
      << "named by the table's subject";

  standin_.ClearFaults();
  const std::vector<TRecord> opened = RunPath(true, tableFields);
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[1].subject, subjects[1]);
  EXPECT_EQ(opened[2].senderEmail, "anna@example.com");
  EXPECT_EQ(opened[3].senderEmail, dn);
}

// Which column values stand for the message's own, at the edges of the cut.
TEST(TableColumnTest, OnlyValuesShorterThanTheCutOrMissingAreWhole) {
  const std::wstring wide254(254, L'w'), wide255(255, L'w');
  const std::string narrow254(254, 'n'), narrow255(255, 'n');
  std::vector<BYTE> bytes(255);
  const auto text = [](ULONG tag, const void* p) {
    SPropValue v{};
    v.ulPropTag = tag;
    if (PROP_TYPE(tag) == PT_UNICODE)
      v.Value.lpszW = static_cast<LPWSTR>(const_cast<void*>(p));
    else
      v.Value.lpszA = static_cast<LPSTR>(const_cast<void*>(p));
    return v;
  };
  const auto binary = [&bytes](ULONG cb) {
    SPropValue v{};
    v.ulPropTag = PR_ENTRYID;
    v.Value.bin = {cb, bytes.data()};
    return v;
  };
  const auto error = [](ULONG tag, HRESULT hr) {
    SPropValue v{};
    v.ulPropTag = CHANGE_PROP_TYPE(tag, PT_ERROR);
    v.Value.err = hr;
    return v;
  };
  SPropValue flags{};
  flags.ulPropTag = PR_MESSAGE_FLAGS;
  struct Case {
    const char* name;
    SPropValue value;
    ULONG tag;
    bool whole;
  };
  const Case cases[] = {
      {"wide text of 254", text(PR_SUBJECT_W, wide254.c_str()), PR_SUBJECT_W, true},
      {"wide text of 255", text(PR_SUBJECT_W, wide255.c_str()), PR_SUBJECT_W, false},
      {"narrow text of 254", text(PR_SUBJECT_A, narrow254.c_str()), PR_SUBJECT_A, true},
      {"narrow text of 255", text(PR_SUBJECT_A, narrow255.c_str()), PR_SUBJECT_A, false},
      {"text of the other width", text(PR_SUBJECT_A, narrow254.c_str()), PR_SUBJECT_W, false},
      {"binary of 254", binary(254), PR_ENTRYID, true},
      {"binary of 255", binary(255), PR_ENTRYID, false},
      {"a number", flags, PR_MESSAGE_FLAGS, true},
      {"missing", error(PR_SUBJECT_W, MAPI_E_NOT_FOUND), PR_SUBJECT_W, true},
      {"too large for the table", error(PR_SUBJECT_W, MAPI_E_NOT_ENOUGH_MEMORY), PR_SUBJECT_W, false},
      {"failed", error(PR_MESSAGE_FLAGS, MAPI_E_CALL_FAILED), PR_MESSAGE_FLAGS, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsWholeColumn(&c.value, c.tag), c.whole) << c.name;
  EXPECT_FALSE(IsWholeColumn(nullptr, PR_SUBJECT_W)) << "a row short of the column";
}

// Each call to an online store is a trip to the server: the calls a message
// costs decide the speed there. Through tables a message needs none of the
// three GetProps that read its common fields, entry identifier and flags; its
// To, Cc, Bcc and body come with one GetProps instead of four; and an
// attachment's name and size come from the attachment table, not from
// opening it and reading its properties.
TEST_F(TablePathTest, AMessageCostsFewerCallsThroughTables) {
  constexpr int kMessages = 200;
  std::string messages;
  for (int i = 0; i < kMessages; ++i)
    messages += (i ? "," : "") + Message("m" + std::to_string(i),
                                         "\"to\": \"Tom\", \"body\": \"b\", "
                                         "\"attachments\": [{\"displayName\": \"a\", \"size\": 1}]");
  standin_.LoadProfile(
      Profile(Store("Online", '5', true, Folder("Inbox", "IPF.Note", messages), "\"kind\": \"exchange-online\"")));
  struct Case {
    const char* name;
    std::int32_t mask;
    unsigned long saved;
  };
  const Case cases[] = {{"defaults", DefaultFieldMask(), 3}, {"every_field", 0xFFF, 3 + 3 + 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unsigned long calls[2] = {};
    for (const bool tables : {false, true}) {
      Session();  // logged on before the counted calls begin
      standin_.ResetCalls();
      EXPECT_EQ(RunPath(tables, c.mask).size(), static_cast<std::size_t>(kMessages));
      calls[tables] = standin_.CallCount();
      std::printf("online_calls_per_message_%s_%s: %.2f\n", c.name, tables ? "tables" : "opened",
                  static_cast<double>(calls[tables]) / kMessages);
    }
    EXPECT_EQ(calls[false] - calls[true], c.saved * kMessages);
  }
}

}  // namespace
