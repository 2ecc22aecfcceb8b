// Command line of the console scan.
#pragma once

#include <cstdint>
#include <string>

#include "results/KeepRules.h"

struct TScanOptions {
  std::int32_t mask = 0x00D;
  bool across = false;
  bool json = false;
  bool noCache = false;  // neither read nor write the body cache beside the index
  std::string profile;  // a stand-in profile (sets QUOP_STANDIN_PROFILE)
  std::string store;    // the index file; a temporary one when empty
  results::TKeepChain keep;  // empty: the index's own proposal (received first)
  std::string csv;      // write the groups as CSV to this file
};

// Parses argv; false with a message in `error` on bad input.
bool ParseScanOptions(int argc, char** argv, TScanOptions& options, std::string& error);
extern const char kScanUsage[];
