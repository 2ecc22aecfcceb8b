// An RFC 4180 reader for the tests that read the export back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using TTable = std::vector<std::vector<std::string>>;

// RFC 4180 reader: quoted fields with doubled quotes, CR LF between records.
// Fails the test on anything the writer must never produce.
inline TTable ReadCsv(std::string_view text) {
  TTable table;
  std::size_t i = 0;
  std::vector<std::string> record;
  while (i < text.size()) {
    std::string field;
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) {
          ADD_FAILURE() << "unclosed quote";
          return table;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += text[i];
        }
      }
    } else {
      while (i < text.size() && text[i] != ',' && text[i] != '\r') field += text[i++];
    }
    record.push_back(field);
    if (i < text.size() && text[i] == ',') {
      ++i;
    } else if (text.compare(i, 2, "\r\n") == 0) {
      i += 2;
      table.push_back(std::move(record));
      record.clear();
    } else {
      ADD_FAILURE() << "unexpected byte after field at " << i;
      return table;
    }
  }
  EXPECT_TRUE(record.empty()) << "last record without CR LF";
  return table;
}

