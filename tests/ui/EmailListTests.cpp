// The results list's rows: group and message rows, check states and the
// selection commands, expansion, and the texts of cells, sizes and times.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "index/QuopMsgCopy.h"
#include "indexapi/CompareFields.h"
#include "ui/CountText.h"
#include "ui/EmailList.h"
#include "ui/ReceivedText.h"
#include "ui/SizeText.h"

namespace {

// Records over texts that outlive them.
class TRecords {
 public:
  TQuopMsg Make(const std::string& subject, bool first, const std::string& email = "a@example.com",
                const std::string& senderName = "Anna") {
    TQuopMsg m{};
    m.szEntryID = Keep("ID-" + std::to_string(++n_));
    m.szSubject = Keep(subject);
    m.szSenderEmail = Keep(email);
    m.szSenderName = Keep(senderName);
    m.szFolder = Keep("Inbox");
    m.bFirst = first ? 1 : 0;
    m.nIndex = n_;
    return m;
  }
  // A group of `size` records: the first marked bFirst.
  void AddGroup(TEmailList& list, const std::string& subject, int size) {
    for (int i = 0; i < size; ++i) ASSERT_TRUE(list.AddEmail(Make(subject, i == 0)).bAdded);
  }

 private:
  char* Keep(const std::string& s) { return keep_.emplace_back(s).data(); }
  std::deque<std::string> keep_;
  int n_ = 0;
};

// The check states of the message rows, group by group; a top-level message
// row counts as a group of its own.
using TChecks = std::vector<std::vector<bool>>;
TChecks Checks(const TEmailList& list) {
  TChecks checks;
  for (const auto& root : list.Roots()) {
    checks.emplace_back();
    if (root->IsGroup()) {
      for (const auto& child : root->Children) checks.back().push_back(child->Checked);
    } else {
      checks.back().push_back(root->Checked);
    }
  }
  return checks;
}

std::size_t CountChecked(const TChecks& checks) {
  std::size_t n = 0;
  for (const auto& group : checks)
    for (bool c : group) n += c ? 1 : 0;
  return n;
}

TEST(EmailListTest, GroupOfThreeIsAGroupRowOverThreeMessageRows) {
  TRecords records;
  TEmailList list;
  TQuopMsg first = records.Make("Lunch", true);
  const TAddResult added = list.AddEmail(first);
  EXPECT_TRUE(added.bAdded);
  EXPECT_TRUE(added.bNewGroup);
  const TAddResult second = list.AddEmail(records.Make("Lunch", false));
  EXPECT_TRUE(second.bAdded);
  EXPECT_FALSE(second.bNewGroup);
  list.AddEmail(records.Make("Lunch", false));

  ASSERT_EQ(list.Roots().size(), 1u);
  const TEmailNode& group = *list.Roots()[0];
  EXPECT_TRUE(group.IsGroup());
  EXPECT_FALSE(group.HasCheckBox);
  EXPECT_FALSE(group.Checked);
  EXPECT_TRUE(group.Expanded);
  EXPECT_EQ(group.Height, 30);
  EXPECT_EQ(group.Parent, nullptr);
  ASSERT_EQ(group.Children.size(), 3u);
  EXPECT_EQ(GroupCountText(group.Children.size()), "( 3 )");

  const bool expected[] = {false, true, true};
  for (std::size_t i = 0; i < 3; ++i) {
    const TEmailNode& row = *group.Children[i];
    SCOPED_TRACE(i);
    EXPECT_FALSE(row.IsGroup());
    EXPECT_TRUE(row.HasCheckBox);
    EXPECT_EQ(row.Checked, expected[i]);
    EXPECT_EQ(row.Data.bChecked, expected[i]);
    EXPECT_FALSE(row.Data.bDeleted);
    EXPECT_EQ(row.Height, 20);
    EXPECT_EQ(row.Parent, &group);
  }
  EXPECT_EQ(list.GroupCount(), 1u);
  EXPECT_EQ(list.CheckedCount(), 2u);
  EXPECT_TRUE(list.AnyChecked());
  const std::vector<TEmailNode*> visible = {list.Roots()[0].get(), group.Children[0].get(),
                                            group.Children[1].get(), group.Children[2].get()};
  EXPECT_EQ(list.VisibleRows(), visible);

  // The group row and its first message row hold their own copies of the
  // first record: changing the source shows in neither.
  for (const TEmailNode* row : {&group, static_cast<const TEmailNode*>(group.Children[0].get())}) {
    EXPECT_NE(row->Data.txMsg.szSubject, first.szSubject);
    EXPECT_STREQ(row->Data.txMsg.szSubject, "Lunch");
    EXPECT_STREQ(row->Data.txMsg.szEntryID, first.szEntryID);
  }
  first.szSubject[0] = 'P';
  EXPECT_STREQ(group.Data.txMsg.szSubject, "Lunch");
}

// Records of the add-in's own memory hand their strings to the message
// rows: the rows come out as from copies, the group row keeps a copy of its
// own, and the records are left cleared.
TEST(EmailListTest, AdoptedRecordsGiveTheRowsOfCopiedOnes) {
  TRecords records;
  TEmailList copied, adopted;
  std::vector<TQuopMsg> made;
  for (const auto& [subject, first] : {std::pair{"Lunch", true}, {"Lunch", false}, {"Trip", true}}) {
    const TQuopMsg source = records.Make(subject, first);
    copied.AddEmail(source);
    TQuopMsg own{};
    ASSERT_TRUE(CopyMsg(source, &own));
    const char* const strings = own.szSubject;
    EXPECT_TRUE(adopted.AdoptEmail(own).bAdded);
    EXPECT_EQ(own.szSubject, nullptr);
    EXPECT_EQ(own.szEntryID, nullptr);
    EXPECT_EQ(adopted.VisibleRows().back()->Data.txMsg.szSubject, strings) << "the row took the strings";
    UnInitQuopMsg(own);  // harmless on a cleared record
  }
  ASSERT_EQ(adopted.VisibleRows().size(), copied.VisibleRows().size());
  for (std::size_t i = 0; i < copied.VisibleRows().size(); ++i) {
    const TEmailNode& want = *copied.VisibleRows()[i];
    const TEmailNode& got = *adopted.VisibleRows()[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(got.IsGroup(), want.IsGroup());
    EXPECT_EQ(got.Checked, want.Checked);
    EXPECT_EQ(got.HasCheckBox, want.HasCheckBox);
    EXPECT_EQ(got.Height, want.Height);
    EXPECT_STREQ(got.Data.txMsg.szSubject, want.Data.txMsg.szSubject);
    EXPECT_STREQ(got.Data.txMsg.szEntryID, want.Data.txMsg.szEntryID);
  }
  const TEmailNode& group = *adopted.Roots()[0];
  EXPECT_NE(group.Data.txMsg.szSubject, group.Children[0]->Data.txMsg.szSubject);
  EXPECT_EQ(adopted.CheckedCount(), copied.CheckedCount());
  EXPECT_EQ(adopted.GroupCount(), 2u);
}

TEST(EmailListTest, StreamStartingWithoutAGroupGivesTopLevelMessageRows) {
  TRecords records;
  TEmailList list;
  EXPECT_FALSE(list.AddEmail(records.Make("Orphan", false)).bNewGroup);
  list.AddEmail(records.Make("Orphan", false));
  records.AddGroup(list, "Lunch", 2);

  ASSERT_EQ(list.Roots().size(), 3u);
  for (int i = 0; i < 2; ++i) {
    const TEmailNode& row = *list.Roots()[i];
    SCOPED_TRACE(i);
    EXPECT_FALSE(row.IsGroup());
    EXPECT_TRUE(row.HasCheckBox);
    EXPECT_TRUE(row.Checked);
    EXPECT_EQ(row.Height, 20);
    EXPECT_EQ(row.Parent, nullptr);
  }
  EXPECT_TRUE(list.Roots()[2]->IsGroup());
  EXPECT_EQ(list.Roots()[2]->Children.size(), 2u);
  EXPECT_EQ(list.GroupCount(), 1u);
  EXPECT_EQ(list.CheckedCount(), 3u);
  EXPECT_EQ(list.VisibleRows().size(), 5u);
}

TEST(EmailListTest, GroupCaptionShowsTheMaskedTextFieldsInOrder) {
  TQuopMsg m{};
  m.szSubject = const_cast<char*>("  Quarterly report\t");
  m.szSenderName = const_cast<char*>(" Anna ");
  m.szSenderEmail = const_cast<char*>("anna@example.com\r\n");
  m.szTo = const_cast<char*>("Tom");
  m.szCC = const_cast<char*>("Sara");
  m.szBCC = const_cast<char*>("Ola");
  m.szAttached = const_cast<char*>("1:a.pdf");
  m.szFolder = const_cast<char*>("Inbox");
  m.lBodyCrc = 77;
  m.nMsgSize = 1234;

  TQuopMsg noEmail = m;
  noEmail.szSenderEmail = nullptr;

  const struct {
    const char* name;
    const TQuopMsg* record;
    std::int32_t mask;
    const char* caption;
  } cases[] = {
      {"default mask", &m, DefaultFieldMask(), "Quarterly report+anna@example.com"},
      {"0x00D", &m, 0x00D, "Quarterly report+anna@example.com"},
      {"message only", &m, FIELD_MESSAGE, ""},
      {"no field", &m, 0, ""},
      {"subject only", &m, FIELD_SUBJECT, "Quarterly report"},
      {"all six, in record order", &m, 0x0FF, "Quarterly report+Anna+anna@example.com+Tom+Sara+Ola"},
      {"order does not follow the bits given", &m, FIELD_BCC | FIELD_FROM, "Anna+Ola"},
      {"size, dates and high bits not shown", &m, 0xF18 | FIELD_CC, "Sara"},
      {"a null field is an empty part", &noEmail, 0x00D, "Quarterly report+"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GroupCaption(*c.record, c.mask), c.caption) << c.name;
}

TEST(EmailListTest, GroupCountText) {
  EXPECT_EQ(GroupCountText(2), "( 2 )");
  EXPECT_EQ(GroupCountText(12345), "( 12345 )");
}

std::string FakeReceived(TDateTime utc) { return "at " + std::to_string(static_cast<int>(utc)); }
std::string NoReceived(TDateTime) { return std::string(); }

TEST(EmailListTest, MessageCellTextByColumn) {
  TEmailNodeData full{};
  full.txMsg.szSenderName = const_cast<char*>("Anna");
  full.txMsg.szFolder = const_cast<char*>("Inbox");
  full.txMsg.szSubject = const_cast<char*>("Lunch");
  full.txMsg.dtRecivedTime = 45000.5;
  full.txMsg.nMsgSize = 1572864;
  full.strKeptBecause = "Largest";
  TEmailNodeData empty{};
  empty.txMsg.szSenderName = const_cast<char*>("");
  empty.txMsg.szSubject = const_cast<char*>("");

  // Each column of both records through a formatter that names the day, with
  // the point as the decimal separator.
  const struct {
    int column;
    const char* fullText;
    const char* emptyText;  // empty or null texts show as one space
  } columns[] = {
      {0, "Anna", " "},         // From
      {1, "Inbox", " "},        // Folder (null in the empty record)
      {2, "Lunch", " "},        // Subject
      {3, "at 45000", "at 0"},  // Recieved, as the formatter writes it
      {4, "1.5MB", "0B"},       // Size
      {5, "Largest", ""},       // Kept because: empty on the other rows
      {6, "", ""},              // no such column
  };
  for (const auto& c : columns) {
    EXPECT_EQ(MessageCellText(full, c.column, FakeReceived, '.'), c.fullText) << "column " << c.column;
    EXPECT_EQ(MessageCellText(empty, c.column, FakeReceived, '.'), c.emptyText) << "column " << c.column;
  }
  EXPECT_EQ(MessageCellText(full, 4, FakeReceived, ','), "1,5MB") << "the locale's separator";
  EXPECT_EQ(MessageCellText(empty, 3, NoReceived, '.'), " ") << "no received text";
  EXPECT_EQ(MessageCellText(full, 3, nullptr, '.'), " ") << "no formatter";
}

// A list as loaded: an orphan row, then groups of three and two.
class SelectionTest : public ::testing::Test {
 public:
  void SetUp() override { Load(); }
  void Load() {
    list_.Clear();
    list_.AddEmail(records_.Make("Orphan", false));
    records_.AddGroup(list_, "Lunch", 3);
    records_.AddGroup(list_, "Report", 2);
  }
  TEmailNode* Row(std::size_t group, std::size_t position) {
    TEmailNode* root = list_.Roots()[group].get();
    return root->IsGroup() ? root->Children[position].get() : root;
  }
  TRecords records_;
  TEmailList list_;
};

TEST_F(SelectionTest, CommandsSetTheMessageRowsAndKeepTheCount) {
  const TChecks loaded = {{true}, {false, true, true}, {false, true}};
  const TChecks onlyFirst = {{false}, {true, false, false}, {true, false}};
  const TChecks none = {{false}, {false, false, false}, {false, false}};
  const TChecks all = {{true}, {true, true, true}, {true, true}};
  const auto noChange = [](SelectionTest&) {};
  const auto uncheckAll = [](SelectionTest& t) { t.list_.UnselectAll(); };
  const auto scramble = [](SelectionTest& t) {
    t.list_.SetChecked(t.Row(1, 0), true);
    t.list_.SetChecked(t.Row(1, 2), false);
    t.list_.SetChecked(t.Row(0, 0), false);
  };

  const struct {
    const char* name;
    void (*before)(SelectionTest&);
    void (TEmailList::*command)();
    TChecks expected;
  } cases[] = {
      {"inverse of a fresh list leaves the first rows", noChange, &TEmailList::InverseSelection,
       onlyFirst},
      {"unselect all", noChange, &TEmailList::UnselectAll, none},
      {"inverse of nothing checked", uncheckAll, &TEmailList::InverseSelection, all},
      {"select all duplicates restores the proposal", uncheckAll,
       &TEmailList::SelectAllDuplicates, loaded},
      {"select all duplicates after hand changes", scramble, &TEmailList::SelectAllDuplicates,
       loaded},
      {"inverse after hand changes", scramble, &TEmailList::InverseSelection,
       {{true}, {false, false, true}, {true, false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Load();
    ASSERT_EQ(Checks(list_), loaded);
    c.before(*this);
    (list_.*c.command)();
    EXPECT_EQ(Checks(list_), c.expected);
    EXPECT_EQ(list_.CheckedCount(), CountChecked(c.expected));
    EXPECT_EQ(list_.AnyChecked(), CountChecked(c.expected) > 0);
    for (std::size_t g : {1u, 2u}) EXPECT_FALSE(list_.Roots()[g]->Checked) << "group row " << g;
  }
}

TEST_F(SelectionTest, GroupRowsAreNeverChecked) {
  TEmailNode* group = list_.Roots()[1].get();
  list_.SetChecked(group, true);
  EXPECT_FALSE(group->Checked);
  list_.SetChecked(nullptr, true);
  EXPECT_EQ(list_.CheckedCount(), 4u);
}

TEST_F(SelectionTest, SettingTheSameStateTwiceCountsOnce) {
  list_.SetChecked(Row(1, 0), true);
  list_.SetChecked(Row(1, 0), true);
  EXPECT_EQ(list_.CheckedCount(), 5u);
  list_.SetChecked(Row(1, 1), false);
  list_.SetChecked(Row(1, 1), false);
  EXPECT_EQ(list_.CheckedCount(), 4u);
  list_.UnselectAll();
  EXPECT_FALSE(list_.AnyChecked());
}

TEST_F(SelectionTest, ExpandAndCollapseChangeTheVisibleRows) {
  TEmailNode* orphan = list_.Roots()[0].get();
  TEmailNode* lunch = list_.Roots()[1].get();
  TEmailNode* report = list_.Roots()[2].get();
  ASSERT_EQ(list_.VisibleRows().size(), 8u);
  EXPECT_EQ(list_.VisibleIndexOf(report), 5);

  list_.SetExpanded(lunch, false);
  EXPECT_FALSE(lunch->Expanded);
  EXPECT_EQ(list_.VisibleRows(),
            (std::vector<TEmailNode*>{orphan, lunch, report, Row(2, 0), Row(2, 1)}));
  EXPECT_EQ(list_.VisibleIndexOf(Row(1, 1)), -1);
  EXPECT_EQ(list_.VisibleIndexOf(report), 2);
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 1)), 4);
  EXPECT_EQ(list_.VisibleIndexOf(nullptr), -1);

  list_.SetExpanded(orphan, false);  // a row without children does not fold
  EXPECT_EQ(list_.VisibleRows().size(), 5u);

  list_.CollapseAll();
  EXPECT_EQ(list_.VisibleRows(), (std::vector<TEmailNode*>{orphan, lunch, report}));
  EXPECT_FALSE(report->Expanded);

  list_.ExpandAll();
  EXPECT_EQ(list_.VisibleRows(),
            (std::vector<TEmailNode*>{orphan, lunch, Row(1, 0), Row(1, 1), Row(1, 2), report,
                                      Row(2, 0), Row(2, 1)}));
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 1)), 7);
  // Expanding does not touch the check states.
  EXPECT_EQ(list_.CheckedCount(), 4u);
}

