// Console scan: logs on to the MAPI profile, runs the collection over every
// folder into QuopDB.dll and prints the duplicate groups. Progress goes to
// stderr, the groups to stdout (a table, or JSON with --json).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "index/uDB.h"
#include "mapi/QueueDispatcher.h"
#include "mapi/SearchSetup.h"
#include "mapi/sx_MAPI_Session.h"
#include "tools/quopscan/ScanOptions.h"
#include "tools/quopscan/ScanReport.h"
#include "tools/scanrun/ScanRun.h"

namespace {

TScanResult ReadGroups(TQuopDB& db, const TsxMAPI_Session& session) {
  TScanResult result;
  result.messages = db.GetMsgCount();
  for (std::int32_t i = 0; i < result.messages && db.Exports().FGetMsgAt; ++i) {
    if (TQuopMsg* m = db.Exports().FGetMsgAt(i)) {
      CountFolder(result.folders, *m);
      db.FreeQuopMsg(m);
    }
  }
  for (const TSkippedItem& k : session.Skipped().Items())
    result.skipped.push_back({k.strKind, k.strName, k.strReason, k.strError});
  for (TQuopMsg* m = db.FindFirstMsg(); m; m = db.FindNextMsg()) {
    if (m->bFirst || result.groups.empty()) result.groups.emplace_back();
    TScanRecord record = ScanRecordOf(*m);
    const TMessageOrigin origin = session.Origins().Find(record.entryID);
    if (origin.folder) {
      record.store = origin.folder->store;
      record.path = origin.folder->path;
    }
    record.flagged = origin.flagged;
    record.attachments = origin.attachments;
    result.groups.back().push_back(std::move(record));
    db.FreeQuopMsg(m);
  }
  return result;
}

// How many bodies were read and how many came from the cache; a cache file
// found damaged or of another version, or not written, is said.
void ReportBodyCache(const TsxMAPI_Session& session, const std::string& path) {
  std::fprintf(stderr, "bodies: %d read, %d from the cache\n", session.OpenedLate(), session.CachedBodies());
  if (session.BodyCacheFound() == TBodyCacheLoad::damaged)
    std::fprintf(stderr, "body cache %s was damaged: not used\n", path.c_str());
  if (session.BodyCacheFound() == TBodyCacheLoad::otherVersion)
    std::fprintf(stderr, "body cache %s was of another version: not used\n", path.c_str());
  if (!session.BodyCacheWritten()) std::fprintf(stderr, "body cache %s could not be written\n", path.c_str());
}

// Runs the collection; false when it could not start. Each folder read is
// reported on stderr as it starts.
bool Collect(TsxMAPI_Session& session, TQueueDispatcher& events) {
  std::string lastText;
  session.OnProgressMsg = [&](const std::string& text) { lastText = text; };
  session.OnProgressStep = [&](TsxMAPI_Session*) { std::fprintf(stderr, "%s\n", lastText.c_str()); };
  return RunCollection(session, events);
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

std::string SampleProfile() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::filesystem::path sample =
      std::filesystem::path(std::string(path, n)).parent_path() / "sample-profile.json";
  std::error_code ec;
  return std::filesystem::exists(sample, ec) ? sample.string() : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  TScanOptions o;
  std::string error;
  if (!ParseScanOptions(argc, argv, o, error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), kScanUsage);
    return 2;
  }
  // Without a profile, the sample profile beside the program (under Wine,
  // served by the stand-in MAPI provider).
  if (o.profile.empty() && !std::getenv("QUOP_STANDIN_PROFILE")) o.profile = SampleProfile();
  if (!o.profile.empty()) _putenv_s("QUOP_STANDIN_PROFILE", o.profile.c_str());
  const std::string store =
      o.store.empty() ? (std::filesystem::temp_directory_path() / "quopscan.dat").string() : o.store;

  TQuopDB db;
  TQueueDispatcher events;
  TsxMAPI_Session session;
  if (!OpenScan(db, session, store)) return 1;
  BeginSearch(session, db, events, o.mask, o.across);
  session.SetTwoStage(true);  // a console run shows groups alone: no unread body is ever shown
  if (!o.noCache) session.SetBodyCache(store + ".bodies");
  if (!Collect(session, events)) {
    std::fprintf(stderr, "the collection could not start\n");
    return 1;
  }
  db.CommitDB();
  if (!o.noCache) ReportBodyCache(session, store + ".bodies");
  TScanResult result = ReadGroups(db, session);
  ApplyKeepChain(result, o.keep);
  if (!o.csv.empty() && !WriteFile(o.csv, results::ExportCsv(ExportRowsOf(result)))) {
    std::fprintf(stderr, "could not write %s\n", o.csv.c_str());
    return 1;
  }
  PrintTally(stderr, result);
  if (o.json) PrintJson(stdout, result);
  else PrintTable(stdout, result);
  if (!o.json && !o.keep.empty()) PrintKeepSummary(stdout, result);
  return 0;
}
