// A message's attachments as the record compares them: each attachment
// stored by value as its name followed by its size, in table order.
#pragma once

#include <string>

#include "mapi/sx_MAPI.h"

// The name an attachment goes by: its display name, else its long file
// name, else its file name.
std::string AttachmentName(const std::string& display, const std::string& longFileName,
                           const std::string& fileName);

// The summary of the message's attachments. With `fromTable` the names and
// sizes come from the attachment table where its columns are whole, and an
// attachment is opened only when they are not; without, every attachment is
// opened and read on its own, one at a time. A row that cannot be read
// raises "Could not get attachment list!": left out, the message would
// match a copy without that attachment.
// `count`, when given, receives the number of attachments summed up.
std::string AttachmentSummary(const TsxMAPI_Message& message, bool fromTable, int* count = nullptr);