TEST_F(SelectionTest, RowsAddedLaterFollowTheirGroupsExpansion) {
  TEmailNode* report = list_.Roots()[2].get();
  // Positions asked for before the appends stay right after them.
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 1)), 7);
  list_.AddEmail(records_.Make("Report", false));
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 2)), 8);

  list_.SetExpanded(report, false);
  list_.AddEmail(records_.Make("Report", false));
  EXPECT_EQ(report->Children.size(), 4u);
  EXPECT_EQ(list_.VisibleRows().back(), report) << "a folded group hides its new rows";
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 3)), -1);

  records_.AddGroup(list_, "Minutes", 2);
  TEmailNode* minutes = list_.Roots()[3].get();
  EXPECT_EQ(list_.VisibleIndexOf(minutes), 6);
  EXPECT_EQ(list_.VisibleIndexOf(Row(3, 1)), 8);

  list_.SetExpanded(report, true);
  EXPECT_EQ(list_.VisibleRows().size(), 13u);
  EXPECT_EQ(list_.VisibleIndexOf(Row(2, 3)), 9);
  EXPECT_EQ(list_.VisibleRows().back(), Row(3, 1));
  EXPECT_EQ(list_.CheckedCount(), 7u);
}

TEST_F(SelectionTest, ClearEmptiesTheList) {
  list_.Clear();
  EXPECT_TRUE(list_.Roots().empty());
  EXPECT_TRUE(list_.VisibleRows().empty());
  EXPECT_EQ(list_.GroupCount(), 0u);
  EXPECT_FALSE(list_.AnyChecked());
  // The next stream starts afresh: no current group is carried over.
  list_.AddEmail(records_.Make("Orphan", false));
  ASSERT_EQ(list_.Roots().size(), 1u);
  EXPECT_FALSE(list_.Roots()[0]->IsGroup());
}

