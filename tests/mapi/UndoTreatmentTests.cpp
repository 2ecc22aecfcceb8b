// Treatments journalled, and undone from the journal after a restart (a
// fresh session reading the journal file back): every message goes back into
// the folder it came from, whatever happened between the two.
//
// The profile puts the trap of search keys in the way: Deleted Items and
// Target each hold an older copy that shares its search key with a message
// that is treated, and two messages of Inbox share one key. An undo that took
// a moved message's new identifier from the older copy would put the older
// copy back and leave the treated message where it went.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "mapi/BatchTreatment.h"
#include "mapi/EntryIDText.h"
#include "mapi/UndoTreatment.h"
#include "tests/mapi/CrashingJournal.h"
#include "tests/mapi/MapiFixture.h"
#include "ui/TreatmentJournal.h"

using namespace profile;

namespace {

namespace fs = std::filesystem;

std::string Keyed(const std::string& subject, const std::string& key) {
  return Message(subject, "\"searchKey\": \"" + key + "\"");
}

std::string UndoProfile() {
  const std::string mailbox = Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note",
             Keyed("Budget", "5B01") + "," + Message("Lunch") + "," + Keyed("Memo", "5B02") + "," +
                 Keyed("Memo", "5B02")) +
          "," + Folder("Projects", "IPF.Note", Message("Report")) + "," +
          Folder("Target", "IPF.Note", Keyed("Memo (older copy)", "5B02")) + "," +
          Folder("Deleted Items", "IPF.Note", Keyed("Budget (older copy)", "5B01"), "", "deleted"));
  const std::string archive = Store("Archive", '2', false,
                                    Folder("Inbox", "IPF.Note", Message("Trip")) + "," +
                                        Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(mailbox + "," + archive);
}

// Two copies of one message (one search key) in two folders, with the same
// traits or told apart by their modification time.
std::string OffersProfile(bool sameTraits) {
  const auto offer = [](const std::string& where, const std::string& modified) {
    return Message("Offer (" + where + ")", "\"searchKey\": \"5B07\", \"size\": 2048, \"lastModificationTime\": \"" +
                                               modified + "\"");
  };
  const std::string mailbox = Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note", offer("Inbox", "2026-01-01T10:00:00Z")) + "," +
          Folder("Projects", "IPF.Note", offer("Projects", sameTraits ? "2026-01-01T10:00:00Z" : "2026-02-01T10:00:00Z")) +
          "," + Folder("Target", "IPF.Note", "") + "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  const std::string archive = Store("Archive", '2', false,
                                    Folder("Inbox", "IPF.Note", "") + "," +
                                        Folder("Deleted Items", "IPF.Note", "", "", "deleted"));
  return Profile(mailbox + "," + archive);
}

struct TPlace {
  bool archive;
  const char* folder;
};
const TPlace kFolders[] = {{false, "Inbox"},         {false, "Projects"}, {false, "Target"},
                           {false, "Deleted Items"}, {true, "Inbox"},     {true, "Deleted Items"}};

class UndoTest : public MapiTest {
 protected:
  void SetUp() override {
    standin_.LoadProfile(UndoProfile());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("quop-undo-") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }

  std::unique_ptr<TsxMAPI_Folder> FolderAt(const TPlace& place) {
    return place.archive ? ArchiveTop(place.folder) : Top(place.folder);
  }
  static std::string Name(const TPlace& place) {
    return std::string(place.archive ? "Archive/" : "Mailbox/") + place.folder;
  }

  // Every folder's subjects, by path.
  std::map<std::string, std::multiset<std::string>> Contents() {
    std::map<std::string, std::multiset<std::string>> contents;
    for (const TPlace& place : kFolders) {
      auto& subjects = contents[Name(place)];
      FolderAt(place)->ForEachMessageRow([&](const TMessageRow& row) {
        subjects.insert(row.subject);
        return true;
      });
    }
    return contents;
  }

  // The entry identifiers of a folder's messages, with their subjects.
  std::map<std::string, std::string> Ids(const TPlace& place) {
    std::map<std::string, std::string> ids;
    FolderAt(place)->ForEachMessageRow([&](const TMessageRow& row) {
      ids[EntryIDToText(row.entryID.lpb, row.entryID.cb)] = row.subject;
      return true;
    });
    return ids;
  }

