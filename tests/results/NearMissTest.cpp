// Near misses from groups formed with the engine's match rules: the groups
// that form when one selected field is dropped and are not groups already.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "indexapi/CompareFields.h"
#include "quopdb/MatchRules.h"
#include "results/FieldCompare.h"
#include "results/NearMisses.h"
#include "tests/results/FieldCompareRecord.h"

namespace {

// Groups of two or more under a mask, across folders, by the engine's rule.
std::vector<TGroupIDs> GroupsUnder(std::vector<TOwnedRecord>& records, std::int32_t mask) {
  quopdb::TMatchSettings s;
  s.nSelFields = mask;
  s.bSearchOverFolders = true;
  std::vector<TGroupIDs> groups;
  std::vector<bool> placed(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (placed[i]) continue;
    TGroupIDs g{records[i].id};
    const TQuopMsg a = records[i].Msg();
    for (std::size_t j = i + 1; j < records.size(); ++j) {
      const TQuopMsg b = records[j].Msg();
      if (!placed[j] && quopdb::SameMessage(quopdb::ViewOf(a, 0), quopdb::ViewOf(b, 0), s)) {
        placed[j] = true;
        g.push_back(records[j].id);
      }
    }
    if (g.size() > 1) groups.push_back(std::move(g));
  }
  return groups;
}

class NearMissTest : public ::testing::Test {
 protected:
  void Add(const char* id, const char* subject, std::int32_t crc, const char* email = "ann@example.com") {
    TOwnedRecord& r = records_.emplace_back();
    r.id = id;
    r.subject = subject;
    r.email = email;
    r.crc = crc;
  }
  TNearMisses Find(std::int32_t mask, std::size_t cap = kNearMissesPerField) {
    current_ = GroupsUnder(records_, mask);
    without_.clear();
    for (const TDroppedFieldMask& m : NearMissMasks(mask))
      without_.push_back({m.nDroppedField, GroupsUnder(records_, m.nMask)});
    return FindNearMisses(current_, without_, cap);
  }
  TOwnedRecord& Record(const std::string& id) {
    return *std::find_if(records_.begin(), records_.end(), [&](const TOwnedRecord& r) { return r.id == id; });
  }

  std::vector<TOwnedRecord> records_;
  std::vector<TGroupIDs> current_;
  std::vector<TGroupsWithout> without_;
};

TEST_F(NearMissTest, GroupsThatFormWithoutOneFieldNamedByIt) {
  Add("A1", "Figures", 1);
  Add("A2", "Figures", 1);        // a group under the defaults
  Add("A3", "Re: Figures", 1);    // joins it without Subject
  Add("B1", "Lunch", 2);
  Add("B2", "Lunch", 3);          // with B1 only without Message
  Add("C1", "Other", 1, "bob@example.com");  // two fields off: never
  Add("D1", "Same", 4);
  Add("D2", "Same", 4);           // a group that no dropped field enlarges
  const TNearMisses found = Find(DefaultFieldMask());

  std::map<std::int32_t, std::set<std::set<std::string>>> byField;
  for (const TNearMiss& n : found.Groups)
    byField[n.nDroppedField].insert(std::set<std::string>(n.Members.begin(), n.Members.end()));
  const std::map<std::int32_t, std::set<std::set<std::string>>> expected{
      {FIELD_SUBJECT, {{"A1", "A2", "A3"}}},
      {FIELD_MESSAGE, {{"B1", "B2"}}},
  };
  EXPECT_EQ(byField, expected);
  EXPECT_EQ(found.nLeftOut, 0u);

  // Two members of different current groups differ in exactly the dropped field.
  for (const TNearMiss& n : found.Groups) {
    const TQuopMsg a = Record(n.Members.front()).Msg();
    for (std::size_t i = 1; i < n.Members.size(); ++i) {
      const TQuopMsg b = Record(n.Members[i]).Msg();
      const TFieldComparison cmp = CompareRecords(a, b, {DefaultFieldMask(), true});
      if (cmp.Duplicates()) continue;  // A1 and A2 were a group already
      EXPECT_EQ(cmp.KeptApartBy, std::vector<std::int32_t>{n.nDroppedField}) << n.Members[i];
    }
  }
}

TEST_F(NearMissTest, CapPerFieldCountsTheRest) {
  for (int i = 0; i < 5; ++i) {
    const std::string subject = "Topic " + std::to_string(i);
    Add(("P" + std::to_string(i)).c_str(), subject.c_str(), 10 + 2 * i);
    Add(("Q" + std::to_string(i)).c_str(), subject.c_str(), 11 + 2 * i);  // body differs
  }
  struct Case { std::size_t cap, shown, leftOut; };
  for (const Case c : {Case{0, 0, 5}, Case{3, 3, 2}, Case{5, 5, 0}, Case{9, 5, 0}}) {
    const TNearMisses found = Find(FIELD_SUBJECT | FIELD_MESSAGE, c.cap);
    EXPECT_EQ(found.Groups.size(), c.shown) << "cap " << c.cap;
    EXPECT_EQ(found.nLeftOut, c.leftOut) << "cap " << c.cap;
    for (const TNearMiss& n : found.Groups) EXPECT_EQ(n.nDroppedField, FIELD_MESSAGE);
  }
}

TEST(NearMissMasksTest, OneMaskForEachSelectedFieldNeverEmpty) {
  struct Case { std::int32_t mask; std::vector<std::pair<std::int32_t, std::int32_t>> expected; };
  const Case cases[] = {
      {FIELD_SUBJECT, {}},  // mask 0 finds nothing
      {0, {}},
      {FIELD_SUBJECT | FIELD_SIZE, {{FIELD_SUBJECT, FIELD_SIZE}, {FIELD_SIZE, FIELD_SUBJECT}}},
      {DefaultFieldMask(),
       {{FIELD_SUBJECT, FIELD_SENDER_EMAIL | FIELD_MESSAGE},
        {FIELD_SENDER_EMAIL, FIELD_SUBJECT | FIELD_MESSAGE},
        {FIELD_MESSAGE, FIELD_SUBJECT | FIELD_SENDER_EMAIL}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::int32_t, std::int32_t>> got;
    for (const TDroppedFieldMask& m : NearMissMasks(c.mask)) got.emplace_back(m.nDroppedField, m.nMask);
    EXPECT_EQ(got, c.expected) << c.mask;
  }
}

TEST(GroupReaderTest, FirstFlagOpensAGroup) {
  std::string ids[] = {"A", "B", "C", "D", "E"};
  const bool first[] = {true, false, true, false, false};
  TGroupReader reader;
  for (int i = 0; i < 5; ++i) {
    TQuopMsg m{};
    m.szEntryID = ids[i].data();
    m.bFirst = first[i];
    reader.Add(m);
  }
  EXPECT_EQ(reader.Take(), (std::vector<TGroupIDs>{{"A", "B"}, {"C", "D", "E"}}));
  EXPECT_TRUE(reader.Take().empty());
}

}  // namespace