// The keep chooser decides a group once it is complete: when the next group
// opens, or at KeepLastGroup; the pick is left unchecked, loaded so, and
// named; the other rows checked.
TEST(EmailListTest, TheChooserDecidesEachGroupOnceItIsComplete) {
  TRecords records;
  TEmailList list;
  std::vector<std::size_t> asked;
  list.SetKeepChooser([&](std::span<TEmailNode* const> rows) {
    asked.push_back(rows.size());
    return TKeepPick{rows.size() - 1, "last"};
  });
  list.AddEmail(records.Make("Orphan", false));
  records.AddGroup(list, "Lunch", 3);
  EXPECT_EQ(Checks(list), (TChecks{{true}, {false, true, true}})) << "Lunch may still grow";
  EXPECT_TRUE(asked.empty());
  records.AddGroup(list, "Report", 2);
  EXPECT_EQ(Checks(list), (TChecks{{true}, {true, true, false}, {false, true}}));
  list.KeepLastGroup();
  list.KeepLastGroup();  // the last group is decided once
  EXPECT_EQ(Checks(list), (TChecks{{true}, {true, true, false}, {true, false}}));
  EXPECT_EQ(asked, (std::vector<std::size_t>{3, 2}));
  EXPECT_EQ(list.CheckedCount(), 4u);
  for (std::size_t g : {1u, 2u})
    for (const auto& row : list.Roots()[g]->Children) {
      EXPECT_EQ(row->Data.bChecked, row->Checked);
      EXPECT_EQ(row->Data.strKeptBecause, row->Checked ? "" : "last");
    }
  // A cleared list starts with no group pending.
  list.Clear();
  list.KeepLastGroup();
  EXPECT_EQ(asked.size(), 2u);
}

