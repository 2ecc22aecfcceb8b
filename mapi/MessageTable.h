// A folder's messages read through its contents table, a batch of rows at
// a time, with every column of the record that a table gives whole: entry
// identifier, subject, sender name and address (with its type and SMTP
// addresses), times, size and flags. A table may cut texts and binaries at
// 255 characters or bytes, or answer a column with an error value where
// the message itself would give the value; such a row is marked not whole,
// and the message is then read on its own.
#pragma once

#include <functional>

#include "mapi/CollectedMessage.h"

struct TMessageTableRow {
  TEntryIDRef entryID;  // valid while the row is
  std::string subject;  // for naming only: maybe cut short
  bool whole = false;   // `fields` are the message's own
  // When whole: the identifier, sender, subject, sender address, times,
  // size and read flag; the rest is left for the opened message.
  TCollectedMessage fields;
};

// Hands each row to `visit` until it returns false; nothing is opened
// here. A row without an entry identifier raises "Could not get a
// message's entry identifier!".
void ForEachMessageTableRow(TsxMAPI_Folder& folder, const std::function<bool(const TMessageTableRow&)>& visit);
