// The near misses of the last search, asked of the duplicate index itself:
// the records already collected are grouped again with the search's own
// settings, then once for each selected field with that field dropped. The
// records of the near-miss groups are copied out so that they can be shown
// and compared after the index has moved on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "index/uDB.h"
#include "results/FieldCompare.h"
#include "results/NearMisses.h"
#include "ui/uLoadEmails.h"

struct TNearMissFound {
  TNearMisses misses;
  TCompareSettings settings;                               // of the search the near misses are measured against
  std::unordered_map<std::string, TOwnedQuopMsg> records;  // every member, by entry id
};

// Called before each regroup with the field about to be dropped (0 for the
// search's own groups), its position and the number of regroups.
using TNearMissProgress = std::function<void(std::int32_t droppedField, int step, int steps)>;

// `base` is the record of the last search; the index has it again afterwards.
TNearMissFound SearchNearMisses(TQuopDB& db, const TMsgSet& base, const TNearMissProgress& progress = nullptr);
