// The texts and binary values of a profile, each distinct one kept once:
// a sender's name, a folder's class, a body that several copies share.
#pragma once

#include <cstdint>
#include <string_view>

#include "standin/ModelMemory.h"

namespace standin {

using TextId = std::uint32_t;

class TextPool {
 public:
  TextPool() = default;
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;
  ~TextPool();

  // The one copy of an equal text, kept from the first time it came.
  TextId Intern(std::string_view text);
  // A copy kept without looking for an equal one, for values that are
  // different anyway (entry identifiers).
  TextId Keep(std::string_view text);
  std::string_view View(TextId id) const;

 private:
  const char* Copy(std::string_view text);
  void Rehash(std::size_t slots);

  // Each text as a 4-byte length followed by its bytes, in blocks that
  // never move; a large text has a block of its own.
  ModelVector<char*> FBlocks;
  ModelVector<std::size_t> FBlockSizes;
  char* FFree = nullptr;
  std::size_t FFreeBytes = 0;
  BlockArray<const char*, 16384> FTexts;  // by id
  // Open addressing over the interned texts: id + 1, 0 for an empty slot.
  ModelVector<TextId> FSlots;
  std::size_t FInterned = 0;
};

}  // namespace standin
