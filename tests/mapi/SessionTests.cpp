// The session, folders, messages and attachments against the stand-in
// provider: what they read, what they change, and how they fail.
#include <algorithm>
#include <functional>

#include "mapi/CnCRC32.h"
#include "tests/mapi/MapiFixture.h"

namespace {

// The first line of the stand-in's log that begins with `start`; "" when none does.
std::string FirstLogged(const std::vector<std::string>& log, const std::string& start) {
  const auto line = std::find_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  return line != log.end() ? *line : "";
}

bool Logged(const std::vector<std::string>& log, const std::string& start) { return !FirstLogged(log, start).empty(); }

// What a failing operation raised: "reason|error", as the skipped list names it.
template <typename TOperation>
std::string Failure(TOperation operation) {
  try {
    operation();
  } catch (const EHeapException& e) {
    return FailureReason(e) + "|" + MapiErrorName(e.Code());
  } catch (const Exception& e) {
    return FailureReason(e) + "|";
  }
  return "no failure";
}

TEST(CheckForError, PassesWarningsAndRaisesFailuresWithTheSystemsText) {
  EXPECT_NO_THROW(CheckForError(S_OK, "x"));
  EXPECT_NO_THROW(CheckForError(MAPI_W_ERRORS_RETURNED, "x"));
  try {
    CheckForError(E_OUTOFMEMORY, "Could not get properties!");
    ADD_FAILURE() << "no exception";
  } catch (const EHeapException& e) {
    const std::string text = e.what();
    const std::string system = SystemErrorText(E_OUTOFMEMORY);
    EXPECT_FALSE(system.empty());
    EXPECT_EQ(text, "Could not get properties!\r\n" + system);
    EXPECT_NE(system.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(system.back()), ' ');
    EXPECT_EQ(e.Code(), E_OUTOFMEMORY);
  }
  EXPECT_EQ(SystemErrorText(MAPI_E_CALL_FAILED + 0x7777), "") << "no text for an unknown code";
}

TEST_F(MapiTest, SettingsAreGuardedOnceInUse) {
  TsxMAPI_Session session;
  session.SetProfile("Outlook");
  session.SetProfile("");
  session.DoInitialize();
  session.SetDoMAPIInit(true);  // unchanged: accepted
  EXPECT_THROW(
      {
        try {
          session.SetInService(true);
        } catch (const EHeapException&) {
          ADD_FAILURE() << "a state error is no MAPI failure";
          throw;
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(), "MAPI already initialized!");
          throw;
        }
      },
      Exception);
  session.Logon();
  EXPECT_TRUE(session.GetActive());
  session.SetProfile("");  // unchanged
  try {
    session.SetPassword("secret");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Already in MAPI session!");
  }
}

TEST_F(MapiTest, LogonJoinsTheRunningSessionAndLogsOffFirstWhenActive) {
  Session();
  standin_.ClearLog();
  Session().Logon();
  const auto log = standin_.Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("Logoff", 0), 0u) << log[0];
  EXPECT_TRUE(Logged(log, "MAPILogonEx")) << "logged on again";
  EXPECT_TRUE(Session().GetActive());
}

TEST_F(MapiTest, DefaultStoreAndItsSpecialFoldersAreCached) {
  const struct {
    TsxMAPI_FolderType type;
    const char* name;
  } cases[] = {{sxftInbox, "Inbox"},
               {sxftRoot, "Top of Personal"},
               {sxftOutbox, "Outbox"},
               {sxftSent, "Sent Items"},
               {sxftDeleted, "Deleted Items"}};
  for (const auto& c : cases) {
    TsxMAPI_Folder* folder = Session().GetFolder(c.type);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->GetFolderName(), c.name);
    EXPECT_EQ(Session().GetFolder(c.type), folder) << "found once, then cached";
  }
  TsxMAPI_Session inactive;
  EXPECT_THROW(inactive.GetFolder(sxftInbox), Exception);
}

