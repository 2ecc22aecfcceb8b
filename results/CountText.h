// Language texts with counts in them ("%d messages read, %d skipped"), portable;
// the window takes them from here.
#pragma once

#include <initializer_list>
#include <string>

// A count with its digits in threes ("9,998" with ','); a zero separator
// leaves them ungrouped.
namespace results {

inline std::string GroupedCount(long value, char thousands) {
  const std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
  std::string text = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (thousands != 0 && i > 0 && (digits.size() - i) % 3 == 0) text += thousands;
    text += digits[i];
  }
  return text;
}

// The pattern with each "%d" in turn replaced by the next value, grouped by
// `thousands`; anything else, a translator's "%s" included, stays as written.
inline std::string FillCounts(const std::string& pattern, std::initializer_list<long> values,
                              char thousands = 0) {
  std::string text;
  auto next = values.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 2, "%d") == 0 && next != values.end()) {
      text += GroupedCount(*next++, thousands);
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace results
