// Why two messages are not duplicates, from the window: "&Compare..." shows
// two selected messages field by field as the index sees them, marks the
// fields that keep them apart and names them; "&Near Misses..." lists the
// groups one compared field fewer would form; "&Export results..." writes
// the list's rows to CSV or JSON, and says so when it cannot.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string_view>

#include "results/ResultsExport.h"
#include "tests/results/CsvReader.h"
#include "tests/ui/WindowFixture.h"
#include "tools/profilegen/ProfileGenerator.h"

using namespace profile;

namespace {

// A message with every compared text given.
std::string Msg(const std::string& subject, const std::string& name, const std::string& email, const std::string& body,
                const std::string& more = "") {
  return Message(subject, "\"senderName\": \"" + name + "\", \"senderEmail\": \"" + email + "\", \"body\": \"" + body +
                              "\"" + (more.empty() ? "" : ", " + more));
}

std::string Twice(const std::string& message) { return message + "," + message; }

// With the default fields (Subject, Sender E-mail, Message), each folder on
// its own: Plan is one group although its copies differ in blanks around
// the subject and in the case of the address; each other pair of groups
// differs in one thing: Trip / Trip v2 in the subject, the two Memo groups
// in the sender (name and address, only the address compared), the two
// Report groups in the body, the two Lunch groups in the folder.
std::string WhyNotProfile() {
  const std::string inbox = Msg("Plan", "Ann", "ann@example.com", "plan") + "," +
                            Msg("  Plan ", "Ann", "Ann@Example.COM", "plan") + "," +
                            Twice(Msg("Trip", "Dan", "dan@example.com", "trip")) + "," +
                            Twice(Msg("Trip v2", "Dan", "dan@example.com", "trip")) + "," +
                            Twice(Msg("Memo", "Ann", "ann@example.com", "memo")) + "," +
                            Twice(Msg("Memo", "Bob", "bob@example.com", "memo")) + "," +
                            Twice(Msg("Report", "Cat", "cat@example.com", "r1")) + "," +
                            Twice(Msg("Report", "Cat", "cat@example.com", "r2")) + "," +
                            Twice(Msg("Lunch", "Eve", "eve@example.com", "lunch"));
  return Profile(Store("Mailbox", '1', true,
                       Folder("Inbox", "IPF.Note", inbox, "", "inbox") + "," +
                           Folder("Archive", "IPF.Note", Twice(Msg("Lunch", "Eve", "eve@example.com", "lunch"))) + "," +
                           Folder("Deleted Items", "IPF.Note", "", "", "deleted")));
}

// Which message row: by subject as stored, sender name and folder name.
struct TRowKey {
  const char* subject;
  const char* sender;
  const char* folder;
};

std::wstring W(const std::string& utf8) { return Utf8ToWide(utf8); }

class WhyNotTest : public WindowTest {
 protected:
  void OpenSearched(const std::string& json, bool across = false) {
    Open(json);
    if (across) dlg_->ClickRadio("rbtnOverFolders");
    ASSERT_TRUE(RunSearch());
    ASSERT_GT(dlg_->Emails().GroupCount(), 0u);
  }

  std::vector<TEmailNode*> MessageRows() const {
    std::vector<TEmailNode*> rows;
    for (const auto& root : dlg_->Emails().Roots())
      for (const auto& row : root->Children) rows.push_back(row.get());
    return rows;
  }

  // The rows of the key, in list order.
  std::vector<TEmailNode*> RowsOf(const TRowKey& key) const {
    std::vector<TEmailNode*> rows;
    for (TEmailNode* row : MessageRows()) {
      const TQuopMsg& m = row->Data.txMsg;
      if (std::string(m.szSubject) == key.subject && std::string(m.szSenderName) == key.sender &&
          std::string(m.szFolder) == key.folder)
        rows.push_back(row);
    }
    return rows;
  }

  void SelectInList(const std::vector<const TEmailNode*>& rows) {
    dlg_->vstEmails().Select(nullptr);
    for (const TEmailNode* row : rows) dlg_->vstEmails().AddToSelection(row);
  }

