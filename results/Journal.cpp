#include "results/Journal.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace {

constexpr std::array<std::string_view, 4> kCommandNames{"delete", "soft-delete", "move", "copy"};

std::string Escape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char n = s[++i];
    out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
  }
  return out;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  std::istringstream in{std::string(text)};
  for (std::string item; in >> item;) items.push_back(item);
  return items;
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : " ") + item;
  return text;
}

bool ParseInt(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  out = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

// Whether the file is empty, missing, or ends with a line break.
bool EndsWithLineBreak(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in || in.tellg() <= 0) return true;
  in.seekg(-1, std::ios::end);
  char last = '\n';
  return !in.get(last) || last == '\n';
}

// Builds the runs from the lines, one line at a time; false: malformed.
class TJournalParser {
 public:
  explicit TJournalParser(TJournalContents& out) : out_(out) {}

  bool Line(const std::vector<std::string>& f) {
    if (f.empty() || f[0].size() != 1) return false;
    switch (f[0][0]) {
      case 'R': return Header(f);
      case 'P': return Planned(f);
      case 'A': return After(f);
      case 'D': return Done(f);
      case 'E': return Mark(f, &TJournalRun::ended);
      case 'U': return Mark(f, &TJournalRun::undone);
      default: return false;
    }
  }

 private:
  bool Header(const std::vector<std::string>& f) {
    if (f.size() != 5 || f[1].empty() || runs_.count(f[1])) return false;
    const auto command = JournalCommandFromName(f[3]);
    if (!command) return false;
    TJournalRun run;
    run.runID = f[1];
    run.time = f[2];
    run.command = *command;
    run.targetFolderEntryID = f[4];
    runs_[run.runID] = out_.runs.size();
    out_.runs.push_back(std::move(run));
    return true;
  }

  TJournalRun* Run(const std::string& id) {
    const auto it = runs_.find(id);
    return it == runs_.end() ? nullptr : &out_.runs[it->second];
  }

  TJournalBatch* Batch(const std::vector<std::string>& f, bool create) {
    TJournalRun* run = Run(f[1]);
    int number = 0;
    if (!run || !ParseInt(f[2], number)) return nullptr;
    if (!run->batches.empty() && run->batches.back().number == number) return &run->batches.back();
    if (!create) {
      // New ids may come for any batch of the run, after later batches.
      const auto it = std::find_if(run->batches.rbegin(), run->batches.rend(),
                                   [&](const TJournalBatch& b) { return b.number == number; });
      return it == run->batches.rend() ? nullptr : &*it;
    }
    run->batches.push_back(TJournalBatch{number, false, {}});
    return &run->batches.back();
  }

  bool Planned(const std::vector<std::string>& f) {
    if (f.size() < 9 || f.size() > 11) return false;
    const auto command = JournalCommandFromName(f[4]);
    TJournalBatch* batch = command ? Batch(f, true) : nullptr;
    if (!batch || batch->done) return false;
    batch->entries.push_back(TJournalEntry{f[3], *command, f[5], f[6], f[7], f[8], {}, f.size() > 9 ? f[9] : "",
                                           f.size() > 10 ? SplitList(f[10]) : std::vector<std::string>{}});
    return true;
  }

  bool After(const std::vector<std::string>& f) {
    TJournalBatch* batch = f.size() == 5 ? Batch(f, false) : nullptr;
    if (!batch) return false;
    for (TJournalEntry& e : batch->entries) {
      if (e.entryIDBefore == f[3]) {
        e.entryIDAfter = f[4];
        return true;
      }
    }
    return false;
  }

  bool Done(const std::vector<std::string>& f) {
    TJournalBatch* batch = f.size() == 4 ? Batch(f, false) : nullptr;
    if (!batch) return false;
    batch->done = true;
    return true;
  }

  bool Mark(const std::vector<std::string>& f, bool TJournalRun::*flag) {
    TJournalRun* run = f.size() == 3 ? Run(f[1]) : nullptr;
    if (!run) return false;
    run->*flag = true;
    return true;
  }

  TJournalContents& out_;
  std::map<std::string, std::size_t, std::less<>> runs_;
};

}  // namespace

std::string_view JournalCommandName(TJournalCommand c) {
  return kCommandNames[static_cast<std::size_t>(c)];
}

std::optional<TJournalCommand> JournalCommandFromName(std::string_view name) {
  for (std::size_t i = 0; i < kCommandNames.size(); ++i) {
    if (kCommandNames[i] == name) return static_cast<TJournalCommand>(i);
  }
  return std::nullopt;
}

bool TJournalRun::Finished() const {
  if (!ended) return false;
  for (const TJournalBatch& b : batches) {
    if (!b.done) return false;
  }
  return true;
}

