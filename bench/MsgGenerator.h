// Synthetic mailboxes for measuring the duplicate index: message i is a pure
// function of (seed, i), so nothing needs to be kept in memory. A share of the
// messages are copies of an earlier message of the same folder (a repeated
// import): every field equal but the entry identifier.
#pragma once

#include <cstdint>
#include <string>

#include "indexapi/QuopRecords.h"

namespace bench {

struct TGenOptions {
  std::uint64_t messages = 1000000;
  double duplicates = 0.2;             // share of messages that copy an earlier one
  std::uint64_t folderSize = 50000;    // messages per folder, added folder by folder
  std::uint64_t seed = 1;
};

class TMsgGenerator {
 public:
  explicit TMsgGenerator(const TGenOptions& options) : o_(options) {}

  // Fills `msg` with message i; its texts live in this generator until the next call.
  void Make(std::uint64_t i, TQuopMsg& msg);
  // Whether message i copies an earlier message.
  bool IsCopy(std::uint64_t i) const;

 private:
  std::uint64_t Original(std::uint64_t i) const;
  void Words(std::uint64_t& rng, std::size_t minLen, std::size_t maxLen, std::string& out);

  TGenOptions o_;
  std::string entryID_, senderName_, senderEmail_, subject_, attached_, to_, cc_, folder_;
};

}  // namespace bench