TEST_F(MapiTest, FolderSetCountsUnmentionedFoldersAsTicked) {
  TsxMAPI_Session& s = Session();
  EXPECT_TRUE(s.IsFolderSelected("AA"));
  s.AddFolderSet("AA", false);
  s.AddFolderSet("BB", true);
  s.AddFolderSet("AA", true);  // the first record decides
  EXPECT_FALSE(s.IsFolderSelected("AA"));
  EXPECT_TRUE(s.IsFolderSelected("BB"));
  EXPECT_TRUE(s.IsFolderSelected("aa")) << "exact comparison: another text";
  EXPECT_TRUE(s.IsFolderSelected("CC"));
  s.ClearFolderSet();
  EXPECT_TRUE(s.IsFolderSelected("AA"));
}

TEST_F(MapiTest, MessageReadsItsPropertiesAndAttachments) {
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  ASSERT_EQ(MessageCount(inbox), 2);
  const auto m = OpenMessage(inbox, 0);
  EXPECT_EQ(m->GetSubject(), "Meeting notes");
  EXPECT_EQ(m->GetSender(), "Anna Berg");
  EXPECT_EQ(m->GetSenderAddr(), "anna@example.com");
  EXPECT_EQ(m->GetRecivedTime(), 36526.0);
  EXPECT_DOUBLE_EQ(m->GetSentTime(), 36526.0 - 1.0 / 24);
  EXPECT_EQ(m->GetSize(), 1234u);
  EXPECT_EQ(m->GetTo(), "Tom");
  EXPECT_EQ(m->GetCC(), "Sara");
  EXPECT_EQ(m->GetBCC(), "Ola");
  EXPECT_EQ(m->GetBodyCRC(), static_cast<std::int32_t>(StrCRC32(0, "Hello Tom")));
  EXPECT_TRUE(m->IsRead());
  EXPECT_EQ(m->GetEntryIDString().size() % 2, 0u);
  standin_.ResetCalls();
  standin_.ResetPeaks();
  EXPECT_EQ(m->GetAttachmentString(), "a.txt10b.doc2048") << "an unnamed one goes by its file name";
  EXPECT_EQ(standin_.CallCountOf("OpenAttach"), 2u) << "only attachments stored by value are opened";
  EXPECT_EQ(standin_.PeakOpen("attachment"), 1) << "one at a time";
  EXPECT_EQ(standin_.OpenObjects("attachment"), 0);

  const auto lunch = OpenMessage(inbox, 1);
  EXPECT_EQ(lunch->GetBodyCRC(), 0) << "an empty body";
  EXPECT_FALSE(lunch->IsRead());
  EXPECT_EQ(lunch->GetAttachmentString(), "");
  EXPECT_EQ(lunch->GetCC(), "") << "a text the message lacks is an empty one";
}

TEST_F(MapiTest, LargeValuesAreStreamedAndUnreadableOnesRaise) {
  standin_.AddFault("GetProps", "Meeting notes", MAPI_E_NOT_ENOUGH_MEMORY, PR_BODY_A);
  standin_.AddFault("GetProps", "Meeting notes", MAPI_E_NO_ACCESS, PR_DISPLAY_TO_A);
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  ASSERT_EQ(MessageCount(inbox), 2);
  const auto m = OpenMessage(inbox, 0);
  EXPECT_EQ(m->GetBodyCRC(), static_cast<std::int32_t>(StrCRC32(0, "Hello Tom")))
      << "a body too long for a property read comes through a stream";
  EXPECT_THROW(m->GetTo(), Exception) << "an error value other than a missing one";
  EXPECT_EQ(m->GetCC(), "Sara");
  standin_.AddFault("OpenProperty", "Meeting notes", MAPI_E_NO_ACCESS);
  EXPECT_THROW(m->GetBodyCRC(), Exception) << "a body that cannot be read has no CRC at all";
}

