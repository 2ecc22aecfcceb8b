#include "results/NearMisses.h"

#include <unordered_map>
#include <utility>

#include "indexapi/CompareFields.h"

void TGroupReader::Add(const TQuopMsg& msg) {
  if (msg.bFirst || FGroups.empty()) FGroups.emplace_back();
  FGroups.back().emplace_back(msg.szEntryID ? msg.szEntryID : "");
}

std::vector<TGroupIDs> TGroupReader::Take() { return std::move(FGroups); }

std::vector<TDroppedFieldMask> NearMissMasks(std::int32_t nSelFields) {
  std::vector<TDroppedFieldMask> out;
  for (const TCompareField& f : CompareFields) {
    if (!(nSelFields & f.nFieldID)) continue;
    const std::int32_t mask = nSelFields & ~f.nFieldID;
    if (mask != 0) out.push_back({f.nFieldID, mask});
  }
  return out;
}

namespace {

// Dropping a field only merges groups, so a group without it is an old one
// exactly when all its members share one current group of the same size.
bool AlreadyAGroup(const TGroupIDs& g, const std::unordered_map<std::string, std::size_t>& groupOf,
                   std::span<const TGroupIDs> current) {
  const auto first = groupOf.find(g.front());
  if (first == groupOf.end() || current[first->second].size() != g.size()) return false;
  for (const std::string& id : g) {
    const auto it = groupOf.find(id);
    if (it == groupOf.end() || it->second != first->second) return false;
  }
  return true;
}

}  // namespace

TNearMisses FindNearMisses(std::span<const TGroupIDs> current, std::span<const TGroupsWithout> without,
                           std::size_t capPerField) {
  std::unordered_map<std::string, std::size_t> groupOf;
  for (std::size_t i = 0; i < current.size(); ++i)
    for (const std::string& id : current[i]) groupOf.emplace(id, i);
  TNearMisses out;
  for (const TGroupsWithout& w : without) {
    std::size_t taken = 0;
    for (const TGroupIDs& g : w.Groups) {
      if (g.size() < 2 || AlreadyAGroup(g, groupOf, current)) continue;
      if (taken == capPerField) {
        ++out.nLeftOut;
        continue;
      }
      out.Groups.push_back({w.nDroppedField, g});
      ++taken;
    }
  }
  return out;
}
