// CRC-32 of the reflected polynomial 0xEDB88320, with the seed as the initial
// register and no final inversion (so it is not the common zip CRC-32).
#pragma once

#include <cstddef>
#include <cstdint>

// Builds the 256-entry table; done once when the module starts, safe to call again.
void Make_CRC32Table();
std::uint32_t CRC32Calc(std::uint32_t seed, const void* data, std::size_t length);
// Over the bytes of a NUL-terminated text; a null text leaves the seed.
std::uint32_t StrCRC32(std::uint32_t seed, const char* text);
