// The window over stores as real profiles have them: a default store that
// lacks some of the special folders, texts in any script, and items the
// collection could not read.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>

#include "tests/ui/WindowFixture.h"

using namespace profile;

namespace {

std::string Twice(const std::string& m) { return m + "," + m; }

// The default store's folders by role, each holding what it holds.
struct TSpecial {
  const char* role;
  std::string json;
};

std::vector<TSpecial> Specials() {
  return {
      {"inbox", Folder("Inbox", "IPF.Note", Twice(Mail("Budget", "ann", "b1")) + "," + Mail("Lunch", "bob", "l1"),
                       "", "inbox")},
      {"sent", Folder("Sent Items", "IPF.Note", Twice(Mail("Report", "cat", "r1")), "", "sent")},
      {"outbox", Folder("Outbox", "IPF.Note", "", "", "outbox")},
      {"deleted", Folder("Deleted Items", "IPF.Note", Twice(Mail("Old", "dan", "o1")), "", "deleted")},
      {"drafts", Folder("Drafts", "IPF.Note", Twice(Mail("Draft", "eve", "d1")), "", "drafts")},
      {"junk", Folder("Junk E-mail", "IPF.Note", "", "", "junk")},
      {"rss", Folder("RSS Feeds", "IPF.Note", Twice(Mail("Feed", "rss", "f1")), "", "rss")},
      {"todo", Folder("To-Do List", "IPF.Task", "", "", "todo")},
  };
}

// The default store without the folders of the given roles.
std::string MailboxWithout(const std::set<std::string>& missing, const std::string& more = "") {
  std::string folders;
  for (const TSpecial& s : Specials())
    if (!missing.count(s.role)) folders += (folders.empty() ? "" : ",") + s.json;
  return Store("Mailbox", '1', true, folders + more);
}

std::vector<std::string> Captions(TMainDlg& dlg) {
  std::vector<std::string> captions;
  for (const TNodeData* d : dlg.TreeFolder().Datas()) captions.push_back(WideToUtf8(d->strCaption));
  return captions;
}

std::set<std::string> GroupSubjects(TMainDlg& dlg) {
  std::set<std::string> subjects;
  for (const auto& root : dlg.Emails().Roots()) subjects.insert(root->Data.txMsg.szSubject);
  return subjects;
}

std::wstring TreeText(HWND tree, HTREEITEM item) {
  wchar_t text[256] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = 256;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

}  // namespace

// Each special folder missing from the default store in turn: the tree
// lists the others, the compare fields show, and a search finds the groups
// of the ticked folders that are there (Deleted Items unticked, RSS Feeds
// and To-Do List not listed).
TEST_F(WindowTest, ADefaultStoreWithoutOneSpecialFolderIsSearchedAsUsual) {
  struct TCase {
    const char* missing;
    std::vector<std::string> captions;
    std::set<std::string> groups;
  };
  const std::vector<std::string> all = {"Mailbox", "Inbox", "Sent Items", "Outbox", "Deleted Items", "Drafts",
                                        "Junk E-mail"};
  const auto without = [&](const std::string& caption) {
    std::vector<std::string> v = all;
    v.erase(std::remove(v.begin(), v.end(), caption), v.end());
    return v;
  };
  const std::set<std::string> found = {"Budget", "Report", "Draft"};
  const TCase cases[] = {
      {"deleted", without("Deleted Items"), found},
      {"outbox", without("Outbox"), found},
      {"sent", without("Sent Items"), {"Budget", "Draft"}},
      {"inbox", without("Inbox"), {"Report", "Draft"}},
      {"drafts", without("Drafts"), {"Budget", "Report"}},
      {"junk", without("Junk E-mail"), found},
      {"rss", all, found},
      {"todo", all, found},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.missing);
    boxes_.clear();
    Open(Profile(MailboxWithout({c.missing})));
    EXPECT_TRUE(boxes_.empty()) << boxes_.front().text;
    EXPECT_EQ(Captions(*dlg_), c.captions);
    EXPECT_EQ(dlg_->vstFields().Count(), 12);
    ASSERT_TRUE(RunSearch());
    EXPECT_EQ(GroupSubjects(*dlg_), c.groups);
    EXPECT_TRUE(boxes_.empty());
    CloseWindow();
  }
}

// Without Outbox, Junk E-mail, RSS Feeds and To-Do List in the default
// store, the window and the console scan read the same ticked folders the
// same way. An archive's folders of those names are ordinary folders now.
TEST_F(WindowTest, WithoutFourSpecialFoldersTheGroupsMatchTheConsoleScan) {
  const std::string json = Profile(
      MailboxWithout({"outbox", "junk", "rss", "todo"}, "," + Folder("Projects", "IPF.Note", Twice(Mail("Plan", "fay", "p1")))) +
      "," +
      Store("Archive", '2', false,
            Folder("Inbox", "IPF.Note", Twice(Mail("Budget", "ann", "b1"))) + "," +
                Folder("Junk E-mail", "IPF.Note", Twice(Mail("Spam", "x", "s1"))) + "," +
                Folder("RSS Feeds", "IPF.Note", Twice(Mail("News", "y", "n1"))) + "," +
                Folder("Calendar", "IPF.Appointment", Twice(Mail("Meeting", "z", "m1")))));
  standin_.LoadProfile(json);
  app_.Reset(standin_.CreateApplication());
  const TGroupSet scanned = ScannedGroups(AllListedFolders(om::AsApplication(app_.Get()).Get()));
  app_.Reset();

  Open(json);
  EXPECT_TRUE(boxes_.empty());
  dlg_->TreeFolder().SelectAll();
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(GroupSubjects(*dlg_), (std::set<std::string>{"Budget", "Report", "Draft", "Old", "Plan", "Spam", "News"}));
  EXPECT_EQ(ShownGroups(*dlg_), scanned);
}