TEST_F(MapiTest, MailFoldersAreThoseOfClassIPFNoteOrNone) {
  EXPECT_TRUE(Session().GetFolder(sxftInbox)->IsNote());
  EXPECT_TRUE(Top("Empty")->IsNote()) << "no class";
  EXPECT_FALSE(Top("Contacts")->IsNote());
  const auto deleted = Top("Deleted Items");
  standin_.AddFault("GetProps", "Deleted Items", MAPI_E_CALL_FAILED);
  EXPECT_THROW(deleted->IsNote(), EHeapException) << "unreadable: neither mail nor not";
}

TEST_F(MapiTest, FolderFailuresLeaveItUnreadForTheNextTry) {
  standin_.AddFault("GetHierarchyTable", "Inbox", MAPI_E_CALL_FAILED, 0, 1);
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  try {
    inbox->SubFolders();
    ADD_FAILURE() << "no exception";
  } catch (const EHeapException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Could not get the folder's hierarchy table!\r\n", 0), 0u);
  }
  EXPECT_EQ(inbox->SubFolders().size(), 1u) << "read again on the next request";
}

TEST_F(MapiTest, EntryLookupFindsMessagesInEveryStore) {
  TsxMAPI_Session& session = Session();
  const long before = standin_.LiveObjects();
  EXPECT_EQ(Failure([&] { session.GetEntryByEntryID(""); }), "No message entry identifier given!|");
  EXPECT_EQ(standin_.LiveObjects(), before) << "an empty text opens nothing";

  auto archiveInbox = ArchiveTop("Inbox");
  ASSERT_TRUE(archiveInbox);
  ASSERT_EQ(MessageCount(archiveInbox.get()), 1);
  const std::string text = MessageID(archiveInbox.get(), 0);
  const TFoundMessage found = session.GetEntryByEntryID(text);
  EXPECT_EQ(found.message->GetSubject(), "Meeting notes");
  EXPECT_EQ(found.folder->GetFolderName(), "Inbox");
  EXPECT_EQ(Failure([&] { session.GetEntryByEntryID("00"); }), "Could not open message!|MAPI_E_INVALID_ENTRYID")
      << "a text that names nothing";

  // The form is shown in the store that holds the message.
  standin_.ClearLog();
  session.ShowMsgForm(text);
  EXPECT_NE(FirstLogged(standin_.Log(), "ShowForm").find("store=\"Archive\" folder=\"Inbox\""), std::string::npos);
}

TEST_F(MapiTest, SoftDeletesGoToTheDeletedItemsOfTheMessagesOwnStore) {
  auto archiveInbox = ArchiveTop("Inbox");
  const std::string archived = MessageID(archiveInbox.get(), 0);
  const std::string personal = MessageID(Session().GetFolder(sxftInbox), 0);
  archiveInbox.reset();

  EXPECT_NO_THROW(Session().DelMsg(archived, true));
  EXPECT_NO_THROW(Session().DelMsg(personal, true));
  EXPECT_EQ(MessageCount(ArchiveTop("Deleted Items").get()), 1);
  EXPECT_EQ(MessageCount(ArchiveTop("Inbox").get()), 0);
  EXPECT_EQ(MessageCount(Session().GetFolder(sxftDeleted)), 1);
  EXPECT_EQ(MessageCount(Session().GetFolder(sxftInbox)), 1);

  EXPECT_EQ(Failure([&] { Session().DelMsg(archived, true); }), "No store holds the message!|MAPI_E_NOT_FOUND")
      << "moved away: not found under its old identifier";
}

