#include "mapi/MessageSlots.h"

#include <cctype>
#include <cstring>
#include <cwchar>

#include "mapi/MapiProps.h"
#include "mapi/MapiText.h"
#include "mapi/MapiTime.h"
#include "mapi/PropertyStream.h"

namespace {

const char kGetProperties[] = "Could not get properties!";
constexpr LONG kFollowupFlagged = 2;  // PR_FLAG_STATUS: followupComplete is 1

// Tables cut longer texts (in characters of their width) and binaries (in
// bytes) to this; a value this long may be the start of a longer one.
constexpr std::size_t kTableCut = 255;

bool SameAsciiNoCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && !b[i];
}

TDateTime TimeOf(const SPropValue& value, ULONG tag) {
  if (!HasValue(value, tag, kGetProperties)) return 0;
  return FileDateTimeToDateTime(value.Value.ft.dwLowDateTime, value.Value.ft.dwHighDateTime);
}

}  // namespace

TMapiBuffer<SPropTagArray> CommonTags(bool unicode, bool row) {
  auto tags = MakeTagArray(
      {TextTag(PR_SUBJECT, unicode), TextTag(PR_SENT_REPRESENTING_NAME, unicode),
       TextTag(PR_SENT_REPRESENTING_EMAIL_ADDRESS, unicode), TextTag(PR_SENT_REPRESENTING_ADDRTYPE, unicode),
       TextTag(PR_SENT_REPRESENTING_SMTP_ADDRESS_W, unicode), TextTag(PR_SENDER_SMTP_ADDRESS_W, unicode),
       PR_CLIENT_SUBMIT_TIME, PR_MESSAGE_SIZE, PR_MESSAGE_DELIVERY_TIME, PR_FLAG_STATUS, PR_HASATTACH, PR_ENTRYID,
       PR_MESSAGE_FLAGS, PR_LAST_MODIFICATION_TIME});
  if (!row) tags->cValues = ccCount;
  return tags;
}

bool IsExchangeAddrType(const std::string& type) { return SameAsciiNoCase(type, "EX"); }

TCommonFields DecodeCommon(const SPropValue* values, const std::function<std::string(int)>& text) {
  TCommonFields f;
  f.subject = text(ccSubject);
  f.senderName = text(ccSenderName);
  f.senderAddress = text(ccSenderEmail);
  if (IsExchangeAddrType(text(ccAddrType))) {
    // A legacy DN in one store, SMTP in another: the SMTP address matches both.
    std::string smtp = text(ccRepSmtp);
    if (smtp.empty()) smtp = text(ccSenderSmtp);
    if (!smtp.empty()) f.senderAddress = std::move(smtp);
  }
  f.sent = TimeOf(values[ccSubmit], PR_CLIENT_SUBMIT_TIME);
  f.size = HasValue(values[ccSize], PR_MESSAGE_SIZE, kGetProperties) ? values[ccSize].Value.l : 0;
  f.received = TimeOf(values[ccDelivery], PR_MESSAGE_DELIVERY_TIME);
  f.flagged = values[ccFlagStatus].ulPropTag == PR_FLAG_STATUS && values[ccFlagStatus].Value.l == kFollowupFlagged;
  f.hasAttachments = values[ccHasAttach].ulPropTag == PR_HASATTACH && values[ccHasAttach].Value.b != 0;
  return f;
}

std::string SlotText(IMAPIProp* object, const SPropValue& value, ULONG tag) {
  if (IsTooLargeValue(value)) return ReadTextStream(object, tag, "Could not read a long text property!");
  return TextOrEmpty(value, tag, kGetProperties);
}

bool IsReadFlags(const SPropValue& value) {
  return HasValue(value, PR_MESSAGE_FLAGS, kGetProperties) && (value.Value.l & MSGFLAG_READ) != 0;
}

bool IsWholeColumn(const SPropValue* value, ULONG tag) {
  if (!value) return false;
  if (IsMissing(*value)) return true;
  if (value->ulPropTag != tag) return false;
  switch (PROP_TYPE(tag)) {
    case PT_UNICODE:
      return !value->Value.lpszW || std::wcslen(value->Value.lpszW) < kTableCut;
    case PT_STRING8:
      return !value->Value.lpszA || std::strlen(value->Value.lpszA) < kTableCut;
    case PT_BINARY:
      return value->Value.bin.cb < kTableCut;
    default:
      return true;
  }
}
