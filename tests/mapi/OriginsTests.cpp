// The collection records where each message came from: its store, its
// folder's path below the store root and the folder's entry id.
#include <set>

#include "tests/mapi/CollectFixture.h"

namespace {

TEST_F(CollectTest, EveryAddedMessageFindsItsStoreFolderPathAndFolderID) {
  for (int run = 0; run < 2; ++run) {  // a second run starts from a clean table
    if (run) {
      db_.ClearDB();
      ends_ = 0;
    }
    Run(DefaultFieldMask());
    const std::vector<TRecord> records = Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(Session().Origins().Size(), records.size());
    std::multiset<std::string> seen;
    std::set<std::string> folderIDs;
    for (const TRecord& r : records) {
      const TMessageOrigin o = Session().Origins().Find(r.entryID);
      ASSERT_NE(o.folder, nullptr) << r.subject;
      seen.insert(r.subject + "|" + o.folder->store + "|" + o.folder->path);
      // The folder id is the one the message opens through.
      const TFoundMessage found = Session().GetEntryByEntryID(r.entryID);
      EXPECT_EQ(o.folder->folderEntryID, found.folder->GetEntryIDString()) << r.subject;
      folderIDs.insert(o.folder->folderEntryID);
      EXPECT_EQ(o.flagged, r.subject == "Old news") << r.subject;
    }
    const std::multiset<std::string> expected = {
        "Meeting notes|Personal|Inbox", "Lunch|Personal|Inbox", "Old news|Personal|Inbox/Old",
        "Hidden mail|Personal|Contacts/Mail in contacts", "Meeting notes|Archive|Inbox"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(folderIDs.size(), 4u) << "the two stores' Inbox folders are told apart";
  }
  EXPECT_EQ(Session().Origins().Find("00").folder, nullptr);
}

// The follow-up flag and the attachment count come with the common
// properties, on either read path. The attachments are counted when they
// are read (by value only, as compared); otherwise PR_HASATTACH says "some".
TEST_F(CollectTest, OriginsCarryTheFollowUpFlagAndTheAttachmentCountOnEveryReadPath) {
  const struct {
    bool throughTables;
    std::int32_t mask;
    int meetingAttachments;
  } kCases[] = {{true, FIELD_SUBJECT, 1}, {false, FIELD_SUBJECT, 1},
                {true, FIELD_SUBJECT | FIELD_ATTACHMENT, 2}, {false, FIELD_SUBJECT | FIELD_ATTACHMENT, 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.throughTables ? "tables " : "messages ") + std::to_string(c.mask));
    db_.ClearDB();
    ends_ = 0;
    Session().SetReadThroughTables(c.throughTables);
    Run(c.mask);
    const std::vector<TRecord> records = Records();
    ASSERT_EQ(records.size(), 5u);
    for (const TRecord& r : records) {
      const TMessageOrigin o = Session().Origins().Find(r.entryID);
      ASSERT_NE(o.folder, nullptr) << r.subject;
      EXPECT_EQ(o.flagged, r.subject == "Old news") << r.subject;
      EXPECT_EQ(o.attachments, r.subject == "Meeting notes" ? c.meetingAttachments : 0) << r.subject;
    }
  }
}

}  // namespace
