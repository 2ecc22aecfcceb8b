// The duplicate groups read back from the index, printed as a table or JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"
#include "results/KeepRules.h"
#include "results/ResultsExport.h"

struct TScanRecord {
  bool keep;  // the copy proposed for keeping (first of its group)
  std::string entryID, senderName, senderEmail, subject, folder;
  double received;  // UTC date-time
  std::int32_t size;
  bool read = false;
  bool flagged = false;     // from the run's origins
  int attachments = 0;      // from the run's origins
  std::string store, path;  // from the run's origins; empty when not recorded
  std::string keptBecause;  // the deciding rule's text, on the kept copy
};

// A folder that gave records: its store's UID (from the entry identifiers)
// and name, with how many.
struct TScanFolder {
  std::string store, name;
  std::int32_t messages = 0;
};

// Something the collection could not read, with why.
struct TScanSkip {
  std::string kind, name, reason, error;
};

struct TScanResult {
  std::int32_t messages = 0;
  std::vector<std::vector<TScanRecord>> groups;
  std::vector<TScanFolder> folders;
  std::vector<TScanSkip> skipped;
};

// Counts a record's folder into `folders`, in order of first appearance.
void CountFolder(std::vector<TScanFolder>& folders, const TQuopMsg& msg);
// "N messages read, K skipped" and a line for each skipped item.
void PrintTally(std::FILE* out, const TScanResult& result);

TScanRecord ScanRecordOf(const TQuopMsg& msg);
void PrintTable(std::FILE* out, const TScanResult& result);
void PrintJson(std::FILE* out, const TScanResult& result);

// Chooses each group's copy to keep by the chain; an empty chain leaves the
// index's own proposal and names it "Received first".
void ApplyKeepChain(TScanResult& result, const results::TKeepChain& chain);
// "keep rules: K copies kept in G groups, C groups changed" where C counts
// the groups whose kept copy is not the first one found.
void PrintKeepSummary(std::FILE* out, const TScanResult& result);
// One export row a record, for --csv.
std::vector<results::TExportRow> ExportRowsOf(const TScanResult& result);
// "2026-03-01 14:05:09" for a date-time; "" for 0.
std::string DateTimeText(double dt);
