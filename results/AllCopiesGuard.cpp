#include "results/AllCopiesGuard.h"

#include <algorithm>

namespace results {

bool TakesCopiesAway(ETreatment treatment) { return treatment != ETreatment::CopyToFolder; }

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

std::vector<std::size_t> GroupsToTreat(std::size_t groupCount, std::span<const std::size_t> leftAlone) {
  std::vector<std::size_t> treat;
  for (std::size_t g = 0; g < groupCount; ++g)
    if (!std::binary_search(leftAlone.begin(), leftAlone.end(), g)) treat.push_back(g);
  return treat;
}

}  // namespace results
