// The guard against a treatment that removes or moves away every copy of a
// group: such groups are listed for the user to confirm, and left out of the
// plan unless confirmed. Nothing here changes a row's checked state.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace results {

enum class ETreatment {
  DeletePermanently,
  MoveToDeletedItems,
  MoveToFolder,
  CopyToFolder,  // leaves every source in place, so never guarded
};

// Whether the treatment takes a checked copy away from its folder.
bool TakesCopiesAway(ETreatment treatment);
// Whether the treatment leaves the copies it takes nowhere but in Deleted
// Items, if anywhere: a group kept only there is then guarded too.
bool GuardsDeletedItems(ETreatment treatment);

// A group as the guard sees it: the checked state of each row.
using TCheckedGroup = std::vector<bool>;

// The indices of the groups, in order, whose every copy is checked and
// would be taken away by the treatment.
std::vector<std::size_t> GroupsLosingEveryCopy(std::span<const TCheckedGroup> groups,
                                               ETreatment treatment);

// A copy as the guard sees it when Deleted Items matters: whether it is
// checked, and whether it is in its store's Deleted Items (or not known to
// be elsewhere), a folder that is emptied routinely.
struct TGuardedCopy {
  bool checked = false;
  bool inDeletedItems = false;
};
using TGuardedGroup = std::vector<TGuardedCopy>;

// The groups the guard lists, each list in order: those whose every copy is
// checked, and those with a checked copy whose unchecked copies are all in
// Deleted Items, which a permanent delete or a move to Deleted Items would
// leave only there.
struct TGuardedGroups {
  std::vector<std::size_t> everyCopyChecked;
  std::vector<std::size_t> keptOnlyInDeletedItems;
  // Both lists as one, in order.
  std::vector<std::size_t> All() const;
};
TGuardedGroups GuardedGroups(std::span<const TGuardedGroup> groups, ETreatment treatment);

// The groups a plan treats when the guarded ones are left alone: every index
// below groupCount not in `leftAlone` (sorted, as GroupsLosingEveryCopy gives it).
std::vector<std::size_t> GroupsToTreat(std::size_t groupCount, std::span<const std::size_t> leftAlone);

}  // namespace results
