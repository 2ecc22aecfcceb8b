// The session, folders, messages and attachments against the stand-in
// provider: what they read, what they change, and how they fail.
#include <algorithm>

#include "mapi/CnCRC32.h"
#include "tests/mapi/MapiFixture.h"

namespace {

bool Logged(const std::vector<std::string>& log, const std::string& start) {
  return std::any_of(log.begin(), log.end(),
                     [&](const std::string& l) { return l.rfind(start, 0) == 0; });
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
  ASSERT_EQ(inbox->GetMsgCount(), 2);
  EXPECT_EQ(inbox->GetMessage(-1), nullptr);
  EXPECT_EQ(inbox->GetMessage(2), nullptr);
  TsxMAPI_Message* m = inbox->GetMessage(0);
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
  EXPECT_EQ(m->GetAttachCount(), 2) << "only attachments stored by value are listed";
  EXPECT_EQ(m->GetAttachmentString(), "a.txt10b.doc2048") << "an unnamed one goes by its file name";
  EXPECT_EQ(m->GetAttachment(2), nullptr);

  TsxMAPI_Message* lunch = inbox->GetMessage(1);
  EXPECT_EQ(lunch->GetBodyCRC(), 0) << "an empty body";
  EXPECT_FALSE(lunch->IsRead());
  EXPECT_EQ(lunch->GetAttachmentString(), "");
  EXPECT_EQ(lunch->GetCC(), "") << "a text the message lacks is an empty one";
}

TEST_F(MapiTest, LargeValuesAreStreamedAndUnreadableOnesRaise) {
  standin_.AddFault("GetProps", "Meeting notes", MAPI_E_NOT_ENOUGH_MEMORY, PR_BODY_A);
  standin_.AddFault("GetProps", "Meeting notes", MAPI_E_NO_ACCESS, PR_DISPLAY_TO_A);
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  ASSERT_EQ(inbox->GetMsgCount(), 2);
  TsxMAPI_Message* m = inbox->GetMessage(0);
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
  TsxMAPI_Folder* deleted = Top("Deleted Items");
  standin_.AddFault("GetProps", "Deleted Items", MAPI_E_CALL_FAILED);
  EXPECT_THROW(deleted->IsNote(), EHeapException) << "unreadable: neither mail nor not";
}

TEST_F(MapiTest, FolderFailuresLeaveItUnreadForTheNextTry) {
  standin_.AddFault("GetHierarchyTable", "Inbox", MAPI_E_CALL_FAILED, 0, 1);
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  try {
    inbox->GetSubCount();
    ADD_FAILURE() << "no exception";
  } catch (const EHeapException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Could not get folder from Message Store or Parent Folder!\r\n", 0), 0u);
  }
  EXPECT_EQ(inbox->GetSubCount(), 1) << "read again on the next request";
}

TEST_F(MapiTest, EntryLookupFindsMessagesInEveryStore) {
  std::unique_ptr<TsxMAPI_Message> message;
  std::unique_ptr<TsxMAPI_Folder> folder;
  TComPtr<IMsgStore> store;
  TsxMAPI_Session& session = Session();
  const long before = standin_.LiveObjects();
  EXPECT_FALSE(session.GetEntryByEntryID("", message, folder, store));
  EXPECT_EQ(standin_.LiveObjects(), before) << "an empty text opens nothing";

  auto archiveInbox = ArchiveTop("Inbox");
  ASSERT_TRUE(archiveInbox);
  ASSERT_EQ(archiveInbox->GetMsgCount(), 1);
  const std::string text = MessageID(archiveInbox.get(), 0);
  ASSERT_TRUE(Session().GetEntryByEntryID(text, message, folder, store));
  EXPECT_EQ(message->GetSubject(), "Meeting notes");
  EXPECT_EQ(folder->GetFolderName(), "Inbox");
  EXPECT_TRUE(store);
  EXPECT_THROW(Session().GetEntryByEntryID("00", message, folder, store), EHeapException)
      << "a text that names nothing";
}

TEST_F(MapiTest, SoftDeletesGoToTheDeletedItemsOfTheMessagesOwnStore) {
  auto archiveInbox = ArchiveTop("Inbox");
  const std::string archived = MessageID(archiveInbox.get(), 0);
  const std::string personal = MessageID(Session().GetFolder(sxftInbox), 0);
  archiveInbox.reset();
  Session().GetFolder(sxftInbox)->ClearContents();

  EXPECT_TRUE(Session().DelMsg(archived, true));
  EXPECT_TRUE(Session().DelMsg(personal, true));
  EXPECT_EQ(ArchiveTop("Deleted Items")->GetMsgCount(), 1);
  EXPECT_EQ(ArchiveTop("Inbox")->GetMsgCount(), 0);
  Session().RefreshFolders();
  EXPECT_EQ(Session().GetFolder(sxftDeleted)->GetMsgCount(), 1);
  EXPECT_EQ(Session().GetFolder(sxftInbox)->GetMsgCount(), 1);

  EXPECT_FALSE(Session().DelMsg(archived, true)) << "moved away: not found under its old identifier";
}

TEST_F(MapiTest, HardDeleteCopyAndMove) {
  TsxMAPI_Folder* inbox = Session().GetFolder(sxftInbox);
  const std::string meeting = MessageID(inbox, 0);
  const std::string lunch = MessageID(inbox, 1);
  const std::string sent = Session().GetFolder(sxftSent)->GetEntryIDString();
  inbox->ClearContents();

  EXPECT_FALSE(Session().MoveMsg(meeting, "", MESSAGE_MOVE)) << "no target";
  EXPECT_TRUE(Session().MoveMsg(meeting, sent, 0));
  EXPECT_TRUE(Session().MoveMsg(lunch, sent, MESSAGE_MOVE));
  EXPECT_TRUE(Session().DelMsg(meeting, false));
  EXPECT_FALSE(Session().DelMsg(meeting, false)) << "gone for good";
  Session().RefreshFolders();
  EXPECT_EQ(Session().GetFolder(sxftInbox)->GetMsgCount(), 0);
  EXPECT_EQ(Session().GetFolder(sxftSent)->GetMsgCount(), 2) << "the copy and the moved one";
  EXPECT_EQ(Session().GetFolder(sxftDeleted)->GetMsgCount(), 0) << "nothing soft-deleted";
}

TEST_F(MapiTest, ShowingAMessageHandsItToTheForm) {
  const std::string meeting = MessageID(Session().GetFolder(sxftInbox), 0);
  Session().GetFolder(sxftInbox)->ClearContents();
  standin_.ClearLog();
  Session().ShowMsgForm(meeting);
  const auto log = standin_.Log();
  EXPECT_TRUE(Logged(log, "PrepareForm"));
  ASSERT_TRUE(Logged(log, "ShowForm"));
  const auto show = std::find_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("ShowForm", 0) == 0; });
  EXPECT_NE(show->find("IPM.Note"), std::string::npos) << *show;

  standin_.AddFault("PrepareForm", "session", MAPI_E_CALL_FAILED);
  standin_.ClearLog();
  Session().ShowMsgForm(meeting);
  EXPECT_FALSE(Logged(standin_.Log(), "ShowForm")) << "a failed preparation shows nothing";
}

}  // namespace
