// A fast 64-bit hash over a byte range, eight bytes at a time. It only spreads
// messages over the index; equal hashes are always confirmed on the texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quopdb {

inline constexpr std::uint64_t kHashK1 = 0x87c37b91114253d5ULL;
inline constexpr std::uint64_t kHashK2 = 0x4cf5ad432745937fULL;

inline std::uint64_t Rotl64(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

inline std::uint64_t Avalanche64(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

inline std::uint64_t MixWord(std::uint64_t h, std::uint64_t w) {
  w *= kHashK1;
  w = Rotl64(w, 31);
  w *= kHashK2;
  h ^= w;
  return Rotl64(h, 27) * 5 + 0x52dce729;
}

inline std::uint64_t HashBytes(const void* data, std::size_t len, std::uint64_t seed) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint64_t h = seed ^ (static_cast<std::uint64_t>(len) * kHashK2);
  while (len >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = MixWord(h, w);
    p += 8;
    len -= 8;
  }
  if (len > 0) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, len);
    h = MixWord(h, w ^ 0x9e3779b97f4a7c15ULL);
  }
  return Avalanche64(h);
}

// Folds one more value into a running hash.
inline std::uint64_t HashCombine(std::uint64_t h, std::uint64_t v) {
  return Avalanche64(MixWord(h, v));
}

}  // namespace quopdb
