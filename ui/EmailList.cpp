#include "ui/EmailList.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "indexapi/CompareFields.h"
#include "index/QuopMsgCopy.h"
#include "ui/SizeText.h"

TEmailNode::~TEmailNode() { UnInitQuopMsg(Data.txMsg); }

namespace {

constexpr int GroupRowHeight = 30;
constexpr int MessageRowHeight = 20;

// A row holding a deep copy of record; null when the copy fails (the
// partial copy goes with the row).
std::unique_ptr<TEmailNode> NewRow(const TQuopMsg& record) {
  auto node = std::make_unique<TEmailNode>();
  if (!CopyMsg(record, &node->Data.txMsg)) return nullptr;
  node->Data.bDeleted = false;
  return node;
}

std::string Trimmed(const char* text) {
  if (text == nullptr) return std::string();
  std::string s = text;
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0, end = s.size();
  while (begin < end && blank(s[begin])) ++begin;
  while (end > begin && blank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

std::string CellOrSpace(std::string text) { return text.empty() ? std::string(" ") : text; }

// Room for `more` appends, growing geometrically so appends stay amortised O(1).
template <typename T>
void MakeRoom(std::vector<T>& v, std::size_t more) {
  if (v.capacity() - v.size() >= more) return;
  v.reserve(std::max(v.size() + more, v.capacity() * 2));
}

}  // namespace

TAddResult TEmailList::AddEmail(const TQuopMsg& record) {
  try {
    return AddRow(NewRow(record), record.bFirst != 0);
  } catch (...) {
    // Out of memory: the record is skipped; the rows added so far stay.
    return AddRow(nullptr, record.bFirst != 0);
  }
}

TAddResult TEmailList::AdoptEmail(TQuopMsg& record) {
  const bool first = record.bFirst != 0;
  std::unique_ptr<TEmailNode> row;
  try {
    row = std::make_unique<TEmailNode>();
  } catch (...) {
    UnInitQuopMsg(record);
    return AddRow(nullptr, first);
  }
  row->Data.txMsg = std::exchange(record, TQuopMsg{});
  return AddRow(std::move(row), first);
}

TAddResult TEmailList::AddRow(std::unique_ptr<TEmailNode> row, bool first) {
  TAddResult result;
  if (!row) {
    // The group's other records must not end up under the previous group.
    if (first) FCurrentGroup = nullptr;
    return result;
  }
  try {
    std::unique_ptr<TEmailNode> group;
    if (first) {
      // The group before is complete: its copy to keep can be chosen now.
      KeepLastGroup();
      group = NewRow(row->Data.txMsg);
      if (!group) {
        // The group's other records must not end up under the previous group.
        FCurrentGroup = nullptr;
        return result;
      }
      group->Expanded = true;
      group->Height = GroupRowHeight;
    }
    row->HasCheckBox = true;
    row->Checked = !first;
    row->Data.bChecked = !first;
    row->Data.bDeleted = false;
    row->Height = MessageRowHeight;

    // Reserve first so that no push_back below can throw half-way.
    MakeRoom(FRoots, 2);
    MakeRoom(FVisible, 2);
    if (group) {
      group->Children.reserve(1);
      FCurrentGroup = group.get();
      FKeepPending = FCurrentGroup;
      FRoots.push_back(std::move(group));
      AppendVisible(FCurrentGroup);
      ++FGroupCount;
      result.bNewGroup = true;
    }
    TEmailNode* added = row.get();
    if (FCurrentGroup != nullptr) {
      // The current group is always the last top-level row, so its rows
      // are the tail of the visible list.
      row->Parent = FCurrentGroup;
      FCurrentGroup->Children.push_back(std::move(row));
      if (FCurrentGroup->Expanded) AppendVisible(added);
    } else {
      FRoots.push_back(std::move(row));
      AppendVisible(added);
    }
    if (added->Checked) ++FCheckedCount;
    result.bAdded = true;
  } catch (...) {
    // Out of memory: the record is skipped; the rows added so far stay.
  }
  return result;
}

void TEmailList::Clear() {
  FCurrentGroup = nullptr;
  FKeepPending = nullptr;
  FVisible.clear();
  FVisibleIndex.clear();
  FVisibleIndexValid = false;
  FRoots.clear();
  FCheckedCount = 0;
  FGroupCount = 0;
}

std::size_t TEmailList::GroupCount() const { return FGroupCount; }

std::ptrdiff_t TEmailList::VisibleIndexOf(const TEmailNode* node) const {
  if (node == nullptr) return -1;
  if (!FVisibleIndexValid) {
    FVisibleIndex.clear();
    FVisibleIndex.reserve(FVisible.size());
    for (std::size_t i = 0; i < FVisible.size(); ++i) FVisibleIndex.emplace(FVisible[i], i);
    FVisibleIndexValid = true;
  }
  const auto it = FVisibleIndex.find(node);
  return it == FVisibleIndex.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
}

void TEmailList::AppendVisible(TEmailNode* node) {
  FVisible.push_back(node);
  if (FVisibleIndexValid) {
    try {
      FVisibleIndex.emplace(node, FVisible.size() - 1);
    } catch (...) {
      FVisibleIndexValid = false;  // rebuilt on the next look-up
    }
  }
}

void TEmailList::RebuildVisible() {
  FVisible.clear();
  FVisibleIndex.clear();
  FVisibleIndexValid = false;
  for (const auto& root : FRoots) {
    FVisible.push_back(root.get());
    if (root->Expanded)
      for (const auto& child : root->Children) FVisible.push_back(child.get());
  }
}

// Calls visit(row, positionInGroup) for every message row: the rows under
// each group row and the top-level rows that have no group (position -1).
template <typename TVisit>
void TEmailList::ForEachMessageRow(TVisit visit) {
  for (const auto& root : FRoots) {
    if (root->IsGroup()) {
      std::ptrdiff_t position = 0;
      for (const auto& child : root->Children)
        if (child->HasCheckBox) visit(*child, position++);
    } else if (root->HasCheckBox) {
      visit(*root, std::ptrdiff_t{-1});
    }
  }
}

void TEmailList::SetChecked(TEmailNode* node, bool checked) {
  if (node == nullptr || !node->HasCheckBox || node->Checked == checked) return;
  node->Checked = checked;
  if (checked)
    ++FCheckedCount;
  else
    --FCheckedCount;
}

void TEmailList::SelectAllDuplicates() {
  // The index's proposal: keep the first copy of each group, treat the
  // others. A row outside any group was loaded as a copy to treat.
  if (!FKeepChooser) {
    ForEachMessageRow([this](TEmailNode& row, std::ptrdiff_t position) { SetChecked(&row, position != 0); });
    return;
  }
  for (const auto& root : FRoots) {
    if (root->IsGroup()) KeepInGroup(*root, false);
    else SetChecked(root.get(), true);
  }
}

void TEmailList::KeepLastGroup() {
  TEmailNode* const group = std::exchange(FKeepPending, nullptr);
  if (group && FKeepChooser) KeepInGroup(*group, true);
}

void TEmailList::KeepInGroup(TEmailNode& group, bool asLoaded) {
  std::vector<TEmailNode*> rows;
  TKeepPick pick;
  try {
    for (const auto& child : group.Children)
      if (child->HasCheckBox) rows.push_back(child.get());
    if (rows.empty()) return;
    pick = FKeepChooser(rows);
  } catch (...) {
    // Out of memory: the group keeps the checks it has.
    return;
  }
  if (pick.index >= rows.size()) pick.index = 0;
  for (const auto& child : group.Children) child->Data.strKeptBecause.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SetChecked(rows[i], i != pick.index);
    if (asLoaded) rows[i]->Data.bChecked = i != pick.index;
  }
  rows[pick.index]->Data.strKeptBecause = std::move(pick.reason);
}

void TEmailList::UnselectAll() {
  ForEachMessageRow([this](TEmailNode& row, std::ptrdiff_t) { SetChecked(&row, false); });
}

void TEmailList::InverseSelection() {
  ForEachMessageRow([this](TEmailNode& row, std::ptrdiff_t) { SetChecked(&row, !row.Checked); });
}

void TEmailList::SetExpanded(TEmailNode* node, bool expanded) {
  if (node == nullptr || !node->IsGroup() || node->Expanded == expanded) return;
  node->Expanded = expanded;
  RebuildVisible();
}

void TEmailList::ExpandAll() {
  for (const auto& root : FRoots)
    if (root->IsGroup()) root->Expanded = true;
  RebuildVisible();
}

void TEmailList::CollapseAll() {
  for (auto it = FRoots.rbegin(); it != FRoots.rend(); ++it)
    if ((*it)->IsGroup()) (*it)->Expanded = false;
  RebuildVisible();
}

std::string GroupCaption(const TQuopMsg& record, std::int32_t nSelFields) {
  static constexpr struct {
    std::int32_t nFieldID;
    char* TQuopMsg::*text;
  } Shown[] = {
      {FIELD_SUBJECT, &TQuopMsg::szSubject},   {FIELD_FROM, &TQuopMsg::szSenderName},
      {FIELD_SENDER_EMAIL, &TQuopMsg::szSenderEmail}, {FIELD_SENT_TO, &TQuopMsg::szTo},
      {FIELD_CC, &TQuopMsg::szCC},             {FIELD_BCC, &TQuopMsg::szBCC},
  };
  std::string caption;
  bool any = false;
  for (const auto& field : Shown) {
    if ((nSelFields & field.nFieldID) == 0) continue;
    if (any) caption += '+';
    caption += Trimmed(record.*field.text);
    any = true;
  }
  return caption;
}

std::string GroupCountText(std::size_t count) {
  char text[32];
  std::snprintf(text, sizeof text, "( %lu )", static_cast<unsigned long>(count));
  return text;
}

std::string MessageCellText(const TEmailNodeData& data, int column, TReceivedFormat received,
                            char decimalSeparator) {
  const TQuopMsg& msg = data.txMsg;
  const auto text = [](const char* s) { return CellOrSpace(s ? std::string(s) : std::string()); };
  switch (column) {
    case 0:
      return text(msg.szSenderName);
    case 1:
      return text(msg.szFolder);
    case 2:
      return text(msg.szSubject);
    case 3:
      return CellOrSpace(received ? received(msg.dtRecivedTime) : std::string());
    case 4:
      return GetSizeStr(msg.nMsgSize, decimalSeparator);
    case 5:
      return data.strKeptBecause;
    default:
      return std::string();
  }
}