  // The rows of the compare view drawn in bold, by their field caption.
  std::vector<std::wstring> MarkedFields() const {
    std::vector<std::wstring> marked;
    const TMarkedListWindow& view = *dlg_->CompareWindow();
    for (int r = 0; r < view.RowCount(); ++r)
      if (view.RowBold(r)) marked.push_back(view.ListText(r, 0));
    return marked;
  }

  // The compare view's row of a field caption, or -1.
  int CompareRow(const std::wstring& caption) const {
    const TMarkedListWindow& view = *dlg_->CompareWindow();
    for (int r = 0; r < view.RowCount(); ++r)
      if (view.ListText(r, 0) == caption) return r;
    return -1;
  }

  bool MenuEnabledAfterOpening(TMenuCommand command) {
    SendMessageA(dlg_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(dlg_->Menus().Root(TMenuRoot::MainMenu)),
                 0);
    return dlg_->Menus().IsEnabled(command);
  }
};

// Two rows of one group: nothing marked, every compared field "same" with
// the values as the index compares them (trimmed, the address in lower
// case), and the verdict that they are duplicates. Across folders the folder
// differs but is not compared.
TEST_F(WhyNotTest, TwoRowsOfOneGroupAreDuplicatesWithNothingMarked) {
  struct TCase {
    const char* name;
    bool across;
    TRowKey a, b;
    std::wstring subject, address, folderMatch;
  };
  const TCase cases[] = {
      {"blanks and case", false, {"Plan", "Ann", "Inbox"}, {"  Plan ", "Ann", "Inbox"}, L"Plan", L"ann@example.com",
       L"same"},
      {"across folders", true, {"Lunch", "Eve", "Inbox"}, {"Lunch", "Eve", "Archive"}, L"Lunch", L"eve@example.com",
       L"differs (not compared)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    OpenSearched(WhyNotProfile(), c.across);
    const std::vector<TEmailNode*> a = RowsOf(c.a), b = RowsOf(c.b);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(a.front()->Parent, b.back()->Parent) << "one group";
    SelectInList({a.front(), b.back()});
    dlg_->mniCompareClick();
    ASSERT_NE(dlg_->CompareWindow(), nullptr);
    EXPECT_TRUE(boxes_.empty());
    const TMarkedListWindow& view = *dlg_->CompareWindow();
    EXPECT_EQ(view.RowCount(), 13);  // the twelve fields and the folder
    EXPECT_TRUE(MarkedFields().empty());
    EXPECT_NE(view.Note().find(L"duplicates"), std::wstring::npos) << view.Note();
    for (const wchar_t* field : {L"Subject", L"Sender E-mail", L"Message"}) {
      const int r = CompareRow(field);
      ASSERT_GE(r, 0) << field;
      EXPECT_EQ(view.ListText(r, 1), L"same") << field;
    }
    const int subject = CompareRow(L"Subject"), address = CompareRow(L"Sender E-mail");
    EXPECT_EQ(view.ListText(subject, 2), c.subject);
    EXPECT_EQ(view.ListText(subject, 3), c.subject);
    EXPECT_EQ(view.ListText(address, 2), c.address);
    EXPECT_EQ(view.ListText(address, 3), c.address);
    EXPECT_EQ(view.ListText(CompareRow(L"Folder"), 1), c.folderMatch);
    CloseWindow();
  }
}

// Two rows of two groups that differ in one thing: exactly that row is
// marked, and the verdict names it.
TEST_F(WhyNotTest, TwoMessagesThatDifferInOneFieldHaveExactlyThatFieldMarked) {
  struct TCase {
    TRowKey a, b;
    std::wstring field;
    std::wstring left, right;  // the field's values
  };
  const TCase cases[] = {
      {{"Trip", "Dan", "Inbox"}, {"Trip v2", "Dan", "Inbox"}, L"Subject", L"Trip", L"Trip v2"},
      {{"Memo", "Ann", "Inbox"}, {"Memo", "Bob", "Inbox"}, L"Sender E-mail", L"ann@example.com", L"bob@example.com"},
      {{"Report", "Cat", "Inbox"}, {"Report", "Cat", "Inbox"}, L"Message", L"", L""},  // two bodies, by CRC
      {{"Lunch", "Eve", "Inbox"}, {"Lunch", "Eve", "Archive"}, L"Folder", L"Mailbox/Inbox", L"Mailbox/Archive"},
  };
  OpenSearched(WhyNotProfile());
  for (const TCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.field));
    const std::vector<TEmailNode*> a = RowsOf(c.a), b = RowsOf(c.b);
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    SelectInList({a.front(), b.back()});  // Report: the first of one group, the last of the other
    ASSERT_NE(a.front()->Parent, b.back()->Parent);
    dlg_->mniCompareClick();
    ASSERT_NE(dlg_->CompareWindow(), nullptr);
    EXPECT_EQ(MarkedFields(), std::vector<std::wstring>{c.field});
    const TMarkedListWindow& view = *dlg_->CompareWindow();
    const int r = CompareRow(c.field);
    ASSERT_GE(r, 0);
    EXPECT_EQ(view.ListText(r, 1), L"differs: keeps them apart");
    if (!c.left.empty()) {
      EXPECT_EQ(view.ListText(r, 2), c.left);
      EXPECT_EQ(view.ListText(r, 3), c.right);
    } else {
      EXPECT_NE(view.ListText(r, 2), view.ListText(r, 3));
    }
    EXPECT_EQ(view.Note().substr(0, view.Note().find(L"\r\n")), L"Kept apart by: " + c.field);
  }
  EXPECT_TRUE(boxes_.empty());
}

