#include "mapi/CollectedMessage.h"

#include "indexapi/CompareFields.h"
#include "mapi/AttachmentSummary.h"
#include "mapi/BodyDigest.h"
#include "mapi/MapiText.h"
#include "mapi/MessageSlots.h"

namespace {

constexpr std::int32_t kOpenedFields = FIELD_MESSAGE | FIELD_SENT_TO | FIELD_CC | FIELD_BCC | FIELD_ATTACHMENT;

}  // namespace

bool NeedsOpenMessage(std::int32_t mask) { return (mask & kOpenedFields) != 0; }

TCollectedMessage ReadWholeMessage(TsxMAPI_Message& message, std::int32_t mask) {
  const auto wants = [mask](std::int32_t field) { return (mask & field) != 0; };
  TCollectedMessage m;
  m.entryID = message.GetEntryIDString();
  m.senderName = message.GetSender();
  m.subject = message.GetSubject();
  m.senderEmail = message.GetSenderAddr();
  m.attachments = message.HasAttachments() ? 1 : 0;
  if (wants(FIELD_ATTACHMENT)) m.attached = AttachmentSummary(message, false, &m.attachments);
  m.received = message.GetRecivedTime();
  m.sent = message.GetSentTime();
  if (wants(FIELD_SENT_TO)) m.to = message.GetTo();
  if (wants(FIELD_CC)) m.cc = message.GetCC();
  if (wants(FIELD_BCC)) m.bcc = message.GetBCC();
  if (wants(FIELD_MESSAGE)) {
    const TBodyDigest body = message.GetBody();
    m.bodyCrc = body.crc;
    m.bodyForm = body.form;
  }
  m.size = static_cast<std::int32_t>(message.GetSize());
  m.read = message.IsRead();
  m.flagged = message.IsFlagged();
  return m;
}

void ReadOpenedFields(TsxMAPI_Message& message, std::int32_t mask, TCollectedMessage& m) {
  static const std::string kWhat = "Could not get properties!";
  if (mask & FIELD_ATTACHMENT) m.attached = AttachmentSummary(message, true, &m.attachments);
  // The texts in the order a record lists them, the body's forms last.
  const struct {
    std::int32_t field;
    ULONG tag;
    std::string* text;
  } kTexts[] = {{FIELD_SENT_TO, PR_DISPLAY_TO, &m.to}, {FIELD_CC, PR_DISPLAY_CC, &m.cc}, {FIELD_BCC, PR_DISPLAY_BCC, &m.bcc}};
  SizedSPropTagArray(3 + bsCount, tags) = {0, {}};
  for (const auto& t : kTexts)
    if (mask & t.field) tags.aulPropTag[tags.cValues++] = TextTag(t.tag, message.Unicode());
  const ULONG texts = tags.cValues;
  const auto bodyTags = BodyTags(message.Unicode());
  if (mask & FIELD_MESSAGE)
    for (ULONG tag : bodyTags) tags.aulPropTag[tags.cValues++] = tag;
  if (tags.cValues == 0) return;
  ULONG count = 0;
  TMapiBuffer<SPropValue> values;
  IMessage* object = message.Message();
  CheckForError(object->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values), kWhat);
  if (!values || count != tags.cValues) CheckValue(nullptr, tags.aulPropTag[0], kWhat);
  ULONG slot = 0;
  for (const auto& t : kTexts)
    if (mask & t.field) {
      *t.text = SlotText(object, values[slot], tags.aulPropTag[slot]);
      ++slot;
    }
  if (texts < tags.cValues) {
    const TBodyDigest body = BodyDigestOfSlots(object, &values[texts], bodyTags.data());
    m.bodyCrc = body.crc;
    m.bodyForm = body.form;
  }
}
