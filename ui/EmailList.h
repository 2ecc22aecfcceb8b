// The rows of the results list: one group row per duplicate group with one
// message row per record under it. This is the list's model; the window's
// list control shows VisibleRows() and reports clicks back.
// The records' texts, and so every text made from them here, are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "indexapi/QuopRecords.h"

// The data of every row, group rows and message rows alike.
struct TEmailNodeData {
  TQuopMsg txMsg{};           // a deep copy (CopyMsg), released with the row
  std::int32_t nImageIndex = 0;
  bool bChecked = false;      // the row was loaded checked
  std::int32_t nLevel = 0;
  bool bDeleted = false;      // the row's message has been treated
  std::string strKeptBecause; // the copy proposed for keeping: the rule that chose it (UTF-8)
};

struct TEmailNode {
  TEmailNode() = default;
  ~TEmailNode();  // UnInitQuopMsg on the record copy
  TEmailNode(const TEmailNode&) = delete;
  TEmailNode& operator=(const TEmailNode&) = delete;

  // A row with children is a group row; any other row is a message row.
  bool IsGroup() const { return !Children.empty(); }

  TEmailNodeData Data;
  bool HasCheckBox = false;
  bool Checked = false;
  bool Expanded = false;
  int Height = 20;
  TEmailNode* Parent = nullptr;
  std::vector<std::unique_ptr<TEmailNode>> Children;
};

// The copy of a group proposed for keeping: its position among the rows
// given, and why (UTF-8, for the "Kept because" column).
struct TKeepPick {
  std::size_t index = 0;
  std::string reason;
};
// Chooses among a group's untreated message rows, in list order.
using TKeepChooser = std::function<TKeepPick(std::span<TEmailNode* const> rows)>;

// Which row a result belongs to, as AddEmail reports it.
struct TAddResult {
  bool bAdded = false;     // false: the record was skipped
  bool bNewGroup = false;  // a group row was opened for it
};

class TEmailList {
 public:
  TEmailList() = default;
  TEmailList(const TEmailList&) = delete;
  TEmailList& operator=(const TEmailList&) = delete;

  // Adds the rows of one record: a new expanded group row (height 30) when
  // bFirst is set, then a message row (height 20, check box) under the
  // current group row, or at the top level when there is none yet. The row
  // at position 0 starts unchecked, the others checked. The record is deep
  // copied; a record that cannot be copied is skipped.
  TAddResult AddEmail(const TQuopMsg& record);
  // The same for a record in the add-in's own memory (made by CopyMsg): its
  // message row takes the strings instead of copying them, and the record
  // is left cleared, whether the row was added or not. Never for a record
  // whose strings belong to someone else.
  TAddResult AdoptEmail(TQuopMsg& record);
  void Clear();

  const std::vector<std::unique_ptr<TEmailNode>>& Roots() const { return FRoots; }
  std::size_t GroupCount() const;      // top-level rows with children
  bool AnyChecked() const { return FCheckedCount > 0; }
  std::size_t CheckedCount() const { return FCheckedCount; }

  // The rows shown, in display order: each top-level row, then its children
  // when it is expanded.
  const std::vector<TEmailNode*>& VisibleRows() const { return FVisible; }
  // Position of a row in VisibleRows(), or -1 when hidden or unknown.
  std::ptrdiff_t VisibleIndexOf(const TEmailNode* node) const;

  // Check changes of message rows; group rows have no check box and are
  // never checked. Each keeps the checked count right.
  void SetChecked(TEmailNode* node, bool checked);
  // The kept copy of each group unchecked, the rest checked: the chooser's
  // pick, or without a chooser position 0.
  void SelectAllDuplicates();
  void UnselectAll();
  void InverseSelection();

  // The keep rules. A group loads as AddEmail says until it is complete:
  // when the next group opens, or at KeepLastGroup (the end of the load),
  // its chooser's pick is left unchecked, the others checked, as loaded.
  void SetKeepChooser(TKeepChooser chooser) { FKeepChooser = std::move(chooser); }
  void KeepLastGroup();

  void SetExpanded(TEmailNode* node, bool expanded);
  void ExpandAll();
  void CollapseAll();

 private:
  // Adds a message row (with the group row its record opens); a null row
  // is a record that could not be copied.
  TAddResult AddRow(std::unique_ptr<TEmailNode> row, bool first);
  void RebuildVisible();
  void AppendVisible(TEmailNode* node);
  template <typename TVisit>
  void ForEachMessageRow(TVisit visit);
  // The chooser's pick in a group: checks, loaded checks and reasons.
  void KeepInGroup(TEmailNode& group, bool asLoaded);

  std::vector<std::unique_ptr<TEmailNode>> FRoots;
  TEmailNode* FCurrentGroup = nullptr;
  std::vector<TEmailNode*> FVisible;
  std::size_t FCheckedCount = 0;
  std::size_t FGroupCount = 0;
  TKeepChooser FKeepChooser;
  TEmailNode* FKeepPending = nullptr;  // the group loading now, its pick not yet made
  // Row -> position in FVisible, built on the first VisibleIndexOf after a
  // rebuild and kept up to date by appends from then on.
  mutable std::unordered_map<const TEmailNode*, std::size_t> FVisibleIndex;
  mutable bool FVisibleIndexValid = false;
};

// The caption of a group row: the trimmed values of Subject (0x001), Sender
// Name (0x002), Sender E-mail (0x004), To (0x020), CC (0x040) and BCC
// (0x080) that are in the mask, in that order, joined by "+".
std::string GroupCaption(const TQuopMsg& record, std::int32_t nSelFields);
// The trailing text of a group row: "( %d )" with its number of message rows.
std::string GroupCountText(std::size_t count);

// The message-row text of column 0 to 5 (From, Folder, Subject, Recieved,
// Size, Kept because); an empty value of 0 to 4 is " ". `received` formats
// the received time.
using TReceivedFormat = std::string (*)(TDateTime utc);
inline constexpr int kEmailColumns = 6;
std::string MessageCellText(const TEmailNodeData& data, int column, TReceivedFormat received,
                            char decimalSeparator);
