// Reads a MAPI table a batch of rows at a time. A store may return fewer
// rows than asked for (Exchange gives at most about a hundred a call), so
// the end is the first empty batch, never a short one; and a big folder's
// rows are never all in memory at once.
#pragma once

#include <functional>

#include "mapi/MapiErrors.h"
#include "mapi/MapiHolders.h"

class TTableReader {
 public:
  static constexpr LONG kBatchRows = 100;

  // Sets the columns; "Could not set columns!".
  TTableReader(TComPtr<IMAPITable> table, LPSPropTagArray columns) : FTable(std::move(table)) {
    CheckForError(FTable->SetColumns(columns, 0), "Could not set columns!");
  }

  // The next batch; false when none is left. "Could not get rows data!".
  bool Next(TRowSet& rows) {
    CheckForError(FTable->QueryRows(kBatchRows, 0, &rows), "Could not get rows data!");
    return rows.Count() > 0;
  }

  // Hands every row to `visit`, a batch at a time, until it returns false.
  void ForEachRow(const std::function<bool(const SRow&)>& visit) {
    for (TRowSet rows; Next(rows);)
      for (ULONG r = 0; r < rows.Count(); ++r)
        if (!visit(rows->aRow[r])) return;
  }

 private:
  TComPtr<IMAPITable> FTable;
};
