// The messages of a folder in their order: first the generated positions of
// its run, those deleted left out, then its stored messages as they came.
// A copy of a listing is what a contents table shows from then on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standin/ModelMemory.h"

namespace standin {

// Where a message is kept: a stored record, or a generated store's position.
struct MessageRef {
  bool generated = false;
  std::uint32_t index = 0;
  friend bool operator==(const MessageRef&, const MessageRef&) = default;
};

class MessageListing {
 public:
  void SetRun(std::uint32_t first, std::uint32_t count);
  std::size_t Size() const;
  MessageRef At(std::size_t i) const;
  // Whether the run holds this position and it was not deleted.
  bool HoldsPosition(std::uint32_t position) const;
  void AddRecord(std::uint32_t record) { FRecords.push_back(record); }
  // False when the listing does not hold it.
  bool Remove(MessageRef message);

 private:
  std::uint32_t FFirst = 0, FCount = 0;
  std::vector<std::uint32_t> FDeleted;  // sorted positions of the run, deleted
  ModelVector<std::uint32_t> FRecords;
};

}  // namespace standin
