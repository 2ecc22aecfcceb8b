// CRC-32 of the reflected polynomial 0xEDB88320, with the seed as the initial
// register and no final inversion (so it is not the common zip CRC-32).
#pragma once

#include <cstddef>
#include <cstdint>

std::uint32_t CRC32Calc(std::uint32_t seed, const void* data, std::size_t length);
// Over the bytes of a NUL-terminated text; a null text leaves the seed.
std::uint32_t StrCRC32(std::uint32_t seed, const char* text);
