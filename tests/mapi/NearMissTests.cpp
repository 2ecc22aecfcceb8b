// Near misses over a realistic generated profile, read through QuopDB.dll:
// the records are collected once and the index searched again with each
// selected field dropped. Every near-miss group must be one group without
// the field, and its members must differ from each other in that field only.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mapi/SearchSetup.h"
#include "results/FieldCompare.h"
#include "results/NearMisses.h"
#include "tests/mapi/CollectFixture.h"
#include "tools/profilegen/ProfileGenerator.h"

namespace {

class NearMissProfileTest : public CollectTest {
 protected:
  void TearDown() override {
    for (TQuopMsg* m : held_) db_.FreeQuopMsg(m);
    held_.clear();
    CollectTest::TearDown();
  }

  // The groups of a search over the records collected, through the wrapper.
  std::vector<TGroupIDs> Groups(std::int32_t mask, bool across) {
    db_.SetMsgSet(SearchSettings(mask, across));
    TGroupReader reader;
    for (TQuopMsg* m = db_.FindFirstMsg(); m; m = db_.FindNextMsg()) {
      reader.Add(*m);
      db_.FreeQuopMsg(m);
    }
    return reader.Take();
  }

  // Every record added, by entry id; the library owns them until TearDown.
  void HoldRecords() {
    for (std::int32_t i = 0; i < db_.GetMsgCount(); ++i) {
      TQuopMsg* m = db_.Exports().FGetMsgAt(i);
      ASSERT_NE(m, nullptr);
      held_.push_back(m);
      byID_[m->szEntryID] = m;
    }
  }

  const TQuopMsg& ByID(const std::string& id) { return *byID_.at(id); }

  std::vector<TQuopMsg*> held_;
  std::map<std::string, const TQuopMsg*> byID_;
};

TEST_F(NearMissProfileTest, EachNearMissDiffersInExactlyTheDroppedField) {
  ProfileGenOptions options;
  options.messages = 1500;
  options.realistic = true;
  standin_.LoadProfile(GenerateProfile(options));
  Run(0xFFF);  // every field read once; every search below uses the same records
  ASSERT_TRUE(Skips().empty());
  HoldRecords();

  const std::int32_t masks[] = {DefaultFieldMask(),
                                FIELD_SUBJECT | FIELD_SENDER_EMAIL | FIELD_SIZE | FIELD_ATTACHMENT,
                                FIELD_SUBJECT | FIELD_FROM | FIELD_SENT_DATE | FIELD_RECEIVED_DATE};
  std::size_t nearMisses = 0;
  for (const std::int32_t mask : masks) {
    for (const bool across : {false, true}) {
      SCOPED_TRACE("mask " + std::to_string(mask) + (across ? ", across folders" : ", each folder"));
      const std::vector<TGroupIDs> current = Groups(mask, across);
      std::vector<TGroupsWithout> without;
      for (const TDroppedFieldMask& m : NearMissMasks(mask))
        without.push_back({m.nDroppedField, Groups(m.nMask, across)});
      const TNearMisses found = FindNearMisses(current, without);
      for (const TNearMiss& n : found.Groups) {
        SCOPED_TRACE("dropped " + std::to_string(n.nDroppedField) + ", first " + n.Members.front());
        ASSERT_GE(n.Members.size(), 2u);
        const TQuopMsg& first = ByID(n.Members.front());
        bool keptApartSeen = false;
        for (std::size_t i = 1; i < n.Members.size(); ++i) {
          const TQuopMsg& other = ByID(n.Members[i]);
          // Dropping the field groups them ...
          EXPECT_TRUE(CompareRecords(first, other, {mask & ~n.nDroppedField, across}).Duplicates())
              << n.Members[i];
          // ... and where the current settings keep them apart, that field alone does.
          const TFieldComparison cmp = CompareRecords(first, other, {mask, across});
          if (cmp.Duplicates()) continue;
          keptApartSeen = true;
          EXPECT_FALSE(cmp.bFolderKeptApart) << n.Members[i];
          EXPECT_EQ(cmp.KeptApartBy, std::vector<std::int32_t>{n.nDroppedField}) << n.Members[i];
        }
        EXPECT_TRUE(keptApartSeen) << "a near miss joins messages the settings keep apart";
      }
      nearMisses += found.Groups.size();
    }
  }
  RecordProperty("near_misses", static_cast<int>(nearMisses));
  EXPECT_GT(nearMisses, 20u) << "the profile has near copies";
}

}  // namespace