// Beside each body's CRC, the body it was taken from: the plain text, the
// HTML or the RTF. One text as plain and as HTML is two bodies.
TEST_F(WhyNotTest, TheMessageRowSaysWhichBodyEachCrcWasTakenFrom) {
  const auto news = [](const char* name, const std::string& body) {
    return Twice(Message("News", "\"senderName\": \"" + std::string(name) +
                                     "\", \"senderEmail\": \"news@example.com\", " + body));
  };
  OpenSearched(Profile(Store("Mailbox", '1', true,
                             Folder("Inbox", "IPF.Note",
                                    news("Text", "\"body\": \"hello\"") + "," + news("Html", "\"html\": \"hello\"") +
                                        "," + news("Rtf", "\"rtf\": \"0102\""),
                                    "", "inbox") +
                                 "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted"))));
  const struct {
    const char *a, *b;
    std::wstring formA, formB, match;
  } cases[] = {
      {"Text", "Html", L" (text)", L" (HTML)", L"differs: keeps them apart"},
      {"Html", "Rtf", L" (HTML)", L" (RTF)", L"differs: keeps them apart"},
      {"Rtf", "Rtf", L" (RTF)", L" (RTF)", L"same"},
  };
  const auto endsWith = [](const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " and " + c.b);
    const std::vector<TEmailNode*> a = RowsOf({"News", c.a, "Inbox"}), b = RowsOf({"News", c.b, "Inbox"});
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    SelectInList({a.front(), b.back()});
    dlg_->mniCompareClick();
    ASSERT_NE(dlg_->CompareWindow(), nullptr);
    const TMarkedListWindow& view = *dlg_->CompareWindow();
    const int r = CompareRow(L"Message");
    ASSERT_GE(r, 0);
    EXPECT_EQ(view.ListText(r, 1), c.match);
    EXPECT_TRUE(endsWith(view.ListText(r, 2), c.formA)) << WideToUtf8(view.ListText(r, 2));
    EXPECT_TRUE(endsWith(view.ListText(r, 3), c.formB)) << WideToUtf8(view.ListText(r, 3));
    EXPECT_EQ(view.ListText(r, 2).rfind(L"CRC 0x", 0), 0u);
  }
  EXPECT_TRUE(boxes_.empty());
}

