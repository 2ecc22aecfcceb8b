#include "tools/profilegen/GenSupport.h"

#include <cctype>
#include <cstdio>

std::string Hex(std::uint64_t value, int bytes) {
  std::string text;
  char two[3];
  for (int i = bytes - 1; i >= 0; --i) {
    std::snprintf(two, sizeof two, "%02X", static_cast<unsigned>((value >> (i * 8)) & 0xFF));
    text += two;
  }
  return text;
}

std::string Email(const std::string& person) {
  std::string e;
  for (char c : person) e += c == ' ' ? '.' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e + "@example.org";
}

std::string Time(Random& rnd) {
  char text[32];
  std::snprintf(text, sizeof text, "2024-%02u-%02uT%02u:%02u:%02uZ", 1 + rnd.Below(12), 1 + rnd.Below(28),
                rnd.Below(24), rnd.Below(60), rnd.Below(60));
  return text;
}

std::int64_t Ticks(const std::string& time) {
  int y, mo, d, h, mi, s;
  if (std::sscanf(time.c_str(), "%d-%d-%dT%d:%d:%dZ", &y, &mo, &d, &h, &mi, &s) != 6) return 0;
  // Days from the civil date (proleptic Gregorian), counted from 1601-01-01.
  y -= mo <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + doe - 719468 + 134774;
  return ((days * 86400) + h * 3600 + mi * 60 + s) * 10000000LL;
}
