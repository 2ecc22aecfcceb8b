// The size column: bytes, kilobytes, megabytes or gigabytes, switching to
// the next unit at 1000 of the current one.
#pragma once

#include <cstdint>
#include <string>

// "%dB" below 1000; "%dKB" (n / 1024, halves to even) below 1024000;
// "%.1fMB" below 1048576000; "%.1fGB" from there. The decimal separator is
// the one given (the user's locale in the window).
std::string GetSizeStr(std::int32_t n, char decimalSeparator = '.');
