#include "ui/SizeText.h"

#include <cstdio>

namespace {

constexpr std::int32_t KB = 1024;
constexpr std::int32_t MB = 1024 * 1024;
constexpr std::int32_t GB = 1024 * 1024 * 1024;

// n / 1024 to the nearest whole number, a half going to the even neighbour.
// Done in integers so that no floating-point rounding mode is involved.
std::int32_t KilobytesHalfEven(std::int32_t n) {
  std::int32_t whole = n / KB;
  const std::int32_t rest = n % KB;
  if (rest > KB / 2 || (rest == KB / 2 && whole % 2 != 0)) ++whole;
  return whole;
}

}  // namespace

std::string GetSizeStr(std::int32_t n, char decimalSeparator) {
  char text[32];
  if (n < 1000)
    std::snprintf(text, sizeof text, "%dB", static_cast<int>(n));
  else if (n < 1000 * KB)
    std::snprintf(text, sizeof text, "%dKB", static_cast<int>(KilobytesHalfEven(n)));
  else if (n < 1000 * MB)
    std::snprintf(text, sizeof text, "%.1fMB", static_cast<double>(n) / MB);
  else
    std::snprintf(text, sizeof text, "%.1fGB", static_cast<double>(n) / GB);
  std::string result = text;
  for (char& c : result)
    if (c == '.') c = decimalSeparator;
  return result;
}
