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

// At most `width` characters of UTF-8 text, cut between characters.
std::string Cut(const std::string& s, std::size_t width) {
  std::size_t chars = 0, at = 0, cutAt = 0;
  for (; at < s.size(); ++at) {
    if ((static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) continue;  // a continuation byte
    if (chars == width - 1) cutAt = at;
    if (++chars > width) return s.substr(0, cutAt) + "~";
  }
  return s;
}

// printf pads by bytes; pad by characters so UTF-8 columns line up.
std::string Pad(const std::string& s, std::size_t width) {
  std::size_t chars = 0;
  for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
  return chars >= width ? s : s + std::string(width - chars, ' ');
}

}  // namespace

TScanRecord ScanRecordOf(const TQuopMsg& m) {
  return TScanRecord{m.bFirst != 0,        Str(m.szEntryID), Str(m.szSenderName),
                     Str(m.szSenderEmail), Str(m.szSubject), Str(m.szFolder),
                     m.dtRecivedTime,      m.nMsgSize,
                     m.bRead != 0,         false,
                     m.szAttached && *m.szAttached, {}, {}, {}};
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
      std::fprintf(out, "  %-5s %-19s %s %s %s %8d\n", m.keep ? "keep" : "dup",
                   DateTimeText(m.received).c_str(), Pad(Cut(m.folder, 18), 18).c_str(),
                   Pad(Cut(m.senderName, 24), 24).c_str(), Pad(Cut(m.subject, 40), 40).c_str(), m.size);
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
                   "\"senderEmail\": %s, \"subject\": %s, \"received\": %s, \"size\": %d, "
                   "\"keptBecause\": %s}",
                   k ? "," : "", m.keep ? "true" : "false", JsonText(m.entryID).c_str(),
                   JsonText(m.folder).c_str(), JsonText(m.senderName).c_str(),
                   JsonText(m.senderEmail).c_str(), JsonText(m.subject).c_str(),
                   JsonText(DateTimeText(m.received)).c_str(), m.size, JsonText(m.keptBecause).c_str());
    }
    std::fprintf(out, "\n  ]");
  }
  std::fprintf(out, "\n], \"folders\": [");
  for (std::size_t i = 0; i < r.folders.size(); ++i) {
    const TScanFolder& f = r.folders[i];
    std::fprintf(out, "%s\n  {\"store\": %s, \"name\": %s, \"messages\": %d}", i ? "," : "",
                 JsonText(f.store).c_str(), JsonText(f.name).c_str(), f.messages);
  }
  std::fprintf(out, "\n], \"skipped\": [");
  for (std::size_t i = 0; i < r.skipped.size(); ++i) {
    const TScanSkip& k = r.skipped[i];
    std::fprintf(out, "%s\n  {\"kind\": %s, \"name\": %s, \"reason\": %s, \"error\": %s}", i ? "," : "",
                 JsonText(k.kind).c_str(), JsonText(k.name).c_str(), JsonText(k.reason).c_str(),
                 JsonText(k.error).c_str());
  }
  std::fprintf(out, "\n]}\n");
}

void CountFolder(std::vector<TScanFolder>& folders, const TQuopMsg& msg) {
  // An entry identifier's text: 4 flag bytes, then the store's 16-byte UID.
  const std::string id = Str(msg.szEntryID);
  const std::string store = id.size() >= 40 ? id.substr(8, 32) : std::string();
  const std::string name = Str(msg.szFolder);
  for (TScanFolder& f : folders) {
    if (f.store == store && f.name == name) {
      ++f.messages;
      return;
    }
  }
  folders.push_back({store, name, 1});
}

void PrintTally(std::FILE* out, const TScanResult& r) {
  std::fprintf(out, "%d messages read, %zu skipped\n", r.messages, r.skipped.size());
  for (const TScanSkip& k : r.skipped)
    std::fprintf(out, "  skipped %s \"%s\": %s (%s)\n", k.kind.c_str(), k.name.c_str(), k.reason.c_str(),
                 k.error.c_str());
}

void ApplyKeepChain(TScanResult& r, const results::TKeepChain& chain) {
  const char* byDefault = results::KeepRuleText(results::EKeepRule::ReceivedFirst).english;
  for (auto& group : r.groups) {
    if (chain.empty()) {
      for (auto& m : group) m.keptBecause = m.keep ? byDefault : "";
      continue;
    }
    std::vector<results::TKeepCandidate> candidates;
    for (const auto& m : group)
      candidates.push_back({m.received, static_cast<std::uint64_t>(m.size < 0 ? 0 : m.size), m.attachments,
                            m.read, m.flagged, m.store, m.path});
    const auto choice = results::ChooseKeep(candidates, chain);
    for (std::size_t k = 0; k < group.size(); ++k) {
      group[k].keep = k == choice.index;
      group[k].keptBecause = group[k].keep ? results::KeepRuleText(choice.decidedBy).english : "";
    }
  }
}

void PrintKeepSummary(std::FILE* out, const TScanResult& r) {
  std::size_t kept = 0, changed = 0;
  for (const auto& group : r.groups) {
    for (const auto& m : group) kept += m.keep;
    changed += !group.empty() && !group.front().keep;
  }
  std::fprintf(out, "keep rules: %zu copies kept in %zu groups, %zu groups changed\n", kept, r.groups.size(),
               changed);
}

std::vector<results::TExportRow> ExportRowsOf(const TScanResult& r) {
  std::vector<results::TExportRow> rows;
  for (std::size_t g = 0; g < r.groups.size(); ++g)
    for (const auto& m : r.groups[g])
      rows.push_back({static_cast<int>(g + 1), m.keep, m.keptBecause, m.store,
                      m.path.empty() ? m.folder : m.path, m.senderName, m.senderEmail, m.subject,
                      m.received, static_cast<std::uint64_t>(m.size < 0 ? 0 : m.size), m.entryID});
  return rows;
}
