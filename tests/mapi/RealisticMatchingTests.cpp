// Over a realistic generated profile (large bodies, Unicode subjects that
// the ANSI code page would turn into question marks, Exchange and SMTP
// senders, an online store with a big folder), the groups found are exactly
// the sets of messages that are equal in the selected fields, worked out from
// the profile alone: no two different messages grouped, no copies missed.
#include <set>

#include "mapi/SearchSetup.h"
#include "tests/mapi/CollectFixture.h"
#include "tests/mapi/ProfileTruth.h"
#include "tools/profilegen/ProfileGenerator.h"

namespace {

using TGroups = std::set<std::vector<std::string>>;  // each group's entry identifiers, sorted

class RealisticMatchingTest : public CollectTest {
 protected:
  // The groups the index gives for the mask, with the records collected once.
  TGroups Found(std::int32_t mask, bool across) {
    db_.SetMsgSet(SearchSettings(mask, across));
    TGroups groups;
    std::vector<std::string> group;
    for (TQuopMsg* m = db_.FindFirstMsg(); m; m = db_.FindNextMsg()) {
      if (m->bFirst && !group.empty()) groups.insert(Sorted(std::move(group)));
      if (m->bFirst) group.clear();
      group.emplace_back(m->szEntryID);
      db_.FreeQuopMsg(m);
    }
    if (!group.empty()) groups.insert(Sorted(std::move(group)));
    return groups;
  }

  // The groups the profile says there are. Each folder on its own: only
  // messages added one after another from the same folder name and store
  // (a folder run, as the README has it) share a group.
  TGroups Expected(const TProfileTruth& truth, const std::vector<TRecord>& added, std::int32_t mask,
                   bool across) {
    std::map<std::string, std::vector<std::string>> classes;
    int run = 0;
    std::string lastFolder;
    for (const TRecord& r : added) {
      const std::string folder = r.folder + "|" + r.entryID.substr(8, 32);
      if (folder != lastFolder) ++run;
      lastFolder = folder;
      const auto it = truth.Messages().find(r.entryID);
      if (it == truth.Messages().end()) {
        ADD_FAILURE() << "a record of no mail message: " << r.entryID;
        continue;
      }
      classes[(across ? std::string() : std::to_string(run) + "|") + truth.Key(it->second, mask)].push_back(r.entryID);
    }
    TGroups groups;
    for (auto& [key, members] : classes)
      if (members.size() > 1) groups.insert(Sorted(std::move(members)));
    return groups;
  }

  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
};

TEST_F(RealisticMatchingTest, GroupsAreExactlyTheMessagesEqualInTheSelectedFields) {
  ProfileGenOptions options;
  options.messages = 1500;
  options.realistic = true;
  options.bigFolder = 5000;
  const std::string json = GenerateProfile(options);
  standin_.LoadProfile(json);
  const TProfileTruth truth(nlohmann::json::parse(json));
  Run(0xFFF);  // every field read once; each mask below searches the same records
  const std::vector<TRecord> added = Records();
  ASSERT_EQ(added.size(), truth.Messages().size()) << "every mail message read";
  ASSERT_TRUE(Skips().empty());

  struct Case { const char* name; std::int32_t mask; };
  const Case cases[] = {
      {"Subject", FIELD_SUBJECT},         {"From", FIELD_FROM},           {"Sender E-mail", FIELD_SENDER_EMAIL},
      {"Message", FIELD_MESSAGE},         {"Size", FIELD_SIZE},           {"Sent To", FIELD_SENT_TO},
      {"Cc", FIELD_CC},                   {"Bcc", FIELD_BCC},             {"Attachment", FIELD_ATTACHMENT},
      {"Sent Date", FIELD_SENT_DATE},     {"UnRead", FIELD_UNREAD},       {"Received Date", FIELD_RECEIVED_DATE},
      {"defaults", DefaultFieldMask()},   {"every field", 0xFFF},
      {"Subject and From", FIELD_SUBJECT | FIELD_FROM},
  };
  std::size_t grouped = 0;
  for (const Case& c : cases) {
    for (const bool across : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (across ? ", across folders" : ", each folder"));
      const TGroups found = Found(c.mask, across), expected = Expected(truth, added, c.mask, across);
      for (const auto& g : found)
        EXPECT_TRUE(expected.count(g)) << "grouped, but not all equal: " << g.front() << " and " << g.size() - 1 << " more";
      for (const auto& g : expected)
        EXPECT_TRUE(found.count(g)) << "equal, but not found as one group: " << g.front() << " and " << g.size() - 1 << " more";
      grouped += found.size();
    }
  }
  EXPECT_GT(grouped, 100u) << "the profile has copies to find";
}

}  // namespace
