// The groups written out for a spreadsheet or a program: CSV (UTF-8 with a
// BOM, every field quoted) and JSON. One row a copy.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace results {

struct TExportRow {
  int group = 0;              // 1-based group number
  bool kept = false;          // false: removed (checked for the treatment)
  std::string whyKept;        // the deciding rule's text on the kept row
  std::string store;
  std::string path;           // folder path below the store root
  std::string senderName;
  std::string senderAddress;
  std::string subject;
  double received = 0;        // day count since 1899-12-30, UTC; 0 unset
  std::uint64_t size = 0;
  std::string entryID;        // uppercase hex
  bool treated = false;       // already deleted, moved or copied: "treated" in place of kept/removed
};

// "2024-03-05T14:07:09Z" to the whole second; empty for an unset or
// unreadable time.
std::string IsoUtc(double received);

// The text as valid UTF-8: each byte that does not start a well-formed
// sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

std::string ExportCsv(std::span<const TExportRow> rows);
std::string ExportJson(std::span<const TExportRow> rows);

}  // namespace results
