#include "ui/NearMissSearch.h"

#include <unordered_set>
#include <vector>

namespace {

std::vector<TGroupIDs> GroupsOf(TQuopDB& db, const TMsgSet& settings) {
  db.SetMsgSet(settings);
  TGroupReader reader;
  for (TQuopMsg* m = db.FindFirstMsg(); m; m = db.FindNextMsg()) {
    reader.Add(*m);
    db.FreeQuopMsg(m);
  }
  return reader.Take();
}

// Copies of the records the groups name, read by position from the index.
void CopyMembers(TQuopDB& db, TNearMissFound& found) {
  std::unordered_set<std::string> wanted;
  for (const TNearMiss& n : found.misses.Groups) wanted.insert(n.Members.begin(), n.Members.end());
  const auto at = db.Exports().FGetMsgAt;
  for (std::int32_t i = 0, count = db.GetMsgCount(); at && i < count && !wanted.empty(); ++i) {
    TQuopMsg* m = at(i);
    if (!m) continue;
    const auto it = m->szEntryID ? wanted.find(m->szEntryID) : wanted.end();
    if (it != wanted.end()) {
      TOwnedQuopMsg copy;
      if (copy.CopyFrom(*m)) found.records.emplace(*it, std::move(copy));
      wanted.erase(it);
    }
    db.FreeQuopMsg(m);
  }
}

}  // namespace

TNearMissFound SearchNearMisses(TQuopDB& db, const TMsgSet& base, const TNearMissProgress& progress) {
  TNearMissFound found;
  found.settings = {base.nSelFields, base.bSearchOverFolders != 0};
  const std::vector<TDroppedFieldMask> masks = NearMissMasks(base.nSelFields);
  const int steps = static_cast<int>(masks.size()) + 1;
  if (progress) progress(0, 0, steps);
  const std::vector<TGroupIDs> current = GroupsOf(db, base);
  std::vector<TGroupsWithout> without;
  for (std::size_t i = 0; i < masks.size(); ++i) {
    if (progress) progress(masks[i].nDroppedField, static_cast<int>(i) + 1, steps);
    TMsgSet settings = base;
    settings.nSelFields = masks[i].nMask;
    without.push_back({masks[i].nDroppedField, GroupsOf(db, settings)});
  }
  db.SetMsgSet(base);
  found.misses = FindNearMisses(current, without);
  CopyMembers(db, found);
  return found;
}
