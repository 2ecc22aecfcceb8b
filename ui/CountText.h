// Language texts with counts in them ("%d messages read, %d skipped").
#pragma once

#include <initializer_list>
#include <string>

// The pattern with each "%d" in turn replaced by the next value; anything
// else, a translator's "%s" included, stays as written.
inline std::string FillCounts(const std::string& pattern, std::initializer_list<long> values) {
  std::string text;
  auto next = values.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 2, "%d") == 0 && next != values.end()) {
      text += std::to_string(*next++);
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}