// "Select All Duplicates" with a chooser: each group's untreated rows are
// offered, the pick unchecked and named, the rest checked; a pick out of
// range keeps the first row; a row outside any group is checked.
TEST(EmailListTest, SelectAllDuplicatesAsksTheChooserAboutTheUntreatedRows) {
  TRecords records;
  TEmailList list;
  list.AddEmail(records.Make("Orphan", false));
  records.AddGroup(list, "Lunch", 3);
  records.AddGroup(list, "Report", 2);
  TEmailNode* treated = list.Roots()[1]->Children[2].get();
  treated->Data.bDeleted = true;
  treated->HasCheckBox = false;
  treated->Data.strKeptBecause = "before";
  const struct {
    const char* name;
    std::size_t pick;
    TChecks expected;
  } cases[] = {
      {"the last untreated row", 1, {{true}, {true, false, true}, {true, false}}},
      {"out of range", 7, {{true}, {false, true, true}, {false, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::size_t> offered;
    list.SetKeepChooser([&](std::span<TEmailNode* const> rows) {
      offered.push_back(rows.size());
      return TKeepPick{c.pick, c.name};
    });
    list.UnselectAll();
    list.SelectAllDuplicates();
    EXPECT_EQ(Checks(list), c.expected);
    EXPECT_EQ(offered, (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(treated->Data.strKeptBecause, "");
    for (std::size_t g : {1u, 2u})
      for (const auto& row : list.Roots()[g]->Children)
        if (row->HasCheckBox) {
          EXPECT_EQ(row->Data.strKeptBecause, row->Checked ? "" : c.name);
        }
  }
}

TEST(EmailListTest, HundredThousandRowsStayConsistent) {
  constexpr int groups = 25000, perGroup = 4;
  TQuopMsg m{};
  m.szSubject = const_cast<char*>("Same subject");
  m.szEntryID = const_cast<char*>("00000000ABCDEF");
  TEmailList list;
  for (int g = 0; g < groups; ++g)
    for (int i = 0; i < perGroup; ++i) {
      m.bFirst = i == 0;
      m.nIndex = g * perGroup + i + 1;
      list.AddEmail(m);
    }
  ASSERT_EQ(list.GroupCount(), static_cast<std::size_t>(groups));
  ASSERT_EQ(list.VisibleRows().size(), static_cast<std::size_t>(groups * (perGroup + 1)));
  EXPECT_EQ(list.CheckedCount(), static_cast<std::size_t>(groups * (perGroup - 1)));
  const TEmailNode* last = list.Roots().back()->Children.back().get();
  EXPECT_EQ(last->Data.txMsg.nIndex, groups * perGroup);
  EXPECT_EQ(list.VisibleIndexOf(last), groups * (perGroup + 1) - 1);
  EXPECT_EQ(list.VisibleIndexOf(list.Roots()[12345]->Children[2].get()), 12345 * 5 + 3);
  // Visible order is each group row followed by its rows.
  for (std::size_t v = 0; v < list.VisibleRows().size(); ++v) {
    const TEmailNode* row = list.VisibleRows()[v];
    if (row->IsGroup() != (v % (perGroup + 1) == 0)) FAIL() << "row " << v << " out of place";
  }

  list.InverseSelection();
  EXPECT_EQ(list.CheckedCount(), static_cast<std::size_t>(groups));
  list.CollapseAll();
  EXPECT_EQ(list.VisibleRows().size(), static_cast<std::size_t>(groups));
  list.SetExpanded(list.Roots()[100].get(), true);
  EXPECT_EQ(list.VisibleIndexOf(list.Roots()[101].get()), 101 + perGroup);
  list.SelectAllDuplicates();
  EXPECT_EQ(list.CheckedCount(), static_cast<std::size_t>(groups * (perGroup - 1)));
  list.Clear();
  EXPECT_EQ(list.CheckedCount(), 0u);
}

TEST(SizeTextTest, UnitsSwitchAtAThousand) {
  const struct {
    std::int32_t n;
    char separator;
    const char* text;
  } cases[] = {
      {0, '.', "0B"},
      {-5, '.', "-5B"},
      {999, '.', "999B"},
      {1000, '.', "1KB"},
      {1535, '.', "1KB"},
      {1536, '.', "2KB"},  // 1.5: to the even neighbour, up
      {2560, '.', "2KB"},  // 2.5: to the even neighbour, down
      {2561, '.', "3KB"},
      {3584, '.', "4KB"},  // 3.5
      {1023999, '.', "1000KB"},
      {1024000, '.', "1.0MB"},
      {1048576, '.', "1.0MB"},
      {1572864, '.', "1.5MB"},
      {1572864, ',', "1,5MB"},
      {1048575999, '.', "1000.0MB"},
      {1048576000, '.', "1.0GB"},
      {1073741824, '.', "1.0GB"},
      {1610612736, ',', "1,5GB"},
      {INT32_MAX, '.', "2.0GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetSizeStr(c.n, c.separator), c.text) << c.n;
}

TEST(ReceivedTextTest, LocalTimeInTheLocalesFormats) {
  constexpr unsigned long EnglishUS = 0x0409;
  constexpr TDateTime Jan2 = 44928;  // 2 January 2023
  constexpr double Hour = 1.0 / 24, Minute = Hour / 60, Second = Minute / 60;
  const TDateTime afternoon = Jan2 + 15 * Hour + 4 * Minute + 5 * Second;

  const struct {
    const char* name;
    TDateTime utc;
    long bias;
    const char* text;
  } cases[] = {
      {"UTC", afternoon, 0, "1/2/2023 3:04:05 PM"},
      {"an hour east of UTC", afternoon, -60, "1/2/2023 4:04:05 PM"},
      {"five hours west", afternoon, 300, "1/2/2023 10:04:05 AM"},
      {"into the next day", Jan2 + 23 * Hour + 30 * Minute, -60, "1/3/2023 12:30:00 AM"},
      {"back to the day before", Jan2 + 2 * Hour, 180, "1/1/2023 11:00:00 PM"},
      {"midnight leaves the time out", Jan2, 0, "1/2/2023"},
      {"midnight after the offset", Jan2 - Hour, -60, "1/2/2023"},
      {"a second after midnight", Jan2 + Second, 0, "1/2/2023 12:00:01 AM"},
      {"no received time", 0, -60, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReceivedTextInLocale(c.utc, c.bias, EnglishUS), c.text) << c.name;
}

// A locale whose formats name the time of day in its own script: the text
// comes out whole, as UTF-8 like the other cells, not through the system
// code page.
TEST(ReceivedTextTest, MarkersOutsideTheSystemCodePageComeWhole) {
  constexpr TDateTime Jan2 = 44928;
  constexpr double Hour = 1.0 / 24;
  const struct {
    const char* name;
    unsigned long lcid;
    int hour;
    const char* marker;  // UTF-8
  } cases[] = {
      {"Chinese (Taiwan) morning", 0x0404, 9, "\xE4\xB8\x8A\xE5\x8D\x88"},    // 上午
      {"Chinese (Taiwan) afternoon", 0x0404, 15, "\xE4\xB8\x8B\xE5\x8D\x88"}, // 下午
      {"Greek morning", 0x0408, 9, "\xCF\x80.\xCE\xBC."},                       // π.μ.
  };
  for (const auto& c : cases) {
    const std::string text = ReceivedTextInLocale(Jan2 + c.hour * Hour, 0, c.lcid);
    EXPECT_NE(text.find(c.marker), std::string::npos) << c.name << ": " << text;
    EXPECT_EQ(text.find('?'), std::string::npos) << c.name << ": " << text;
  }
}

TEST(ReceivedTextTest, UserFormatsFollowTheOffset) {
  constexpr TDateTime Jan2 = 44928;
  constexpr double Hour = 1.0 / 24;
  EXPECT_EQ(ReceivedTextWithBias(0, 0), "");
  // An offset shifts the shown time as moving the UTC time would.
  EXPECT_EQ(ReceivedTextWithBias(Jan2 + 10 * Hour, -120), ReceivedTextWithBias(Jan2 + 12 * Hour, 0));
  EXPECT_NE(ReceivedTextWithBias(Jan2 + 10 * Hour, -120), ReceivedTextWithBias(Jan2 + 10 * Hour, 0));
  // Midnight shows the date alone; any other time adds the time after a space.
  const std::string date = ReceivedTextWithBias(Jan2, 0);
  const std::string dateTime = ReceivedTextWithBias(Jan2 + Hour, 0);
  ASSERT_FALSE(date.empty());
  EXPECT_EQ(dateTime.substr(0, date.size() + 1), date + " ");
  EXPECT_GT(dateTime.size(), date.size() + 1);
}

}  // namespace

TEST(CountTextTest, CountsAreGroupedInThreesWithTheSeparatorGiven) {
  const struct {
    const char* pattern;
    std::initializer_list<long> values;
    char thousands;
    const char* text;
  } cases[] = {
      {"Moved %d of %d to Deleted Items", {9998, 10000}, ',', "Moved 9,998 of 10,000 to Deleted Items"},
      {"%d could not be moved", {2}, ',', "2 could not be moved"},
      {"%d|%d|%d|%d", {999, 1000, 100000, 1234567}, '.', "999|1.000|100.000|1.234.567"},
      {"%d|%d", {-1234, 0}, ',', "-1,234|0"},
      {"%d of %d", {10000, 10000}, 0, "10000 of 10000"},
      // A translator's other '%' and a missing value stay as written.
      {"%d%% %s %d", {5000}, ',', "5,000%% %s %d"},
  };
  for (const auto& c : cases) EXPECT_EQ(FillCounts(c.pattern, c.values, c.thousands), c.text) << c.pattern;
}
