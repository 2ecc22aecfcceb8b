#include "quopdb/BlockCache.h"

#include <algorithm>
#include <cstring>

namespace quopdb {

void TBlockCache::Invalidate() {
  std::vector<TSlot>().swap(slots_);
  where_.clear();
  hand_ = 0;
}

// The clock algorithm: the first slot not used since the hand last passed.
std::size_t TBlockCache::Victim() {
  if (slots_.size() < kSlotCount) {
    slots_.emplace_back();
    return slots_.size() - 1;
  }
  for (;;) {
    TSlot& s = slots_[hand_];
    const std::size_t at = hand_;
    hand_ = (hand_ + 1) % slots_.size();
    if (!s.referenced) return at;
    s.referenced = false;
  }
}

TBlockCache::TSlot* TBlockCache::Fetch(const TStoreFile& file, std::uint64_t fileEnd,
                                       std::uint64_t block, std::size_t need) {
  TSlot* slot = nullptr;
  auto it = where_.find(block);
  if (it != where_.end()) {
    slot = &slots_[it->second];
    if (slot->valid >= need) {
      slot->referenced = true;
      return slot;
    }
  } else {
    const std::size_t at = Victim();
    slot = &slots_[at];
    if (slot->block != UINT64_MAX) where_.erase(slot->block);
    slot->block = UINT64_MAX;
    if (!slot->data) slot->data = std::make_unique<char[]>(kBlockSize);
    where_[block] = at;
    slot->block = block;
  }
  const std::uint64_t start = block * kBlockSize;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, fileEnd - start));
  std::size_t got = 0;
  if (!file.ReadAt(start, slot->data.get(), want, got)) got = 0;
  slot->valid = got;
  slot->referenced = true;
  return got >= need ? slot : nullptr;
}

bool TBlockCache::Read(const TStoreFile& file, std::uint64_t fileEnd, std::uint64_t offset,
                       char* dst, std::size_t len) {
  if (offset > fileEnd || len > fileEnd - offset) return false;
  while (len > 0) {
    const std::uint64_t block = offset / kBlockSize;
    const std::size_t at = static_cast<std::size_t>(offset % kBlockSize);
    const std::size_t n = std::min(len, kBlockSize - at);
    const TSlot* slot = Fetch(file, fileEnd, block, at + n);
    if (!slot) return false;
    std::memcpy(dst, slot->data.get() + at, n);
    dst += n;
    offset += n;
    len -= n;
  }
  return true;
}

}  // namespace quopdb
