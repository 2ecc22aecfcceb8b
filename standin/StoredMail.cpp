#include "standin/StoredMail.h"

#include <mapix.h>

#include <stdexcept>

namespace standin {
namespace {

bool KeptAsText(ULONG tag) { return PROP_TYPE(tag) == PT_UNICODE || PROP_TYPE(tag) == PT_BINARY; }

}  // namespace

LONG AttachmentData::Num() const {
  const Prop* p = props.Find(PR_ATTACH_NUM);
  return p != nullptr ? static_cast<LONG>(p->num) : -1;
}

std::string AttachmentData::DisplayName() const {
  const Prop* p = props.Find(PR_DISPLAY_NAME_A);
  return p != nullptr ? p->data : std::string();
}

std::uint32_t StoredMail::AddProps(const PropBag& props) {
  const auto first = static_cast<std::uint32_t>(FSlots.size());
  for (const Prop& p : props.All()) {
    Slot slot{p.tag, 0, 0};
    if (KeptAsText(p.tag)) {
      slot.low = FTexts.Intern(p.data);
    } else {
      slot.low = static_cast<std::uint32_t>(static_cast<ULONGLONG>(p.num));
      slot.high = static_cast<std::uint32_t>(static_cast<ULONGLONG>(p.num) >> 32);
    }
    FSlots.push_back(slot);
  }
  return first;
}

std::uint32_t StoredMail::Add(const MessageContent& content, TextId id) {
  if (content.props.All().size() > 0xFFFF || content.attachments.size() > 0xFFFF)
    throw std::length_error("a message with more than 65535 values or attachments");
  StoredMessage m;
  m.id = id;
  m.props = static_cast<std::uint16_t>(content.props.All().size());
  m.firstProp = AddProps(content.props);
  m.attachments = static_cast<std::uint16_t>(content.attachments.size());
  m.firstAttachment = static_cast<std::uint32_t>(FAttachments.size());
  for (const AttachmentData& a : content.attachments) {
    const auto count = static_cast<std::uint32_t>(a.props.All().size());
    FAttachments.push_back({AddProps(a.props), count});
  }
  return static_cast<std::uint32_t>(FMessages.push_back(m));
}

PropBag StoredMail::PropsAt(std::uint32_t first, std::uint32_t count) const {
  PropBag bag;
  for (std::uint32_t i = first; i < first + count; ++i) {
    const Slot& slot = FSlots[i];
    if (KeptAsText(slot.tag)) bag.Set(Prop{slot.tag, 0, std::string(FTexts.View(slot.low))});
    else bag.Set(Prop{slot.tag, static_cast<LONGLONG>(static_cast<ULONGLONG>(slot.high) << 32 | slot.low), {}});
  }
  return bag;
}

MessageContent StoredMail::Content(std::uint32_t record) const {
  const StoredMessage& m = FMessages[record];
  MessageContent content;
  content.props = PropsAt(m.firstProp, m.props);
  for (std::uint32_t a = m.firstAttachment; a < m.firstAttachment + m.attachments; ++a)
    content.attachments.push_back({PropsAt(FAttachments[a].firstProp, FAttachments[a].props)});
  return content;
}

}  // namespace standin
