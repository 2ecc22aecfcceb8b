#include "results/AllCopiesGuard.h"

#include <algorithm>
#include <iterator>

namespace results {

bool TakesCopiesAway(ETreatment treatment) { return treatment != ETreatment::CopyToFolder; }

bool GuardsDeletedItems(ETreatment treatment) {
  return treatment == ETreatment::DeletePermanently || treatment == ETreatment::MoveToDeletedItems;
}

namespace {

// A group with a checked copy whose unchecked copies are all in Deleted Items.
bool KeptOnlyInDeletedItems(const TGuardedGroup& group) {
  bool anyChecked = false;
  for (const TGuardedCopy& copy : group) {
    if (copy.checked) anyChecked = true;
    else if (!copy.inDeletedItems) return false;
  }
  return anyChecked;
}

}  // namespace

std::vector<std::size_t> GroupsLosingEveryCopy(std::span<const TCheckedGroup> groups,
                                               ETreatment treatment) {
  std::vector<std::size_t> losing;
  if (!TakesCopiesAway(treatment)) return losing;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const auto& rows = groups[g];
    if (!rows.empty() && std::all_of(rows.begin(), rows.end(), [](bool checked) { return checked; }))
      losing.push_back(g);
  }
  return losing;
}

TGuardedGroups GuardedGroups(std::span<const TGuardedGroup> groups, ETreatment treatment) {
  TGuardedGroups guarded;
  std::vector<TCheckedGroup> checked;
  for (const TGuardedGroup& group : groups) {
    TCheckedGroup& states = checked.emplace_back();
    for (const TGuardedCopy& copy : group) states.push_back(copy.checked);
  }
  guarded.everyCopyChecked = GroupsLosingEveryCopy(checked, treatment);
  if (!GuardsDeletedItems(treatment)) return guarded;
  for (std::size_t g = 0; g < groups.size(); ++g)
    if (!std::binary_search(guarded.everyCopyChecked.begin(), guarded.everyCopyChecked.end(), g) &&
        KeptOnlyInDeletedItems(groups[g]))
      guarded.keptOnlyInDeletedItems.push_back(g);
  return guarded;
}

std::vector<std::size_t> TGuardedGroups::All() const {
  std::vector<std::size_t> all;
  std::merge(everyCopyChecked.begin(), everyCopyChecked.end(), keptOnlyInDeletedItems.begin(),
             keptOnlyInDeletedItems.end(), std::back_inserter(all));
  return all;
}

std::vector<std::size_t> GroupsToTreat(std::size_t groupCount, std::span<const std::size_t> leftAlone) {
  std::vector<std::size_t> treat;
  for (std::size_t g = 0; g < groupCount; ++g)
    if (!std::binary_search(leftAlone.begin(), leftAlone.end(), g)) treat.push_back(g);
  return treat;
}

}  // namespace results
