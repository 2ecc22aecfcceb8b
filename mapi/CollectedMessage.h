// What the collection takes from one message for its record, read either
// from the message alone or from its contents-table row plus what only the
// opened message gives. Both ways read the same values the same way.
#pragma once

#include <cstdint>
#include <string>

#include "mapi/BodyForm.h"
#include "mapi/sx_MAPI.h"

struct TCollectedMessage {
  std::string entryID;  // text
  std::string senderName, subject, senderEmail, attached, to, cc, bcc;
  TDateTime received = 0, sent = 0;
  std::int32_t bodyCrc = 0, size = 0;
  TBodyForm bodyForm = TBodyForm::None;  // the form bodyCrc was taken from
  bool read = false;
  bool flagged = false;
  // How many attachments when they were read (the Attachment field), else
  // 1 for "some" from PR_HASATTACH: enough to rank a copy that lost its
  // attachments below one that kept them.
  int attachments = 0;
  // PR_LAST_MODIFICATION_TIME of a contents-table row (FILETIME ticks); 0
  // when the row did not give it, or the message was read on its own.
  std::uint64_t modified = 0;
};

// Whether the field mask asks for a field that only an opened message
// gives: the body, To, Cc, Bcc (a table may cut them at 255 characters)
// or the attachments.
bool NeedsOpenMessage(std::int32_t mask);

// Every field the mask asks for (and the common ones), read from the
// opened message alone in the order a record lists them.
TCollectedMessage ReadWholeMessage(TsxMAPI_Message& message, std::int32_t mask);

// The fields of the mask that only the opened message gives, into `m`: the
// attachments, then To, Cc, Bcc and the body's three forms with one GetProps.
void ReadOpenedFields(TsxMAPI_Message& message, std::int32_t mask, TCollectedMessage& m);