// Anything but two message rows selected: a message says what to select,
// and no compare view opens.
TEST_F(WhyNotTest, CompareWantsExactlyTwoMessageRows) {
  OpenSearched(WhyNotProfile());
  const std::vector<TEmailNode*> trips = RowsOf({"Trip", "Dan", "Inbox"});
  ASSERT_EQ(trips.size(), 2u);
  const std::vector<TEmailNode*> memos = RowsOf({"Memo", "Ann", "Inbox"});
  const struct {
    const char* name;
    std::vector<const TEmailNode*> rows;
  } cases[] = {
      {"nothing", {}},
      {"one message", {trips[0]}},
      {"a group row and a message", {trips[0]->Parent, trips[1]}},
      {"three messages", {trips[0], trips[1], memos[0]}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.clear();
    SelectInList(c.rows);
    EXPECT_FALSE(MenuEnabledAfterOpening(cmdCompare1));
    dlg_->mniCompareClick();
    EXPECT_EQ(dlg_->CompareWindow(), nullptr);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Select exactly two messages in the results to compare them.");
  }
  SelectInList({trips[0], memos[0]});
  EXPECT_TRUE(MenuEnabledAfterOpening(cmdCompare1));
}

// The groups one field fewer would form, each headed by the field dropped;
// two of its messages go to the compare view, which names that field. The
// index is left with the search's own settings.
TEST_F(WhyNotTest, NearMissesNameTheFieldDroppedAndCompareTheirMessages) {
  Open(WhyNotProfile());
  EXPECT_FALSE(MenuEnabledAfterOpening(cmdNearMisses1));
  EXPECT_FALSE(MenuEnabledAfterOpening(cmdExport));
  dlg_->mniNearMissesClick();
  EXPECT_EQ(dlg_->NearMissWindow(), nullptr);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Search first: near misses are measured against the last search.");
  boxes_.clear();

  ASSERT_TRUE(RunSearch());
  EXPECT_TRUE(MenuEnabledAfterOpening(cmdNearMisses1));
  const TGroupSet shown = ShownGroups(*dlg_);
  dlg_->mniNearMissesClick();
  ASSERT_NE(dlg_->NearMissWindow(), nullptr);
  TNearMissWindow& window = *dlg_->NearMissWindow();
  TMarkedListWindow& list = window.List();

  // Headings and subjects as the list shows them, group by group.
  std::vector<std::vector<std::wstring>> groups;
  for (int r = 0; r < list.RowCount(); ++r) {
    if (list.RowBold(r)) {
      groups.push_back({list.ListText(r, 0)});
    } else {
      ASSERT_FALSE(groups.empty());
      EXPECT_EQ(list.ListText(r, 2), L"Mailbox/Inbox");
      groups.back().push_back(list.ListText(r, 1) + L" " + list.ListText(r, 3));
    }
  }
  for (auto& g : groups) std::sort(g.begin() + 1, g.end());
  const std::vector<std::vector<std::wstring>> expected = {
      {L"1. without Subject", L"Dan Trip", L"Dan Trip", L"Dan Trip v2", L"Dan Trip v2"},
      {L"2. without Sender E-mail", L"Ann Memo", L"Ann Memo", L"Bob Memo", L"Bob Memo"},
      {L"3. without Message", L"Cat Report", L"Cat Report", L"Cat Report", L"Cat Report"},
  };
  EXPECT_EQ(groups, expected);
  EXPECT_EQ(list.Note().substr(0, list.Note().find(L"\r\n")),
            L"3 groups would form if one compared field were dropped.");

  // The index groups as the search did.
  TQuopDB& db = *dlg_->DB();
  TGroupReader reader;
  for (TQuopMsg* m = db.FindFirstMsg(); m; m = db.FindNextMsg()) {
    reader.Add(*m);
    db.FreeQuopMsg(m);
  }
  TGroupSet again;
  for (const TGroupIDs& g : reader.Take()) again.emplace(g.begin(), g.end());
  EXPECT_EQ(again, shown);

  // Two Report messages of different bodies: the compare view names Message.
  const std::vector<int> reports = window.RowsOfGroup(2);
  ASSERT_EQ(reports.size(), 4u);
  int other = -1;
  for (std::size_t i = 1; i < reports.size(); ++i) {
    const int r = reports[i];
    list.SelectRows({reports[0], r});
    window.Compare();
    ASSERT_NE(dlg_->CompareWindow(), nullptr);
    if (!MarkedFields().empty()) other = r;
    if (other >= 0) break;
  }
  ASSERT_GE(other, 0) << "the group joins two bodies";
  EXPECT_EQ(MarkedFields(), std::vector<std::wstring>{L"Message"});
  EXPECT_TRUE(boxes_.empty());

  // A heading with a message, or messages of two groups: a message, no view.
  const std::vector<std::vector<int>> wrong = {
      {reports[0] - 1, reports[0]}, {window.RowsOfGroup(0)[0], reports[0]}, {reports[0]}};
  for (const std::vector<int>& rows : wrong) {
    boxes_.clear();
    if (dlg_->CompareWindow()) SendMessageW(dlg_->CompareWindow()->Handle(), WM_CLOSE, 0, 0);
    list.SelectRows(rows);
    window.Compare();
    EXPECT_EQ(dlg_->CompareWindow(), nullptr);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Select two messages of one near-miss group to compare them.");
  }
}

// Over the realistic generated profile: every near-miss group joins messages
// the search keeps apart by the field named, and by that field alone.
TEST_F(WhyNotTest, NearMissesOverTheRealisticProfileDifferInTheFieldNamed) {
  ProfileGenOptions options;
  options.messages = 1000;
  options.realistic = true;
  OpenSearched(GenerateProfile(options));
  dlg_->mniNearMissesClick();
  ASSERT_NE(dlg_->NearMissWindow(), nullptr);
  const TNearMissFound& found = dlg_->NearMissWindow()->Found();
  TMarkedListWindow& list = dlg_->NearMissWindow()->List();
  ASSERT_GT(found.misses.Groups.size(), 5u) << "the profile has near copies";
  std::set<std::int32_t> fields;
  int row = 0;
  for (const TNearMiss& n : found.misses.Groups) {
    SCOPED_TRACE("dropped " + std::to_string(n.nDroppedField) + ", first " + n.Members.front());
    fields.insert(n.nDroppedField);
    // The heading names the field dropped.
    const auto field = std::find_if(CompareFields.begin(), CompareFields.end(),
                                    [&](const TCompareField& f) { return f.nFieldID == n.nDroppedField; });
    ASSERT_NE(field, CompareFields.end());
    ASSERT_TRUE(list.RowBold(row));
    const std::wstring heading = list.ListText(row, 0);
    EXPECT_EQ(heading.substr(heading.find(L"without ")), L"without " + W(field->szCaption));
    row += 1 + static_cast<int>(n.Members.size());

    const TQuopMsg& first = found.records.at(n.Members.front()).Get();
    bool keptApartSeen = false;
    for (std::size_t i = 1; i < n.Members.size(); ++i) {
      const TQuopMsg& other = found.records.at(n.Members[i]).Get();
      TCompareSettings without = found.settings;
      without.nSelFields &= ~n.nDroppedField;
      EXPECT_TRUE(CompareRecords(first, other, without).Duplicates()) << n.Members[i];
      const TFieldComparison cmp = CompareRecords(first, other, found.settings);
      if (cmp.Duplicates()) continue;
      keptApartSeen = true;
      EXPECT_FALSE(cmp.bFolderKeptApart);
      EXPECT_EQ(cmp.KeptApartBy, std::vector<std::int32_t>{n.nDroppedField});
    }
    EXPECT_TRUE(keptApartSeen);
  }
  EXPECT_EQ(row, list.RowCount());
  EXPECT_EQ(found.settings.nSelFields, DefaultFieldMask());
  RecordProperty("near_miss_groups", static_cast<int>(found.misses.Groups.size()));
  RecordProperty("fields_dropped", static_cast<int>(fields.size()));
}

// The export read back: one row a message row, kept / removed / treated as
// the list has them, the store and folder path, the UTF-8 subject and the
// received time in UTC; the status bar counts the rows. JSON by the name.
TEST_F(WhyNotTest, ExportWritesEveryMessageRowReadBackFromTheFile) {
  const std::string subject =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE6\x97\xA5\xE6\x9C\xAC";  // Grüße 日本
  const std::string when = "\"deliveryTime\": \"2024-03-01T09:31:00Z\"";
  const std::string json = Profile(Store("Mailbox", '1', true,
                                         Folder("Inbox", "IPF.Note",
                                                Msg(subject, "Ann", "ann@example.com", "g", when) + "," +
                                                    Msg(subject, "Ann", "ann@example.com", "g", when) + "," +
                                                    Msg(subject, "Ann", "ann@example.com", "g", when) + "," +
                                                    Twice(Msg("Memo", "Bob", "bob@example.com", "m", when)),
                                                "", "inbox") +
                                             "," + Folder("Deleted Items", "IPF.Note", "", "", "deleted")));
  OpenSearched(json);
  ASSERT_TRUE(MenuEnabledAfterOpening(cmdExport));
  // The second Memo copy is treated alone; the other rows keep their checks.
  std::map<std::string, std::string> status;
  std::vector<TEmailNode*> checked;
  for (TEmailNode* row : MessageRows()) {
    if (row->Checked) checked.push_back(row);
    status[row->Data.txMsg.szEntryID] = row->Checked ? "removed" : "kept";
  }
  const std::vector<TEmailNode*> memos = RowsOf({"Memo", "Bob", "Inbox"});
  ASSERT_EQ(memos.size(), 2u);
  ASSERT_TRUE(memos[1]->Checked);
  for (TEmailNode* row : checked) dlg_->Emails().SetChecked(row, row == memos[1]);
  answer_ = IDYES;
  dlg_->mniDeleteClick();
  ASSERT_TRUE(memos[1]->Data.bDeleted);
  status[memos[1]->Data.txMsg.szEntryID] = "treated";
  for (TEmailNode* row : checked) dlg_->Emails().SetChecked(row, true);

  for (const char* name : {"results.csv", "results.JSON"}) {
    SCOPED_TRACE(name);
    const std::string file = dir_ + "\\" + name;
    boxes_.clear();
    exportFile_ = file;
    dlg_->mniExportClick();
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(dlg_->StatusText(), "5 rows written to " + file);
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    if (std::string(name).ends_with(".JSON")) {
      ASSERT_FALSE(text.empty());
      EXPECT_EQ(text.front(), '[');
      EXPECT_NE(text.find("\"status\":\"treated\""), std::string::npos);
      EXPECT_NE(text.find(subject), std::string::npos);
      continue;
    }
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const TTable table = ReadCsv(std::string_view(text).substr(3));
    ASSERT_EQ(table.size(), 6u);
    std::map<std::string, std::string> read;
    std::set<std::string> groupNumbers;
    for (std::size_t r = 1; r < table.size(); ++r) {
      const std::vector<std::string>& row = table[r];
      ASSERT_EQ(row.size(), 11u);
      read[row[10]] = row[1];
      groupNumbers.insert(row[0]);
      EXPECT_EQ(row[3], "Mailbox");
      EXPECT_EQ(row[4], "Inbox");
      EXPECT_TRUE(row[7] == subject || row[7] == "Memo") << row[7];
      EXPECT_EQ(row[6], row[7] == "Memo" ? "bob@example.com" : "ann@example.com");
      EXPECT_EQ(row[8], "2024-03-01T09:31:00Z");
    }
    EXPECT_EQ(read, status);
    EXPECT_EQ(groupNumbers, (std::set<std::string>{"1", "2"}));
  }
}

// A file that cannot be written: an error box naming it, no count in the
// status bar. A cancelled dialog writes nothing and says nothing.
TEST_F(WhyNotTest, AFailedExportShowsAnError) {
  OpenSearched(WhyNotProfile());
  const std::string status = dlg_->StatusText();
  exportFile_.clear();
  dlg_->mniExportClick();
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(dlg_->StatusText(), status);
  for (const std::string& file : {dir_ + "\\no such folder\\out.csv", dir_}) {
    SCOPED_TRACE(file);
    boxes_.clear();
    exportFile_ = file;
    dlg_->mniExportClick();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_NE(boxes_[0].text.find(file), std::string::npos) << boxes_[0].text;
    EXPECT_EQ(dlg_->StatusText(), status);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ + "\\no such folder"));
}

}  // namespace
