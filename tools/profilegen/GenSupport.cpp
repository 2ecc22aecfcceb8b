#include "tools/profilegen/GenSupport.h"

#include <cctype>
#include <cstdio>

std::string Hex(std::uint64_t value, int bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(bytes) * 2, '0');
  for (int i = 0; i < bytes; ++i) {
    const unsigned byte = static_cast<unsigned>((value >> ((bytes - 1 - i) * 8)) & 0xFF);
    text[2 * i] = kDigits[byte >> 4];
    text[2 * i + 1] = kDigits[byte & 15];
  }
  return text;
}

// Lowers A-Z alone, as tolower does in the C locale, without a library call
// a character (a generated store makes an address a table row).
std::string Email(const std::string& person) {
  std::string e;
  e.reserve(person.size() + 12);
  for (char c : person) e += c == ' ' ? '.' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return e.append("@example.org");
}

std::string Time(Random& rnd) {
  // "2024-MM-DDTHH:MM:SSZ", drawn from the seconds back to the month (the
  // order every profile made so far has them in).
  std::uint32_t fields[5];
  fields[4] = rnd.Below(60);
  fields[3] = rnd.Below(60);
  fields[2] = rnd.Below(24);
  fields[1] = 1 + rnd.Below(28);
  fields[0] = 1 + rnd.Below(12);
  std::string text = "2024-00-00T00:00:00Z";
  for (int i = 0; i < 5; ++i) {
    text[5 + 3 * i] = static_cast<char>('0' + fields[i] / 10);
    text[6 + 3 * i] = static_cast<char>('0' + fields[i] % 10);
  }
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