TEST_F(MapiTest, HardDeleteCopyAndMove) {
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  const std::string meeting = MessageID(inbox, 0);
  const std::string lunch = MessageID(inbox, 1);
  const std::string sent = Session().GetFolder(sxftSent)->GetEntryIDString();

  EXPECT_EQ(Failure([&] { Session().MoveMsg(meeting, "", MESSAGE_MOVE); }), "No target folder given!|");
  EXPECT_NO_THROW(Session().MoveMsg(meeting, sent, 0));
  EXPECT_NO_THROW(Session().MoveMsg(lunch, sent, MESSAGE_MOVE));
  EXPECT_NO_THROW(Session().DelMsg(meeting, false));
  EXPECT_EQ(Failure([&] { Session().DelMsg(meeting, false); }), "Could not open message!|MAPI_E_NOT_FOUND")
      << "gone for good";
  EXPECT_EQ(MessageCount(inbox), 0);
  EXPECT_EQ(MessageCount(Session().GetFolder(sxftSent)), 2) << "the copy and the moved one";
  EXPECT_EQ(MessageCount(Session().GetFolder(sxftDeleted)), 0) << "nothing soft-deleted";
}

// A message whose own identifier cannot be read is neither deleted, copied
// nor moved, and the operation says so rather than passing for done.
TEST_F(MapiTest, AnOperationThatCannotBeCarriedOutRaisesAndChangesNothing) {
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  const std::string lunch = MessageID(inbox, 1);
  const std::string sent = Session().GetFolder(sxftSent)->GetEntryIDString();
  const struct {
    const char* name;
    std::function<void()> operation;
  } cases[] = {
      {"delete", [&] { Session().DelMsg(lunch, false); }},
      {"soft delete", [&] { Session().DelMsg(lunch, true); }},
      {"copy", [&] { Session().MoveMsg(lunch, sent, 0); }},
      {"move", [&] { Session().MoveMsg(lunch, sent, MESSAGE_MOVE); }},
  };
  standin_.AddFault("GetProps", "Lunch", MAPI_E_NO_ACCESS, PR_ENTRYID);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Failure(c.operation), "Could not get the message's entry identifier!|MAPI_E_NO_ACCESS");
    EXPECT_EQ(MessageCount(inbox), 2);
    EXPECT_EQ(MessageCount(Session().GetFolder(sxftSent)), 0);
    EXPECT_EQ(MessageCount(Session().GetFolder(sxftDeleted)), 0);
  }
}

// A message gone from its folder between being opened and being treated:
// the store answers with a warning that nothing was done, never a success.
TEST_F(MapiTest, DeletingOrCopyingAMessageGoneMeanwhileFails) {
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  TsxMAPI_Folder* sent = Session().GetFolder(sxftSent);
  const auto lunch = OpenMessage(inbox, 1);
  {
    TsxMAPI_Session other;
    other.Logon();
    other.DelMsg(lunch->GetEntryIDString(), false);
  }
  EXPECT_EQ(Failure([&] { inbox->CopyMessage(*lunch, *sent, 0); }), "Could not copy message!|MAPI_W_PARTIAL_COMPLETION");
  EXPECT_EQ(Failure([&] { inbox->CopyMessage(*lunch, *sent, MESSAGE_MOVE); }),
            "Could not move message!|MAPI_W_PARTIAL_COMPLETION");
  EXPECT_EQ(Failure([&] { inbox->DeleteMessage(*lunch); }), "Could not delete message!|MAPI_W_PARTIAL_COMPLETION");
  EXPECT_EQ(MessageCount(sent), 0);
}

TEST_F(MapiTest, ShowingAMessageHandsItToTheForm) {
  const std::string meeting = MessageID(Session().GetFolder(sxftInbox), 0);
  standin_.ClearLog();
  Session().ShowMsgForm(meeting);
  const auto log = standin_.Log();
  EXPECT_TRUE(Logged(log, "PrepareForm"));
  const std::string show = FirstLogged(log, "ShowForm");
  EXPECT_NE(show.find("store=\"Personal\" folder=\"Inbox\""), std::string::npos) << show;
  EXPECT_NE(show.find("IPM.Note"), std::string::npos) << show;

  standin_.AddFault("PrepareForm", "session", MAPI_E_CALL_FAILED);
  standin_.ClearLog();
  Session().ShowMsgForm(meeting);
  EXPECT_FALSE(Logged(standin_.Log(), "ShowForm")) << "a failed preparation shows nothing";
}

}  // namespace
