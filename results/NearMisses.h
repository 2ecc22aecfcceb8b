// Near misses: the groups that would form if exactly one selected field were
// dropped from the mask, each named by the field dropped. The caller asks the
// index once for each field (same collected records, mask without that field)
// and hands the groups over; nothing here searches.
//
// Bounded: at most kNearMissesPerField groups are reported for each field
// (the first ones in the order the index gave them); the count of those left
// out is reported with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"

using TGroupIDs = std::vector<std::string>;  // the entry ids of one group

inline constexpr std::size_t kNearMissesPerField = 200;

// Reads the record stream of a search into groups: a record with bFirst set
// opens a new group. Groups of one are kept as the index gave them.
class TGroupReader {
 public:
  void Add(const TQuopMsg& msg);
  std::vector<TGroupIDs> Take();

 private:
  std::vector<TGroupIDs> FGroups;
};

// The masks to search again: one for each selected field, that field
// dropped. A field whose mask would be empty (the index finds nothing with
// mask 0) is left out.
struct TDroppedFieldMask {
  std::int32_t nDroppedField = 0;
  std::int32_t nMask = 0;
};
std::vector<TDroppedFieldMask> NearMissMasks(std::int32_t nSelFields);

struct TGroupsWithout {
  std::int32_t nDroppedField = 0;
  std::vector<TGroupIDs> Groups;  // the index's groups under the mask without the field
};

struct TNearMiss {
  std::int32_t nDroppedField = 0;
  TGroupIDs Members;
};

struct TNearMisses {
  std::vector<TNearMiss> Groups;  // fields in the order given, groups in the index's order
  std::size_t nLeftOut = 0;       // over the cap, all fields together
};

// A group without the field is a near miss when it is not already one of
// the current groups: it joins messages the current settings keep apart.
TNearMisses FindNearMisses(std::span<const TGroupIDs> current, std::span<const TGroupsWithout> without,
                           std::size_t capPerField = kNearMissesPerField);
