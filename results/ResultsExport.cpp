#include "results/ResultsExport.h"

#include <cstdio>

#include "quopdb/MatchRules.h"

namespace results {
namespace {

constexpr std::int64_t kDaysTo1970 = 25569;  // 1899-12-30 .. 1970-01-01

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// Length of the well-formed UTF-8 sequence at s[i], 0 if none.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((b(k) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F) || (c == 0xF0 && b(1) < 0x90) ||
      (c == 0xF4 && b(1) > 0x8F))
    return 0;
  return n;
}

std::string CsvField(std::string_view text) {
  std::string out = "\"";
  for (char c : ValidUtf8(text)) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : ValidUtf8(text)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* KeptText(const TExportRow& r) { return r.treated ? "treated" : r.kept ? "kept" : "removed"; }

}  // namespace

std::string IsoUtc(double received) {
  const std::int64_t secs = quopdb::WholeSecond(received);
  if (secs == 0 || secs == quopdb::kNoWholeSecond) return {};
  const std::int64_t days = (secs >= 0 ? secs : secs - 86399) / 86400;
  const std::int64_t inDay = secs - days * 86400;
  int y;
  unsigned m, d;
  CivilFromDays(days - kDaysTo1970, y, m, d);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02dZ", y, m, d, static_cast<int>(inDay / 3600),
                static_cast<int>(inDay / 60 % 60), static_cast<int>(inDay % 60));
  return buf;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t n = SequenceLength(text, i)) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string ExportCsv(std::span<const TExportRow> rows) {
  std::string out = "\xEF\xBB\xBF";
  const char* header[] = {"Group", "Kept", "Kept because", "Store", "Folder", "Sender name",
                          "Sender address", "Subject", "Received (UTC)", "Size", "Entry ID"};
  for (std::size_t i = 0; i < std::size(header); ++i) out += (i ? "," : "") + CsvField(header[i]);
  out += "\r\n";
  for (const auto& r : rows) {
    const std::string fields[] = {std::to_string(r.group), KeptText(r), r.whyKept, r.store,
                                  r.path, r.senderName, r.senderAddress, r.subject,
                                  IsoUtc(r.received), std::to_string(r.size), r.entryID};
    for (std::size_t i = 0; i < std::size(fields); ++i) out += (i ? "," : "") + CsvField(fields[i]);
    out += "\r\n";
  }
  return out;
}

std::string ExportJson(std::span<const TExportRow> rows) {
  std::string out = "[";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& r = rows[i];
    out += i ? ",\n " : "\n ";
    out += "{\"group\":" + std::to_string(r.group) + ",\"status\":" + JsonString(KeptText(r)) +
           ",\"keptBecause\":" + JsonString(r.whyKept) + ",\"store\":" + JsonString(r.store) +
           ",\"folder\":" + JsonString(r.path) + ",\"senderName\":" + JsonString(r.senderName) +
           ",\"senderAddress\":" + JsonString(r.senderAddress) + ",\"subject\":" + JsonString(r.subject) +
           ",\"received\":" + JsonString(IsoUtc(r.received)) + ",\"size\":" + std::to_string(r.size) +
           ",\"entryId\":" + JsonString(r.entryID) + "}";
  }
  return out + (rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace results
