// A run with two stages opens a message only when its table row shares
// every other compared field with another row. Its groups must be those of
// opening every message: the same groups in the same order, the same rows
// in the same order with the same records, the same copy proposed to keep,
// whatever the fields compared, each folder on its own or across folders.
#include <cstdio>

#include "mapi/SearchSetup.h"
#include "tests/mapi/CollectFixture.h"
#include "tests/mapi/CutStores.h"

namespace {

using namespace profile;

class TwoStageTest : public CollectTest {
 protected:
  // The rows of every group as the index hands them out, each with its whole
  // record and what the keep rules read from the run's origins.
  std::vector<std::string> Groups(bool twoStage, std::int32_t mask, bool across) {
    db_.ClearDB();
    ends_ = 0;
    db_.SetMsgSet(SearchSettings(mask, across));
    Session().SetTwoStage(twoStage);
    Session().SetSearchOverFolders(across);
    Run(mask);
    EXPECT_TRUE(Skips().empty());
    std::vector<std::string> rows;
    for (TQuopMsg* m = db_.FindFirstMsg(); m; m = db_.FindNextMsg()) {
      const TMessageOrigin origin = Session().Origins().Find(S(m->szEntryID));
      const std::string fields[] = {S(m->szEntryID), S(m->szSenderName), S(m->szSenderEmail), S(m->szSubject),
                                    S(m->szAttached), S(m->szTo), S(m->szCC), S(m->szBCC), S(m->szFolder),
                                    std::to_string(m->dtRecivedTime), std::to_string(m->dtSendTime),
                                    std::to_string(m->lBodyCrc), std::to_string(m->nMsgSize),
                                    std::to_string(m->bRead), origin.folder ? origin.folder->path : "(none)",
                                    std::to_string(origin.flagged), std::to_string(origin.attachments)};
      std::string row = m->bFirst ? "group|" : "     |";
      for (const std::string& f : fields) row += f.substr(0, 80) + "|";
      rows.push_back(row);
      db_.FreeQuopMsg(m);
    }
    return rows;
  }

  // Both ways over the loaded profile; the messages stage 2 opened.
  std::int32_t ExpectSameGroups(std::int32_t mask, bool across) {
    const std::vector<std::string> opened = Groups(false, mask, across);
    const std::int32_t added = db_.GetMsgCount();
    const std::vector<std::string> staged = Groups(true, mask, across);
    EXPECT_EQ(db_.GetMsgCount(), added) << "every message added";
    EXPECT_EQ(staged, opened);
    return Session().OpenedLate();
  }
};

TEST_F(TwoStageTest, GroupsAreThoseOfOpeningEveryMessageForEveryMask) {
  standin_.LoadProfile(TestProfile());
  struct Case {
    std::string name;
    std::int32_t mask;
  };
  std::vector<Case> cases;
  for (const TCompareField& field : CompareFields) cases.push_back({field.szCaption, field.nFieldID});
  cases.insert(cases.end(), {{"defaults", DefaultFieldMask()},
                             {"every field", 0xFFF},
                             {"body and size", FIELD_MESSAGE | FIELD_SIZE},
                             {"subject, To, Cc, Bcc", FIELD_SUBJECT | FIELD_SENT_TO | FIELD_CC | FIELD_BCC},
                             {"sender and attachments", FIELD_FROM | FIELD_ATTACHMENT},
                             {"defaults and dates", DefaultFieldMask() | FIELD_SENT_DATE | FIELD_RECEIVED_DATE}});
  for (const Case& c : cases) {
    for (const bool across : {false, true}) {
      SCOPED_TRACE(c.name + (across ? ", across folders" : ", each folder"));
      const std::int32_t late = ExpectSameGroups(c.mask, across);
      if (c.mask == DefaultFieldMask()) {
        EXPECT_LT(late, db_.GetMsgCount() / 2) << "most messages have no copy and stay unopened";
      }
    }
  }
}

// Rows equal as the index compares them (blanks around the subject, the
// address in another case) are both opened; a row alone is not, and a copy
// in another folder only when the search spans folders. Every message has a
// modification time; the second's body and time are given.
std::string SmallProfile(const std::string& secondBody = "same",
                         const std::string& secondTime = "2024-03-01T10:00:00Z") {
  const auto message = [](const std::string& subject, const std::string& sender, const std::string& body,
                          const std::string& time = "2024-03-01T09:00:00Z") {
    return Message(subject, "\"senderEmail\": \"" + sender + "\", \"body\": \"" + body +
                                "\", \"lastModificationTime\": \"" + time + "\"");
  };
  return Profile(Store("Box", '5', true,
                       Folder("Inbox", "IPF.Note",
                              message(" Plan\\t", "Ann@Example.com", "same") + "," +
                                  message("Plan", "ann@example.com", secondBody, secondTime) + "," +
                                  message("Plan", "ann@example.com", "other") + "," +
                                  message("Alone", "ann@example.com", "same")) +
                           "," + Folder("Archive", "IPF.Note", message("Plan", "ann@example.com", "same"))));
}

TEST_F(TwoStageTest, OpensRowsTheIndexWouldCompareAndNoOthers) {
  standin_.LoadProfile(SmallProfile());
  const struct {
    bool across;
    std::int32_t opened, rows;
  } cases[] = {{false, 3, 2}, {true, 4, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.across ? "across folders" : "each folder");
    EXPECT_EQ(ExpectSameGroups(DefaultFieldMask(), c.across), c.opened);
    EXPECT_EQ(Groups(true, DefaultFieldMask(), c.across).size(), static_cast<std::size_t>(c.rows));
  }
}

// A second search of an unchanged store opens no message; a message whose
// modification time changed is opened again; a damaged cache file is not used.
TEST_F(TwoStageTest, ASecondSearchTakesBodiesFromTheCacheUntilAMessageChanges) {
  const std::string cache = BesideTest("two-stage-bodies.bin");
  DeleteFileA(cache.c_str());
  Session().SetBodyCache(cache);
  const auto search = [&](std::int32_t opened, std::int32_t cached, std::size_t rows) {
    standin_.ResetPeaks();
    const std::vector<std::string> staged = Groups(true, DefaultFieldMask(), false);
    EXPECT_EQ(standin_.PeakOpen("message"), opened ? 1 : 0);
    EXPECT_EQ(Session().OpenedLate(), opened);
    EXPECT_EQ(Session().CachedBodies(), cached);
    EXPECT_TRUE(Session().BodyCacheWritten());
    const TBodyCacheLoad found = Session().BodyCacheFound();
    EXPECT_EQ(staged.size(), rows);
    EXPECT_EQ(staged, Groups(false, DefaultFieldMask(), false)) << "the groups of opening every message";
    return found;
  };
  standin_.LoadProfile(SmallProfile());
  {
    SCOPED_TRACE("first search");
    EXPECT_EQ(search(3, 0, 2), TBodyCacheLoad::missing);
  }
  {
    SCOPED_TRACE("unchanged");
    EXPECT_EQ(search(0, 3, 2), TBodyCacheLoad::loaded);
  }
  {
    SCOPED_TRACE("a body changed with its time");
    standin_.LoadProfile(SmallProfile("changed", "2024-03-02T10:00:00Z"));
    search(1, 2, 0);
  }
  {
    SCOPED_TRACE("a damaged cache");
    std::FILE* f = std::fopen(cache.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 20, SEEK_SET);
    std::fputc(0x55, f);
    std::fclose(f);
    EXPECT_EQ(search(3, 0, 0), TBodyCacheLoad::damaged);
  }
  DeleteFileA(cache.c_str());
}

}  // namespace
