#include "results/AllCopiesGuard.h"

#include <gtest/gtest.h>

using namespace results;

TEST(AllCopiesGuard, ListsGroupsWithEveryCopyCheckedPerTreatment) {
  const std::vector<TCheckedGroup> groups = {
      {false, true, true},  // one kept: safe
      {true, true},         // every copy checked
      {false, false},       // nothing checked
      {},                   // empty group has no copy to lose
      {true, true, true},   // every copy checked
  };
  const struct {
    ETreatment treatment;
    std::vector<std::size_t> losing;
  } cases[] = {
      {ETreatment::DeletePermanently, {1, 4}},
      {ETreatment::MoveToDeletedItems, {1, 4}},
      {ETreatment::MoveToFolder, {1, 4}},
      {ETreatment::CopyToFolder, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GroupsLosingEveryCopy(groups, c.treatment), c.losing) << static_cast<int>(c.treatment);
}

TEST(AllCopiesGuard, LeftAloneGroupsDropOutOfThePlan) {
  const std::vector<TCheckedGroup> groups = {{true, true}, {false, true}, {true, true}, {false, true}};
  const auto losing = GroupsLosingEveryCopy(groups, ETreatment::MoveToDeletedItems);
  EXPECT_EQ(GroupsToTreat(groups.size(), losing), (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(GroupsToTreat(3, {}), (std::vector<std::size_t>{0, 1, 2}));
}

// A group whose only unchecked copies are in Deleted Items loses them as
// soon as that folder is emptied: listed on its own for a permanent delete
// and a move to Deleted Items, never for a move elsewhere or a copy.
TEST(AllCopiesGuard, ListsGroupsKeptOnlyInDeletedItems) {
  const TGuardedCopy kChecked{true, false}, kCheckedInDeleted{true, true};
  const TGuardedCopy kKept{false, false}, kKeptInDeleted{false, true};
  const std::vector<TGuardedGroup> groups = {
      {kChecked, kKept},                          // kept outside Deleted Items: safe
      {kChecked, kKeptInDeleted},                 // kept only in Deleted Items
      {kChecked, kCheckedInDeleted},              // every copy checked
      {kKeptInDeleted, kKeptInDeleted},           // nothing checked: nothing to lose
      {kChecked, kKeptInDeleted, kKept},          // one kept outside: safe
      {kCheckedInDeleted, kKeptInDeleted},        // kept only in Deleted Items
      {},                                         // no copy
      {kChecked, kKeptInDeleted, kKeptInDeleted}, // kept only in Deleted Items
  };
  const struct {
    ETreatment treatment;
    std::vector<std::size_t> everyCopyChecked, keptOnlyInDeletedItems, all;
  } cases[] = {
      {ETreatment::DeletePermanently, {2}, {1, 5, 7}, {1, 2, 5, 7}},
      {ETreatment::MoveToDeletedItems, {2}, {1, 5, 7}, {1, 2, 5, 7}},
      {ETreatment::MoveToFolder, {2}, {}, {2}},
      {ETreatment::CopyToFolder, {}, {}, {}},
  };
  std::vector<TCheckedGroup> checkedOnly;
  for (const TGuardedGroup& group : groups) {
    TCheckedGroup& checked = checkedOnly.emplace_back();
    for (const TGuardedCopy& copy : group) checked.push_back(copy.checked);
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.treatment));
    const TGuardedGroups guarded = GuardedGroups(groups, c.treatment);
    EXPECT_EQ(guarded.everyCopyChecked, c.everyCopyChecked);
    EXPECT_EQ(guarded.keptOnlyInDeletedItems, c.keptOnlyInDeletedItems);
    EXPECT_EQ(guarded.All(), c.all);
    // The checked states alone give the first list as before.
    EXPECT_EQ(GroupsLosingEveryCopy(checkedOnly, c.treatment), c.everyCopyChecked);
  }
}