bool TJournalRun::Undoable() const {
  return command == TJournalCommand::SoftDelete || command == TJournalCommand::Move;
}

std::string JournalTimeNow() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day ymd{day};
  const hh_mm_ss<seconds> hms{now - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return text;
}

TJournalWriter::TJournalWriter(std::filesystem::path folder) : file_(FileIn(folder)) {}

std::filesystem::path TJournalWriter::FileIn(const std::filesystem::path& folder) {
  return folder / "treatments.journal";
}

bool TJournalWriter::Append(const std::vector<std::vector<std::string>>& lines) {
  std::string text;
  for (const auto& fields : lines) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) text += '\t';
      text += Escape(fields[i]);
    }
    text += '\n';
  }
  // A line cut off by a crash is ended first, or this write would run on
  // from it and be skipped with it.
  if (!EndsWithLineBreak(file_)) text.insert(text.begin(), '\n');
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) {
    error_ = "cannot write the journal file " + std::string(reinterpret_cast<const char*>(file_.u8string().c_str()));
    return false;
  }
  return true;
}

std::string TJournalWriter::StartRun(TJournalCommand command, std::string_view targetFolderEntryID) {
  const std::string time = JournalTimeNow();
  // Time plus the count of runs already there: unique within the file.
  std::string id = time + "#" + std::to_string(ReadJournal(file_.parent_path()).runs.size() + 1);
  if (!Append({{"R", id, time, std::string(JournalCommandName(command)), std::string(targetFolderEntryID)}}))
    return {};
  run_ = std::move(id);
  nextBatch_ = 0;
  written_.clear();
  return run_;
}

int TJournalWriter::WriteBatch(const std::vector<TJournalEntry>& planned) {
  if (run_.empty()) {
    error_ = "no journal run started";
    return -1;
  }
  const int batch = ++nextBatch_;
  const std::string number = std::to_string(batch);
  std::vector<std::vector<std::string>> lines;
  lines.reserve(planned.size());
  for (const TJournalEntry& e : planned) {
    lines.push_back({"P", run_, number, e.time.empty() ? JournalTimeNow() : e.time,
                     std::string(JournalCommandName(e.command)), e.storeEntryID, e.storeName,
                     e.sourceFolderEntryID, e.entryIDBefore, e.searchKey});
    if (!e.olderCopies.empty()) lines.back().push_back(JoinList(e.olderCopies));
  }
  if (!Append(lines)) return -1;
  written_.insert(batch);
  return batch;
}

bool TJournalWriter::MarkBatchDone(int batch, const std::vector<TEntryIDChange>& after) {
  if (run_.empty()) {
    error_ = "no journal run started";
    return false;
  }
  // A run counts as what its lines prove: no done mark for a batch whose
  // planned lines are not in the file.
  if (!written_.count(batch)) {
    error_ = "batch " + std::to_string(batch) + " of the journal run was not written, so it cannot be marked done";
    return false;
  }
  const std::string number = std::to_string(batch);
  std::vector<std::vector<std::string>> lines;
  for (const auto& [before, now] : after) lines.push_back({"A", run_, number, before, now});
  lines.push_back({"D", run_, number, JournalTimeNow()});
  return Append(lines);
}

bool TJournalWriter::WriteNewIDs(const std::vector<std::pair<int, TEntryIDChange>>& found) {
  if (run_.empty()) {
    error_ = "no journal run started";
    return false;
  }
  std::vector<std::vector<std::string>> lines;
  lines.reserve(found.size());
  for (const auto& [batch, change] : found) lines.push_back({"A", run_, std::to_string(batch), change.first, change.second});
  return lines.empty() || Append(lines);
}

bool TJournalWriter::EndRun() {
  if (run_.empty()) {
    error_ = "no journal run started";
    return false;
  }
  const bool ok = Append({{"E", run_, JournalTimeNow()}});
  run_.clear();
  written_.clear();
  return ok;
}

bool TJournalWriter::MarkRunUndone(std::string_view runID) {
  return Append({{"U", std::string(runID), JournalTimeNow()}});
}

TJournalContents ReadJournal(const std::filesystem::path& folder) {
  TJournalContents contents;
  std::ifstream in(TJournalWriter::FileIn(folder), std::ios::binary);
  if (!in) return contents;
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  TJournalParser parser(contents);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {  // cut off while being written
      ++contents.skippedLines;
      break;
    }
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && !parser.Line(SplitFields(line))) ++contents.skippedLines;
    start = end + 1;
  }
  return contents;
}

std::optional<TJournalRun> LastJournalRun(const std::filesystem::path& folder) {
  TJournalContents contents = ReadJournal(folder);
  if (contents.runs.empty()) return std::nullopt;
  return std::move(contents.runs.back());
}
