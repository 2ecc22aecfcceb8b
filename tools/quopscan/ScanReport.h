// The duplicate groups read back from the index, printed as a table or JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "index/QuopRecords.h"

struct TScanRecord {
  bool keep;  // the copy proposed for keeping (first of its group)
  std::string entryID, senderName, senderEmail, subject, folder;
  double received;  // UTC date-time
  std::int32_t size;
};

struct TScanResult {
  std::int32_t messages = 0;
  std::vector<std::vector<TScanRecord>> groups;
};

TScanRecord ScanRecordOf(const TQuopMsg& msg);
void PrintTable(std::FILE* out, const TScanResult& result);
void PrintJson(std::FILE* out, const TScanResult& result);
// "2026-03-01 14:05:09" for a date-time; "" for 0.
std::string DateTimeText(double dt);
