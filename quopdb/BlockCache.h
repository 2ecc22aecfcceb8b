// A cache of fixed-size blocks of the store file for the scattered reads of a
// search. Duplicates mostly lie near one another (a folder imported twice), so
// a few megabytes of blocks save most of the calls into the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "quopdb/StoreFile.h"

namespace quopdb {

class TBlockCache {
 public:
  static constexpr std::size_t kBlockSize = 32 * 1024;
  static constexpr std::size_t kSlotCount = 1024;  // 32 MB at most, taken as used

  // Copies bytes [offset, offset + len) of the file, which is `fileEnd` bytes
  // long; false when they cannot all be read.
  bool Read(const TStoreFile& file, std::uint64_t fileEnd, std::uint64_t offset, char* dst,
            std::size_t len);
  // Forgets every block and frees them (the file was cut, rewritten or closed).
  void Invalidate();

 private:
  struct TSlot {
    std::uint64_t block = UINT64_MAX;
    std::size_t valid = 0;  // bytes read; the last block of a growing file fills up later
    bool referenced = false;
    std::unique_ptr<char[]> data;
  };
  TSlot* Fetch(const TStoreFile& file, std::uint64_t fileEnd, std::uint64_t block,
               std::size_t need);
  std::size_t Victim();

  std::vector<TSlot> slots_;
  std::unordered_map<std::uint64_t, std::size_t> where_;  // block -> slot
  std::size_t hand_ = 0;
};

}  // namespace quopdb
