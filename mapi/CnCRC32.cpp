#include "mapi/CnCRC32.h"

#include <array>
#include <cstring>

namespace {

// Made at compile time, so that no caller can run before it exists.
constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    table[i] = r;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

std::uint32_t CRC32Calc(std::uint32_t seed, const void* data, std::size_t length) {
  if (!data || length == 0) return seed;
  const auto* p = static_cast<const unsigned char*>(data);
  std::uint32_t r = seed;
  for (std::size_t i = 0; i < length; ++i) r = (r >> 8) ^ kTable[(r ^ p[i]) & 0xFF];
  return r;
}

std::uint32_t StrCRC32(std::uint32_t seed, const char* text) {
  return text ? CRC32Calc(seed, text, std::strlen(text)) : seed;
}