  // The messages every test treats: all of Mailbox/Inbox and Projects, and
  // Archive/Inbox.
  std::vector<std::string> Treated() {
    std::vector<std::string> ids;
    for (const TPlace& place : {kFolders[0], kFolders[1], kFolders[4]})
      for (const auto& [id, subject] : Ids(place)) ids.push_back(id);
    return ids;
  }

  std::string TargetID() { return Top("Target")->GetEntryIDString(); }

  static std::vector<TBatchItem> Items(const std::vector<std::string>& ids) {
    std::vector<TBatchItem> items(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) items[i].entryID = ids[i];
    return items;
  }

  // A journalled treatment of `ids`, every message of it done.
  void Treat(TBatchAction action, TJournalCommand command, const std::vector<std::string>& ids) {
    const std::string target = action == TBatchAction::Move ? TargetID() : "";
    TTreatmentJournal journal(dir_, command, target);
    ASSERT_TRUE(journal.Writable()) << journal.Error();
    TBatchTreatment batch(Session(), action, target);
    batch.SetJournal(&journal);
    std::vector<TBatchItem> items = Items(ids);
    batch.Locate(items);
    batch.Treat(items);
    EXPECT_TRUE(batch.Verify(items).empty());
    for (const TBatchItem& item : items) EXPECT_TRUE(item.done) << item.error;
    EXPECT_TRUE(batch.JournalProblems().empty()) << batch.JournalProblems().front();
    ASSERT_TRUE(journal.End()) << journal.Error();
  }

  // A restart: a new session undoes the journal's last run.
  std::vector<TUndoItem> Undo(const std::function<bool()>& stop = nullptr, std::size_t* lists = nullptr) {
    session_.reset();
    const std::optional<TJournalRun> run = LastJournalRun(dir_);
    EXPECT_TRUE(run && OffersUndo(*run));
    if (!run) return {};
    std::vector<TUndoItem> items = UndoItemsOf(*run);
    TUndoTreatment undo(Session(), run->command == TJournalCommand::Move ? run->targetFolderEntryID : "");
    undo.Run(items, [&](std::size_t) { if (lists) ++*lists; }, stop);
    return items;
  }

  static std::map<TUndoOutcome, int> Outcomes(const std::vector<TUndoItem>& items) {
    std::map<TUndoOutcome, int> outcomes;
    for (const TUndoItem& item : items) ++outcomes[item.outcome];
    return outcomes;
  }

  fs::path dir_;
};

// The journal names each moved message by its new identifier, never by the
// older copy that shares its search key; the undo then puts every folder
// back as it was, the older copies staying where they were.
TEST_F(UndoTest, AMoveOrSoftDeleteJournalledAndUndonePutsEveryMessageBack) {
  struct TCase {
    TBatchAction action;
    TJournalCommand command;
    TPlace older;  // where an older copy waits
  };
  const TCase cases[] = {{TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, kFolders[3]},
                         {TBatchAction::Move, TJournalCommand::Move, kFolders[2]}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(JournalCommandName(c.command));
    SetUp();
    const auto before = Contents();
    std::string olderCopy;
    for (const auto& [id, subject] : Ids(c.older))
      if (subject.find("older copy") != std::string::npos) olderCopy = id;
    ASSERT_FALSE(olderCopy.empty());
    const std::vector<std::string> treated = Treated();
    Treat(c.action, c.command, treated);
    ASSERT_NE(Contents(), before);

    const std::optional<TJournalRun> run = LastJournalRun(dir_);
    ASSERT_TRUE(run && run->Finished());
    std::set<std::string> after;
    for (const TUndoItem& item : UndoItemsOf(*run)) {
      EXPECT_NE(item.entryIDAfter, "") << item.entryIDBefore;
      EXPECT_NE(item.entryIDAfter, olderCopy);
      EXPECT_NE(item.searchKey, "");
      after.insert(item.entryIDAfter);
    }
    EXPECT_EQ(after.size(), treated.size()) << "a new identifier given to two messages";

    const std::vector<TUndoItem> items = Undo();
    EXPECT_EQ(Outcomes(items), (std::map<TUndoOutcome, int>{{TUndoOutcome::Restored, int(treated.size())}}));
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(Ids(c.older).count(olderCopy), 1u) << "the older copy stays";
    TearDown();
  }
}

