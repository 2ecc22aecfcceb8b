#include "ui/NearMissWindow.h"

TNearMissWindow::TNearMissWindow(HWND owner, HFONT font, HFONT bold, const TMarkedListLook& look,
                                 const TRowTexts& texts, TNearMissFound found)
    : FFound(std::move(found)) {
  std::vector<TMarkedRow> rows;
  const std::vector<TNearMiss>& groups = FFound.misses.Groups;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    rows.push_back(texts.heading(groups[g], static_cast<int>(g + 1)));
    FRefs.push_back({g, nullptr});
    for (const std::string& id : groups[g].Members) {
      const auto it = FFound.records.find(id);
      const TQuopMsg* record = it == FFound.records.end() ? nullptr : &it->second.Get();
      rows.push_back(texts.message(record, id));
      FRefs.push_back({g, record});
    }
  }
  FList = std::make_unique<TMarkedListWindow>(owner, font, bold, look, std::move(rows));
  FList->OnButton = [this] { Compare(); };
}

std::vector<int> TNearMissWindow::RowsOfGroup(std::size_t group) const {
  std::vector<int> rows;
  for (std::size_t r = 0; r < FRefs.size(); ++r)
    if (FRefs[r].group == group && FRefs[r].record) rows.push_back(static_cast<int>(r));
  return rows;
}

void TNearMissWindow::Compare() {
  const std::vector<int> selected = FList->SelectedRows();
  const auto ref = [this](int row) {
    return row >= 0 && static_cast<std::size_t>(row) < FRefs.size() ? FRefs[row] : TRowRef{};
  };
  if (selected.size() == 2) {
    const TRowRef a = ref(selected[0]), b = ref(selected[1]);
    if (a.record && b.record && a.group == b.group) {
      if (OnCompare) OnCompare(*a.record, *b.record, FFound.settings);
      return;
    }
  }
  if (OnWrongSelection) OnWrongSelection();
}