// Chinese and Cyrillic subjects, sender names and folder names show whole:
// in the folder tree, in every text column of the list, in the group
// captions and in the status bar's counts.
TEST_F(WindowTest, TextsInAnyScriptShowWhole) {
  const std::string chinese = "季度报告", russian = "Отчёт за квартал";
  const std::string zhang = "张伟", ivan = "Иван Петров", folder = "收件箱 Входящие";
  Open(Profile(Store(
      "Mailbox", '1', true,
      Folder("Inbox", "IPF.Note",
             Twice(profile::Message(chinese, "\"senderName\": \"" + zhang +
                                                 "\", \"senderEmail\": \"zhang@example.cn\", \"body\": \"a\"")),
             Folder(folder, "IPF.Note",
                    Twice(profile::Message(russian, "\"senderName\": \"" + ivan +
                                                        "\", \"senderEmail\": \"ivan@example.ru\", \"body\": \"b\""))),
             "inbox"))));
  const HWND tree = dlg_->TreeFolderView().Handle();
  const TNodeData* sub = dlg_->TreeFolder().Datas().back();
  EXPECT_EQ(TreeText(tree, dlg_->TreeFolderView().ItemOf(dlg_->TreeFolder().NodeOf(sub))), L"收件箱 Входящие");

  ASSERT_TRUE(RunSearch());
  const HWND list = dlg_->vstEmails().Handle();
  ASSERT_EQ(ListView_GetItemCount(list), 6);
  struct TRowText {
    std::wstring from, folderName, subject;
  };
  const TRowText expected[] = {
      {L"季度报告+zhang@example.cn", L"", L""},
      {L"张伟", L"Inbox", L"季度报告"},
      {L"张伟", L"Inbox", L"季度报告"},
      {L"Отчёт за квартал+ivan@example.ru", L"", L""},
      {L"Иван Петров", L"收件箱 Входящие", L"Отчёт за квартал"},
      {L"Иван Петров", L"收件箱 Входящие", L"Отчёт за квартал"},
  };
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(ListViewText(list, row, 0), expected[row].from);
    EXPECT_EQ(ListViewText(list, row, 1), expected[row].folderName);
    EXPECT_EQ(ListViewText(list, row, 2), expected[row].subject);
  }
  EXPECT_EQ(dlg_->StatusText(), "4 messages read, 0 skipped");
}

// A message the collection cannot read is counted as skipped; the status
// names both counts, and "&Skipped Items..." (or a click on the status)
// lists the message with its reason and error.
TEST_F(WindowTest, SkippedItemsAreCountedAndListed) {
  Open(Profile(Store("Mailbox", '1', true,
                     Folder("Inbox", "IPF.Note",
                            Twice(Mail("Budget", "ann", "b1")) + "," + Mail("Broken one", "bob", "x") + "," +
                                Mail("Lunch", "cat", "l1"),
                            "", "inbox") +
                         "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted"))));
  // Nothing skipped: the command stays off and a status click opens nothing.
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->StatusText(), "4 messages read, 0 skipped");
  EXPECT_FALSE(dlg_->Menus().IsEnabled(cmdSkipped));
  const HWND status = FindWindowExA(dlg_->Handle(), nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_NE(status, nullptr);
  NMHDR click{status, static_cast<UINT_PTR>(GetDlgCtrlID(status)), static_cast<UINT>(NM_CLICK)};
  SendMessageA(dlg_->Handle(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(dlg_->SkippedWindow(), nullptr);

  standin_.AddFault("GetProps", "Broken one", MAPI_E_CALL_FAILED);
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->StatusText(), "3 messages read, 1 skipped");
  EXPECT_EQ(GroupSubjects(*dlg_), (std::set<std::string>{"Budget"}));
  ASSERT_TRUE(dlg_->Menus().IsEnabled(cmdSkipped));
  for (const char* how : {"menu", "status click"}) {
    SCOPED_TRACE(how);
    if (std::string(how) == "menu") SendMessageA(dlg_->Handle(), WM_COMMAND, cmdSkipped, 0);
    else SendMessageA(dlg_->Handle(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    const TReportWindow* shown = dlg_->SkippedWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Caption(), L"Skipped Items");
    ASSERT_EQ(shown->RowCount(), 1);
    EXPECT_EQ(shown->ListText(0, 0), L"Message");
    EXPECT_EQ(shown->ListText(0, 1), L"Broken one");
    EXPECT_FALSE(shown->ListText(0, 2).empty()) << "a reason";
    EXPECT_EQ(shown->ListText(0, 3), L"MAPI_E_CALL_FAILED");
    SendMessageW(shown->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dlg_->SkippedWindow(), nullptr);
  }

  // A new search starts a new count: what the last one skipped goes.
  const auto clearFaults = reinterpret_cast<STANDIN_CLEARFAULTS>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(STANDIN_DLL_NAME), "StandinClearFaults")));
  ASSERT_NE(clearFaults, nullptr);
  clearFaults();
  ASSERT_TRUE(RunSearch());
  EXPECT_EQ(dlg_->StatusText(), "4 messages read, 0 skipped");
  EXPECT_FALSE(dlg_->Menus().IsEnabled(cmdSkipped));
}
