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