// Between the treatment and the undo one treated message is emptied from
// Deleted Items and the folder of another is no longer found: both are
// reported as such and stay as they are; every other message goes back.
TEST_F(UndoTest, APurgeOrAFolderGoneIsReportedAndNothingElseIsLost) {
  const auto before = Contents();
  Treat(TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, Treated());
  std::optional<TJournalRun> run = LastJournalRun(dir_);
  ASSERT_TRUE(run);
  std::vector<TUndoItem> planned = UndoItemsOf(*run);
  const auto find = [&](const std::string& subject) {
    for (std::size_t i = 0; i < planned.size(); ++i)
      if (Ids(kFolders[3])[planned[i].entryIDAfter] == subject) return i;
    ADD_FAILURE() << subject;
    return std::size_t{0};
  };
  const std::size_t purged = find("Lunch"), homeless = find("Report");
  Session().DelMsg(planned[purged].entryIDAfter, false);  // emptied from Deleted Items
  session_.reset();
  // A folder gone: the journal names one that no longer exists in the store.
  std::vector<TUndoItem> items = UndoItemsOf(*run);
  items[homeless].sourceFolder = items[homeless].sourceFolder.substr(0, 40) + "DEADBEEF";
  TUndoTreatment(Session(), "").Run(items, nullptr, nullptr);

  EXPECT_EQ(items[purged].outcome, TUndoOutcome::Purged);
  EXPECT_EQ(items[homeless].outcome, TUndoOutcome::FolderGone);
  EXPECT_EQ(Outcomes(items), (std::map<TUndoOutcome, int>{{TUndoOutcome::Restored, int(items.size()) - 2},
                                                           {TUndoOutcome::Purged, 1},
                                                           {TUndoOutcome::FolderGone, 1}}));
  auto expected = before;
  expected["Mailbox/Inbox"].erase(expected["Mailbox/Inbox"].find("Lunch"));
  expected["Mailbox/Projects"].erase("Report");
  expected["Mailbox/Deleted Items"].insert("Report");
  EXPECT_EQ(Contents(), expected);
}

// A batch planned and cut short before its done mark: some of its messages
// were moved, one was not (its call failed). The undo finds the moved ones
// by their search key in Deleted Items, leaves the one still in its folder,
// and does not guess between a moved message and an older copy with its
// key: that one is reported and left where it is.
TEST_F(UndoTest, ABatchCutShortIsUndoneByWhereEachMessageIsNow) {
  const auto before = Contents();
  const auto inbox = Ids(kFolders[0]);  // subject by identifier
  {
    TTreatmentJournal journal(dir_, TJournalCommand::SoftDelete, "");
    ASSERT_TRUE(journal.Writable());
    TCrashingJournal crashing(journal);
    TBatchTreatment batch(Session(), TBatchAction::MoveToDeletedItems);
    batch.SetJournal(&crashing);
    std::vector<TBatchItem> items = Items(Treated());
    batch.Locate(items);
    // Inbox's list fails, and so does Lunch when it is sent again alone
    // (Budget goes first): Budget and both Memos are moved, Lunch is not.
    standin_.AddFault("CopyMessages", "Inbox", MAPI_E_CALL_FAILED, 0, 1);
    standin_.AddFault("CopyMessages", "Inbox", MAPI_E_CALL_FAILED, 0, 3);
    batch.Treat(items);
    standin_.ClearFaults();
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const TBatchItem& i) { return i.done; }), 3);
  }
  const std::optional<TJournalRun> run = LastJournalRun(dir_);
  ASSERT_TRUE(run);
  EXPECT_FALSE(run->Finished());
  ASSERT_EQ(run->batches.size(), 1u);
  EXPECT_FALSE(run->batches[0].done);

  const std::vector<TUndoItem> items = Undo();
  std::multimap<std::string, TUndoOutcome> bySubject;
  for (const TUndoItem& item : items) bySubject.emplace(inbox.at(item.entryIDBefore), item.outcome);
  EXPECT_EQ(bySubject, (std::multimap<std::string, TUndoOutcome>{{"Budget", TUndoOutcome::Failed},
                                                                  {"Lunch", TUndoOutcome::NotMoved},
                                                                  {"Memo", TUndoOutcome::Restored},
                                                                  {"Memo", TUndoOutcome::Restored}}));
  EXPECT_EQ(Outcomes(items), (std::map<TUndoOutcome, int>{
                                 {TUndoOutcome::Restored, 2}, {TUndoOutcome::NotMoved, 1}, {TUndoOutcome::Failed, 1}}));
  auto expected = before;
  expected["Mailbox/Inbox"].erase("Budget");
  expected["Mailbox/Deleted Items"].insert("Budget");
  EXPECT_EQ(Contents(), expected);
  for (const TUndoItem& item : items)
    if (item.outcome == TUndoOutcome::Failed) {
      EXPECT_NE(item.error.find("Several copies"), std::string::npos);
    }
}

