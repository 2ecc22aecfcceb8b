#include "tools/quopscan/ScanReport.h"

#include <cmath>

#include "support/DateTime.h"

namespace {

std::string Str(const char* s) { return s ? s : ""; }

std::string JsonText(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Cut(const std::string& s, std::size_t width) {
  return s.size() <= width ? s : s.substr(0, width - 1) + "~";
}

}  // namespace

TScanRecord ScanRecordOf(const TQuopMsg& m) {
  return TScanRecord{m.bFirst != 0,        Str(m.szEntryID), Str(m.szSenderName),
                     Str(m.szSenderEmail), Str(m.szSubject), Str(m.szFolder),
                     m.dtRecivedTime,      m.nMsgSize};
}

std::string DateTimeText(double dt) {
  if (dt == 0 || !std::isfinite(dt)) return "";
  const double day = std::floor(dt);
  TCalendarDate d;
  try {
    d = DecodeDate(day);
  } catch (...) {
    return "";
  }
  long seconds = std::lround((dt - day) * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", d.nYear, d.nMonth, d.nDay,
                seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buf;
}

void PrintTable(std::FILE* out, const TScanResult& r) {
  std::size_t surplus = 0;
  for (const auto& g : r.groups) surplus += g.size() - 1;
  std::fprintf(out, "%d messages, %zu groups of duplicates, %zu surplus copies\n", r.messages,
               r.groups.size(), surplus);
  for (std::size_t i = 0; i < r.groups.size(); ++i) {
    std::fprintf(out, "\nGroup %zu\n", i + 1);
    for (const TScanRecord& m : r.groups[i])
      std::fprintf(out, "  %-5s %-19s %-18s %-24s %-40s %8d\n", m.keep ? "keep" : "dup",
                   DateTimeText(m.received).c_str(), Cut(m.folder, 18).c_str(),
                   Cut(m.senderName, 24).c_str(), Cut(m.subject, 40).c_str(), m.size);
  }
}

void PrintJson(std::FILE* out, const TScanResult& r) {
  std::fprintf(out, "{\"messages\": %d, \"groups\": [", r.messages);
  for (std::size_t i = 0; i < r.groups.size(); ++i) {
    std::fprintf(out, "%s\n  [", i ? "," : "");
    for (std::size_t k = 0; k < r.groups[i].size(); ++k) {
      const TScanRecord& m = r.groups[i][k];
      std::fprintf(out,
                   "%s\n    {\"keep\": %s, \"entryID\": %s, \"folder\": %s, \"senderName\": %s, "
                   "\"senderEmail\": %s, \"subject\": %s, \"received\": %s, \"size\": %d}",
                   k ? "," : "", m.keep ? "true" : "false", JsonText(m.entryID).c_str(),
                   JsonText(m.folder).c_str(), JsonText(m.senderName).c_str(),
                   JsonText(m.senderEmail).c_str(), JsonText(m.subject).c_str(),
                   JsonText(DateTimeText(m.received)).c_str(), m.size);
    }
    std::fprintf(out, "\n  ]");
  }
  std::fprintf(out, "\n]}\n");
}
