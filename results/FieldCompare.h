// Two records side by side, every compare field as the index sees it (texts
// trimmed, the sender address in lower case, dates to the whole second in
// UTC), each marked equal or different, and what kept the two apart under
// the search settings: the selected fields that differ, and with "each folder
// separately" a different folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"

struct TCompareSettings {
  std::int32_t nSelFields = 0;
  bool bSearchOverFolders = false;
};

struct TFieldRow {
  std::int32_t nFieldID = 0;
  const char* szKey = "";      // caption key in the language file's "Fields" section
  const char* szCaption = "";  // English caption of the compare-field table
  std::string strLeft;         // the value as the index compares it
  std::string strRight;
  bool bEqual = false;
  bool bSelected = false;
  bool KeptApart() const { return bSelected && !bEqual; }
};

struct TFieldComparison {
  std::vector<TFieldRow> Rows;       // all twelve, in the table's display order
  std::vector<std::int32_t> KeptApartBy;  // selected fields that differ, display order
  bool bSameFolder = false;
  bool bFolderKeptApart = false;     // each folder separately, and the folders differ
  bool Duplicates() const { return KeptApartBy.empty() && !bFolderKeptApart; }
};

// Whether two records come from one folder as the index tells folders apart:
// the same folder name in the same store (the store part of the entry id).
bool SameFolderOf(const TQuopMsg& a, const TQuopMsg& b);

// "2024-03-05 14:22:07 UTC" of a date to the whole second; "(none)" for an
// unset date, "(invalid)" for one the index cannot place.
std::string WholeSecondText(double dt);

TFieldComparison CompareRecords(const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& s);
