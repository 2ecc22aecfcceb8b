#include "mapi/MapiTime.h"

TDateTime FileDateTimeToDateTime(std::uint32_t dwLowDateTime, std::uint32_t dwHighDateTime) {
  // In extended precision throughout, rounded once to a double:
  // high * 2^32 / 864e9 is high * 65536 / 13,183,593.75.
  const long double high = static_cast<long double>(dwHighDateTime) * 256.0L * 256.0L /
                               13183593.75L - 109205.0L;
  const long double low = static_cast<long double>(dwLowDateTime) / 24.0L / 60.0L / 60.0L /
                          1000.0L / 10000.0L;
  return static_cast<TDateTime>(high + low);
}