// The new identifiers of a move are found only once the whole treatment is
// over; the process dies before that, after some lists were marked done (and
// one more cut short). The undo finds every journalled message by its search
// key where the treatment put it, and still never takes an older copy that
// shares the key for a moved message: such a message is reported and left.
TEST_F(UndoTest, DoneListsWithoutTheirNewIdentifiersAreFoundWhereEachMessageIsNow) {
  struct TCase {
    TBatchAction action;
    TJournalCommand command;
    int wholeLists;  // of the three: Mailbox/Inbox, Projects, Archive/Inbox
    TPlace target;
    std::multimap<std::string, TUndoOutcome> outcomes;
  };
  const auto restored = TUndoOutcome::Restored, failed = TUndoOutcome::Failed;
  const TCase cases[] = {
      {TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, 1, kFolders[3],
       {{"Budget", failed}, {"Lunch", restored}, {"Memo", restored}, {"Memo", restored}, {"Report", restored}}},
      {TBatchAction::Move, TJournalCommand::Move, 3, kFolders[2],
       {{"Budget", restored}, {"Lunch", restored}, {"Memo", failed}, {"Memo", failed}, {"Report", restored},
        {"Trip", restored}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(JournalCommandName(c.command));
    SetUp();
    const auto before = Contents();
    std::map<std::string, std::pair<std::string, std::string>> origin;  // by id: subject, folder
    for (const TPlace& place : kFolders)
      for (const auto& [id, subject] : Ids(place)) origin[id] = {subject, Name(place)};
    {
      const std::string target = c.action == TBatchAction::Move ? TargetID() : "";
      TTreatmentJournal journal(dir_, c.command, target);
      ASSERT_TRUE(journal.Writable());
      TCrashingJournal crashing(journal, c.wholeLists);
      TBatchTreatment batch(Session(), c.action, target);
      batch.SetJournal(&crashing);
      std::vector<TBatchItem> items = Items(Treated());
      batch.Locate(items);
      batch.Treat(items);
      EXPECT_TRUE(batch.Verify(items).empty());
      EXPECT_TRUE(batch.JournalProblems().empty()) << batch.JournalProblems().front();
    }
    const std::optional<TJournalRun> run = LastJournalRun(dir_);
    ASSERT_TRUE(run);
    EXPECT_FALSE(run->Finished());
    ASSERT_EQ(run->batches.size(), std::size_t(std::min(c.wholeLists + 1, 3)));
    for (std::size_t b = 0; b < run->batches.size(); ++b) EXPECT_EQ(run->batches[b].done, int(b) < c.wholeLists);
    for (const TUndoItem& item : UndoItemsOf(*run)) EXPECT_EQ(item.entryIDAfter, "") << "written by a dead process";

    const std::vector<TUndoItem> items = Undo();
    std::multimap<std::string, TUndoOutcome> bySubject;
    auto expected = before;
    for (const TUndoItem& item : items) {
      const auto& [subject, folder] = origin.at(item.entryIDBefore);
      bySubject.emplace(subject, item.outcome);
      if (item.outcome == failed) {
        EXPECT_NE(item.error.find("Several copies"), std::string::npos) << item.error;
        expected[folder].erase(expected[folder].find(subject));
        expected[Name(c.target)].insert(subject);
      }
    }
    EXPECT_EQ(bySubject, c.outcomes);
    EXPECT_EQ(Contents(), expected);
    TearDown();
  }
}

// While the treatment runs, a copy of a message it has yet to move arrives in
// the target: two new rows share the message's key at the end and which one
// it is cannot be told. The message gets no new identifier (the undo reports
// it and leaves both), every other message gets its own.
TEST_F(UndoTest, ACopyArrivingInTheTargetDuringTheTreatmentIsNeverTakenForTheMovedMessage) {
  auto expected = Contents();
  const std::string report = Ids(kFolders[1]).begin()->first;
  {
    TTreatmentJournal journal(dir_, TJournalCommand::SoftDelete, "");
    ASSERT_TRUE(journal.Writable());
    TBatchTreatment batch(Session(), TBatchAction::MoveToDeletedItems);
    batch.SetJournal(&journal);
    std::vector<TBatchItem> items = Items(Treated());
    batch.Locate(items);
    const std::span<TBatchItem> inbox(items.data(), 4), rest(items.data() + 4, items.size() - 4);
    batch.Treat(inbox);
    TBatchTreatment copy(Session(), TBatchAction::Copy, Top("Deleted Items")->GetEntryIDString());
    std::vector<TBatchItem> copied(1);
    copied[0].entryID = report;
    copy.Locate(copied);
    copy.Treat(copied);
    ASSERT_TRUE(copied[0].done) << copied[0].error;
    batch.Treat(rest);
    const std::vector<TFolderCheck> checks = batch.Verify(items);
    ASSERT_EQ(checks.size(), 1u) << "Deleted Items grew by the copy too";
    EXPECT_EQ(checks[0].expected + 1, checks[0].grown);
    EXPECT_TRUE(batch.JournalProblems().empty()) << batch.JournalProblems().front();
    ASSERT_TRUE(journal.End());
  }
  const std::optional<TJournalRun> run = LastJournalRun(dir_);
  ASSERT_TRUE(run && run->Finished());
  for (const TUndoItem& item : UndoItemsOf(*run))
    EXPECT_EQ(item.entryIDAfter.empty(), item.entryIDBefore == report) << item.entryIDBefore;

  const std::vector<TUndoItem> items = Undo();
  for (const TUndoItem& item : items)
    EXPECT_EQ(item.outcome, item.entryIDBefore == report ? TUndoOutcome::Failed : TUndoOutcome::Restored);
  expected["Mailbox/Projects"].clear();
  expected["Mailbox/Deleted Items"].insert({"Report", "Report"});
  EXPECT_EQ(Contents(), expected);
}

// Stopped after its first list, the undo has put that list's messages back
// and left the rest, each marked stopped, where the treatment put them.
TEST_F(UndoTest, AStoppedUndoLeavesTheRestWhereTheyAre) {
  const auto before = Contents();
  Treat(TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, Treated());
  int asked = 0;
  std::size_t reports = 0;
  const std::vector<TUndoItem> items = Undo([&] { return ++asked > 1; }, &reports);
  EXPECT_EQ(Outcomes(items), (std::map<TUndoOutcome, int>{{TUndoOutcome::Restored, 4}, {TUndoOutcome::Stopped, 2}}));
  EXPECT_EQ(reports, 2u) << "progress after finding the messages and after the one list";
  auto expected = before;
  expected["Mailbox/Projects"].clear();
  expected["Mailbox/Deleted Items"].insert("Report");
  expected["Archive/Inbox"].clear();
  expected["Archive/Deleted Items"].insert("Trip");
  EXPECT_EQ(Contents(), expected);
  for (const TUndoItem& item : items)
    if (item.outcome == TUndoOutcome::Stopped) {
      EXPECT_NE(item.entryIDNow, "") << "where it waits is known";
    }
}

// The process died before the moved messages' new identifiers were written,
// and then a moved message was emptied from where the treatment put it. The
// older copy that was there before the treatment shares its search key, and
// is the only row left with it: the undo must never take it for the message.
TEST_F(UndoTest, AnOlderCopyAlreadyInTheTargetIsNeverPutBackForAMessageGoneSince) {
  struct TCase {
    TBatchAction action;
    TJournalCommand command;
    TPlace target;
    const char* subject;  // treated, with an older copy in the target
  };
  const TCase cases[] = {{TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, kFolders[3], "Budget"},
                         {TBatchAction::Move, TJournalCommand::Move, kFolders[2], "Memo"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(JournalCommandName(c.command));
    SetUp();
    const auto inbox = Ids(kFolders[0]);
    {
      const std::string target = c.action == TBatchAction::Move ? TargetID() : "";
      TTreatmentJournal journal(dir_, c.command, target);
      ASSERT_TRUE(journal.Writable());
      TCrashingJournal crashing(journal, 3);
      TBatchTreatment batch(Session(), c.action, target);
      batch.SetJournal(&crashing);
      std::vector<TBatchItem> items = Items(Treated());
      batch.Locate(items);
      batch.Treat(items);
      EXPECT_TRUE(batch.Verify(items).empty());
    }
    for (const auto& [id, subject] : Ids(c.target))
      if (subject == c.subject) Session().DelMsg(id, false);
    const auto before = Contents();

    const std::vector<TUndoItem> items = Undo();
    for (const TUndoItem& item : items) {
      const auto subject = inbox.find(item.entryIDBefore);
      const bool gone = subject != inbox.end() && subject->second == c.subject;
      EXPECT_EQ(item.outcome, gone ? TUndoOutcome::Purged : TUndoOutcome::Restored) << item.entryIDBefore;
    }
    const std::string older = std::string(c.subject) + " (older copy)";
    EXPECT_EQ(Contents()[Name(c.target)].count(older), 1u) << "the older copy stays where it was";
    EXPECT_EQ(Contents()["Mailbox/Inbox"].count(older), 0u);
    TearDown();
  }
}

// Both copies are moved to Target; the Inbox copy's new row may be deleted
// before the treatment's check. Each copy gets the new identifier of its own
// row or none: never the other copy's, which the undo would then put back
// into the wrong folder. Copies that cannot be told apart get none and are
// listed as ambiguous.
TEST_F(UndoTest, CopiesFromTwoFoldersAreEachPairedWithTheirOwnNewRowOrNone) {
  struct TCase {
    bool sameTraits, inboxRowDeleted;
    bool inboxPaired, projectsPaired;
    std::size_t ambiguous;
  };
  const TCase cases[] = {{false, false, true, true, 0}, {false, true, false, true, 0}, {true, false, false, false, 2}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "same traits " << c.sameTraits << ", row deleted " << c.inboxRowDeleted);
    SetUp();
    standin_.LoadProfile(OffersProfile(c.sameTraits));
    session_.reset();
    const std::string inbox = Ids(kFolders[0]).begin()->first, projects = Ids(kFolders[1]).begin()->first;
    {
      TTreatmentJournal journal(dir_, TJournalCommand::Move, TargetID());
      TBatchTreatment batch(Session(), TBatchAction::Move, TargetID());
      batch.SetJournal(&journal);
      std::vector<TBatchItem> items = Items({inbox, projects});
      batch.Locate(items);
      batch.Treat(items);
      if (c.inboxRowDeleted)
        for (const auto& [id, subject] : Ids(kFolders[2]))
          if (subject == "Offer (Inbox)") Session().DelMsg(id, false);
      batch.Verify(items);
      EXPECT_TRUE(batch.JournalProblems().empty()) << batch.JournalProblems().front();
      EXPECT_EQ(batch.Ambiguous().size(), c.ambiguous);
      ASSERT_TRUE(journal.End());
    }
    std::map<std::string, std::string> rowOf;  // by subject
    for (const auto& [id, subject] : Ids(kFolders[2])) rowOf[subject] = id;
    std::map<std::string, std::string> after;  // by identifier before
    for (const TUndoItem& item : UndoItemsOf(*LastJournalRun(dir_))) after[item.entryIDBefore] = item.entryIDAfter;
    EXPECT_EQ(after.at(inbox), c.inboxPaired ? rowOf.at("Offer (Inbox)") : "");
    EXPECT_EQ(after.at(projects), c.projectsPaired ? rowOf.at("Offer (Projects)") : "");

    Undo();
    const auto contents = Contents();
    EXPECT_EQ(contents.at("Mailbox/Inbox").count("Offer (Projects)"), 0u);
    EXPECT_EQ(contents.at("Mailbox/Projects").count("Offer (Inbox)"), 0u);
    EXPECT_EQ(contents.at("Mailbox/Projects").count("Offer (Projects)"), c.projectsPaired ? 1u : 0u);
    TearDown();
  }
}

// The process died before the new identifiers were written: the undo looks
// for both copies by their one search key in Target and cannot tell which
// row came from which folder, so it reports both and leaves them, even when
// only one row is left.
TEST_F(UndoTest, AnUndoByKeyNeverPutsACopyBackIntoAnotherCopysFolder) {
  for (const bool inboxRowDeleted : {false, true}) {
    SCOPED_TRACE(inboxRowDeleted);
    SetUp();
    standin_.LoadProfile(OffersProfile(true));
    session_.reset();
    const std::string inbox = Ids(kFolders[0]).begin()->first, projects = Ids(kFolders[1]).begin()->first;
    {
      TTreatmentJournal journal(dir_, TJournalCommand::Move, TargetID());
      TCrashingJournal crashing(journal, 2);
      TBatchTreatment batch(Session(), TBatchAction::Move, TargetID());
      batch.SetJournal(&crashing);
      std::vector<TBatchItem> items = Items({inbox, projects});
      batch.Locate(items);
      batch.Treat(items);
    }
    if (inboxRowDeleted)
      for (const auto& [id, subject] : Ids(kFolders[2]))
        if (subject == "Offer (Inbox)") Session().DelMsg(id, false);
    const auto before = Contents();

    const std::vector<TUndoItem> items = Undo();
    for (const TUndoItem& item : items) {
      EXPECT_EQ(item.outcome, TUndoOutcome::Failed);
      EXPECT_NE(item.error.find("which is which cannot be told"), std::string::npos) << item.error;
    }
    EXPECT_EQ(Contents(), before);
    TearDown();
  }
}

// After the treatment the user moved one of the moved messages on, out of the
// folder the treatment put it in, in a store that keeps a message's entry
// identifier when it moves (the journal's new identifier is set to the one
// it has now): the undo leaves it where it is now and says so, and puts
// every other message back.
TEST_F(UndoTest, AMessageMovedOnSinceTheTreatmentIsLeftWhereItIs) {
  struct TCase {
    TBatchAction action;
    TJournalCommand command;
  };
  const TCase cases[] = {{TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete},
                         {TBatchAction::Move, TJournalCommand::Move}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(JournalCommandName(c.command));
    SetUp();
    const auto before = Contents();
    const std::string projects = Top("Projects")->GetEntryIDString();
    Treat(c.action, c.command, Treated());
    const std::optional<TJournalRun> run = LastJournalRun(dir_);
    ASSERT_TRUE(run);
    std::vector<TUndoItem> items = UndoItemsOf(*run);
    const auto report = std::find_if(items.begin(), items.end(),
                                     [&](const TUndoItem& i) { return i.sourceFolder == projects; });
    ASSERT_NE(report, items.end());
    Session().MoveMsg(report->entryIDAfter, Top("Inbox")->GetEntryIDString(), MESSAGE_MOVE);
    for (const auto& [id, subject] : Ids(kFolders[0]))
      if (subject == "Report") report->entryIDAfter = id;
    session_.reset();
    TUndoTreatment(Session(), c.command == TJournalCommand::Move ? run->targetFolderEntryID : "")
        .Run(items, nullptr, nullptr);

    for (const TUndoItem& item : items)
      EXPECT_EQ(item.outcome, item.entryIDBefore == report->entryIDBefore ? TUndoOutcome::MovedElsewhere
                                                                           : TUndoOutcome::Restored);
    EXPECT_STRNE(UndoOutcomeText(TUndoOutcome::MovedElsewhere), "");
    auto expected = before;
    expected["Mailbox/Projects"].erase("Report");
    expected["Mailbox/Inbox"].insert("Report");
    EXPECT_EQ(Contents(), expected);
    TearDown();
  }
}

// An undo dies after its first list, before it could mark the run undone;
// the second undo finds that list's messages gone from where the treatment
// put them, and must not say no store has them: their folders hold messages
// with their search keys (which of them were there all along it cannot tell).
TEST_F(UndoTest, ASecondUndoAfterOneCutShortNeverCallsTheMessagesPutBackGone) {
  const auto before = Contents();
  Treat(TBatchAction::MoveToDeletedItems, TJournalCommand::SoftDelete, Treated());
  int asked = 0;
  const std::vector<TUndoItem> first = Undo([&] { return ++asked > 1; });
  ASSERT_EQ(Outcomes(first), (std::map<TUndoOutcome, int>{{TUndoOutcome::Restored, 4}, {TUndoOutcome::Stopped, 2}}));

  const std::vector<TUndoItem> second = Undo();
  for (std::size_t i = 0; i < second.size(); ++i) {
    EXPECT_NE(second[i].outcome, TUndoOutcome::Purged) << second[i].entryIDBefore;
    EXPECT_EQ(second[i].outcome, first[i].outcome == TUndoOutcome::Restored ? TUndoOutcome::KeyInFolder
                                                                             : TUndoOutcome::Restored);
  }
  EXPECT_EQ(Contents(), before);
}

}  // namespace
