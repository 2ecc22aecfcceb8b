// The near-miss view: each group that one compared field fewer would form,
// a heading row naming the field dropped, then its messages. Two messages of
// one group selected, "&Compare..." compares them under the settings the
// near misses were measured against.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/MarkedListWindow.h"
#include "ui/NearMissSearch.h"

class TNearMissWindow {
 public:
  // The texts of the rows, as the finder window words them.
  struct TRowTexts {
    std::function<TMarkedRow(const TNearMiss& group, int number)> heading;
    // `record` is null when the index no longer had the message.
    std::function<TMarkedRow(const TQuopMsg* record, const std::string& entryID)> message;
  };

  TNearMissWindow(HWND owner, HFONT font, HFONT bold, const TMarkedListLook& look, const TRowTexts& texts,
                  TNearMissFound found);

  // Null once the window has been closed.
  HWND Handle() const { return FList->Handle(); }
  TMarkedListWindow& List() { return *FList; }
  const TNearMissFound& Found() const { return FFound; }
  // The row of each member of group `group` (0-based), in list order.
  std::vector<int> RowsOfGroup(std::size_t group) const;

  // What the button does: two message rows of one group selected go to
  // OnCompare; any other selection to OnWrongSelection.
  void Compare();
  std::function<void(const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& settings)> OnCompare;
  std::function<void()> OnWrongSelection;

 private:
  struct TRowRef {
    std::size_t group = 0;
    const TQuopMsg* record = nullptr;  // null on a heading row
  };

  TNearMissFound FFound;
  std::vector<TRowRef> FRefs;  // one a row
  std::unique_ptr<TMarkedListWindow> FList;
};
