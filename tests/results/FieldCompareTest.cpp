// Two records side by side: every field as the index compares it, the
// differing ones marked, and what kept the two apart under the settings.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "indexapi/CompareFields.h"
#include "quopdb/MatchRules.h"
#include "results/FieldCompare.h"
#include "tests/results/FieldCompareRecord.h"
#include "support/DateTime.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

struct TPairCase {
  const char* name;
  std::function<void(TOwnedRecord&)> change;  // applied to the right-hand record
  TCompareSettings settings;
  std::int32_t differing;   // fields marked different
  std::int32_t keptApartBy; // selected fields among them
  bool folderKeptApart;
};

TEST(FieldCompareTest, MarksEachFieldAsTheIndexComparesIt) {
  const std::int32_t defaults = DefaultFieldMask();
  const TPairCase cases[] = {
      {"trailing blanks in the subject", [](TOwnedRecord& r) { r.subject += " \t\r\n"; },
       {defaults, true}, 0, 0, false},
      {"leading blanks in the cc", [](TOwnedRecord& r) { r.cc = "  "; }, {0xFFF, true}, 0, 0, false},
      {"case of the sender address", [](TOwnedRecord& r) { r.email = " Ann@Example.COM"; },
       {defaults, true}, 0, 0, false},
      {"case of the sender name counts", [](TOwnedRecord& r) { r.name = "ANN LEE"; },
       {FIELD_FROM | FIELD_SUBJECT, true}, FIELD_FROM, FIELD_FROM, false},
      {"a fraction of the same second", [](TOwnedRecord& r) { r.received += 0.4 * kSecond; },
       {FIELD_RECEIVED_DATE, true}, 0, 0, false},
      {"the next second", [](TOwnedRecord& r) { r.received += 1.2 * kSecond; },
       {FIELD_RECEIVED_DATE | FIELD_SUBJECT, true}, FIELD_RECEIVED_DATE, FIELD_RECEIVED_DATE, false},
      {"a hair below the next second", [](TOwnedRecord& r) { r.sent += 0.9999999 * kSecond; },
       {FIELD_SENT_DATE, true}, FIELD_SENT_DATE, FIELD_SENT_DATE, false},
      {"another attachment summary, selected",
       [](TOwnedRecord& r) { r.attached = "figures.xlsx (20481)"; },
       {defaults | FIELD_ATTACHMENT, true}, FIELD_ATTACHMENT, FIELD_ATTACHMENT, false},
      {"another attachment summary, not selected",
       [](TOwnedRecord& r) { r.attached = "figures.xlsx (20481)"; }, {defaults, true},
       FIELD_ATTACHMENT, 0, false},
      {"body, size and read flag", [](TOwnedRecord& r) { r.crc ^= 1; r.size += 1; r.read = false; },
       {FIELD_MESSAGE | FIELD_UNREAD, true}, FIELD_MESSAGE | FIELD_SIZE | FIELD_UNREAD,
       FIELD_MESSAGE | FIELD_UNREAD, false},
      {"another folder, across folders", [](TOwnedRecord& r) { r.folder = "Archive"; },
       {defaults, true}, 0, 0, false},
      {"another folder, each folder", [](TOwnedRecord& r) { r.folder = "Archive"; },
       {defaults, false}, 0, 0, true},
      {"same folder name in another store, each folder",
       [](TOwnedRecord& r) { r.id = std::string("00000000") + kStoreB + "0700000000000002"; },
       {defaults, false}, 0, 0, true},
      {"same folder, each folder", [](TOwnedRecord& r) { r.id.back() = '9'; }, {defaults, false}, 0,
       0, false},
  };
  for (const TPairCase& c : cases) {
    SCOPED_TRACE(c.name);
    TOwnedRecord left, right;
    c.change(right);
    const TQuopMsg a = left.Msg(), b = right.Msg();
    const TFieldComparison cmp = CompareRecords(a, b, c.settings);

    ASSERT_EQ(cmp.Rows.size(), CompareFields.size()) << "every field, selected or not";
    std::int32_t differing = 0, keptApart = 0;
    for (std::size_t i = 0; i < cmp.Rows.size(); ++i) {
      const TFieldRow& row = cmp.Rows[i];
      SCOPED_TRACE(row.szCaption);
      EXPECT_EQ(row.nFieldID, CompareFields[i].nFieldID) << "in the window's order";
      EXPECT_EQ(row.bSelected, (c.settings.nSelFields & row.nFieldID) != 0);
      EXPECT_EQ(row.bEqual, row.strLeft == row.strRight) << row.strLeft << " | " << row.strRight;
      if (!row.bEqual) differing |= row.nFieldID;
      if (row.KeptApart()) keptApart |= row.nFieldID;
    }
    EXPECT_EQ(differing, c.differing);
    EXPECT_EQ(keptApart, c.keptApartBy);
    std::int32_t listed = 0;
    for (std::int32_t f : cmp.KeptApartBy) listed |= f;
    EXPECT_EQ(listed, c.keptApartBy);
    EXPECT_EQ(cmp.bFolderKeptApart, c.folderKeptApart);

    // The verdict agrees with the engine's own rule over folder runs.
    quopdb::TMatchSettings s;
    s.nSelFields = c.settings.nSelFields;
    s.bSearchOverFolders = c.settings.bSearchOverFolders;
    const bool engine = quopdb::SameMessage(quopdb::ViewOf(a, 1), quopdb::ViewOf(b, cmp.bSameFolder ? 1 : 2), s);
    EXPECT_EQ(cmp.Duplicates(), engine);
  }
}

TEST(FieldCompareTest, ShowsValuesAsCompared) {
  TOwnedRecord left, right;
  left.subject = "  Quarterly figures \r\n";
  left.email = "\tAnn@Example.COM ";
  left.received = EncodeDate(2024, 3, 5) + (14 * 3600 + 22 * 60 + 7) * kSecond - 1e-12;
  right.received = 0;
  right.cc.clear();
  const TFieldComparison cmp = CompareRecords(left.Msg(), right.Msg(), {DefaultFieldMask(), true});
  auto row = [&](std::int32_t id) {
    for (const TFieldRow& r : cmp.Rows)
      if (r.nFieldID == id) return r;
    ADD_FAILURE() << "no row for field " << id;
    return TFieldRow();
  };
  EXPECT_EQ(row(FIELD_SUBJECT).strLeft, "Quarterly figures");
  EXPECT_EQ(row(FIELD_SENDER_EMAIL).strLeft, "ann@example.com");
  EXPECT_EQ(row(FIELD_RECEIVED_DATE).strLeft, "2024-03-05 14:22:07 UTC");
  EXPECT_EQ(row(FIELD_RECEIVED_DATE).strRight, "(none)");
  EXPECT_FALSE(row(FIELD_RECEIVED_DATE).bEqual);
  EXPECT_EQ(row(FIELD_MESSAGE).strLeft, "CRC 0x1234ABCD");
  EXPECT_EQ(row(FIELD_UNREAD).strLeft, "read");
}

TEST(FieldCompareTest, DateTextAroundTheEpochAndOutOfRange) {
  struct Case { double dt; const char* text; };
  const Case cases[] = {
      {0, "(none)"},
      {1.5, "1899-12-31 12:00:00 UTC"},
      {EncodeDate(2000, 2, 29) + 86399 * kSecond, "2000-02-29 23:59:59 UTC"},
      {1e300, "(invalid)"},
  };
  for (const Case& c : cases) EXPECT_EQ(WholeSecondText(c.dt), c.text) << c.dt;
}

}  // namespace
