// The properties every record takes from a message, and how one GetProps
// slot becomes a record's value. The same steps serve a message read on its
// own and a row of its folder's contents table, so that both give the same
// record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "mapi/MapiHolders.h"
#include "support/DateTime.h"

// The positions of the common properties in CommonTags.
enum TCommonColumn {
  ccSubject, ccSenderName, ccSenderEmail, ccAddrType, ccRepSmtp, ccSenderSmtp,
  ccSubmit, ccSize, ccDelivery, ccFlagStatus, ccHasAttach,
  ccCount  // the common properties end here; a table row adds the three below
};
enum TRowColumn { rcEntryID = ccCount, rcFlags, rcModified, rcCount };

// The common properties in the store's text width, followed by PR_ENTRYID,
// PR_MESSAGE_FLAGS and PR_LAST_MODIFICATION_TIME when `row` (a contents
// table's columns).
TMapiBuffer<SPropTagArray> CommonTags(bool unicode, bool row);

struct TCommonFields {
  std::string subject, senderName, senderAddress;
  TDateTime sent = 0, received = 0;
  ULONG size = 0;
  // Only rank the copies of a group for keeping; one the store cannot give
  // counts as not flagged, no attachments.
  bool flagged = false;         // PR_FLAG_STATUS says flagged for follow-up
  bool hasAttachments = false;  // PR_HASATTACH
};

// Whether an address type is Exchange's ("EX", in any case).
bool IsExchangeAddrType(const std::string& type);

// The common fields from the values of CommonTags; `text(col)` gives the
// text of a slot. A value that is neither there nor missing raises "Could
// not get properties!".
TCommonFields DecodeCommon(const SPropValue* values, const std::function<std::string(int)>& text);

// The text of a GetProps slot of `object`: one too large for GetProps is
// read through a stream; one the object lacks is empty; any other error
// value raises "Could not get properties!".
std::string SlotText(IMAPIProp* object, const SPropValue& value, ULONG tag);

// Whether a table column's value is the object's own: there and shorter
// than a table's cut (255 characters of its width, or bytes), or missing.
// Anything else (an error value, a value of another type, a value that may
// have been cut) is for the opened object to answer.
bool IsWholeColumn(const SPropValue* value, ULONG tag);

// Whether a PR_MESSAGE_FLAGS value says read; an unreadable one raises.
bool IsReadFlags(const SPropValue& value);
