// The messages a profile keeps, compactly: each value of a message or an
// attachment a slot of 12 bytes, its texts and binary values in the
// profile's text pool (one copy of each distinct one), records in blocks
// that never move. A record stays when its message is deleted, so that a
// table taken before can still show it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin/ModelMemory.h"
#include "standin/PropBag.h"
#include "standin/TextPool.h"

namespace standin {

struct FolderData;

struct AttachmentData {
  PropBag props;  // PR_ATTACH_NUM, PR_ATTACH_METHOD, names, size
  LONG Num() const;
  std::string DisplayName() const;
};

// A message's own values, as the profile gives them.
struct MessageContent {
  PropBag props;
  std::vector<AttachmentData> attachments;
};

struct StoredMessage {
  TextId id = 0;
  const FolderData* folder = nullptr;  // where it was put last
  std::uint32_t firstProp = 0;
  std::uint32_t firstAttachment = 0;
  std::uint16_t props = 0;
  std::uint16_t attachments = 0;
};

class StoredMail {
 public:
  TextPool& Texts() { return FTexts; }
  const TextPool& Texts() const { return FTexts; }

  // Keeps a message's values; its record, under `id` and in no folder yet.
  std::uint32_t Add(const MessageContent& content, TextId id);
  StoredMessage& operator[](std::uint32_t record) { return FMessages[record]; }
  const StoredMessage& operator[](std::uint32_t record) const { return FMessages[record]; }
  std::string_view IdOf(std::uint32_t record) const { return FTexts.View(FMessages[record].id); }
  MessageContent Content(std::uint32_t record) const;

 private:
  // A value: PT_UNICODE (UTF-8) and PT_BINARY values by their text, numbers in halves.
  struct Slot {
    ULONG tag;
    std::uint32_t low, high;
  };
  struct StoredAttachment {
    std::uint32_t firstProp;
    std::uint32_t props;
  };

  std::uint32_t AddProps(const PropBag& props);
  PropBag PropsAt(std::uint32_t first, std::uint32_t count) const;

  TextPool FTexts;
  BlockArray<StoredMessage> FMessages;
  BlockArray<Slot> FSlots;
  BlockArray<StoredAttachment> FAttachments;
};

}  // namespace standin
