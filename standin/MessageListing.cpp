#include "standin/MessageListing.h"

#include <algorithm>

namespace standin {

void MessageListing::SetRun(std::uint32_t first, std::uint32_t count) {
  FFirst = first;
  FCount = count;
  FDeleted.clear();
}

std::size_t MessageListing::Size() const { return FCount - FDeleted.size() + FRecords.size(); }

MessageRef MessageListing::At(std::size_t i) const {
  const std::size_t generated = FCount - FDeleted.size();
  if (i >= generated) return {false, FRecords.at(i - generated)};
  // The i-th position left: step over the deleted ones up to it until none is newly passed.
  std::uint32_t position = FFirst + static_cast<std::uint32_t>(i);
  for (std::size_t passed = 0;;) {
    const auto upTo = static_cast<std::size_t>(std::upper_bound(FDeleted.begin(), FDeleted.end(), position) - FDeleted.begin());
    if (upTo == passed) return {true, position};
    position += static_cast<std::uint32_t>(upTo - passed);
    passed = upTo;
  }
}

bool MessageListing::HoldsPosition(std::uint32_t position) const {
  return position >= FFirst && position - FFirst < FCount &&
         !std::binary_search(FDeleted.begin(), FDeleted.end(), position);
}

bool MessageListing::Remove(MessageRef message) {
  if (message.generated) {
    if (!HoldsPosition(message.index)) return false;
    FDeleted.insert(std::upper_bound(FDeleted.begin(), FDeleted.end(), message.index), message.index);
    return true;
  }
  auto it = std::find(FRecords.begin(), FRecords.end(), message.index);
  if (it == FRecords.end()) return false;
  FRecords.erase(it);
  return true;
}

}  // namespace standin
