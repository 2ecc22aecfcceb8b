// The messages of a generated store: the profile generator's mailbox
// (tools/profilegen/GeneratedMailbox.h), made on demand from their
// positions straight into the values a profile file's message is read into
// (ContentWriter), and served as if the store had been written out and
// loaded. What the store keeps of them is the folders their runs fill.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "standin/Model.h"
#include "tools/profilegen/GeneratedMailbox.h"

namespace standin {

class GeneratedMail {
 public:
  GeneratedMail(const MailboxShape& shape, const std::string& storeName) : FMailbox(shape, storeName) {}

  const GeneratedMailbox& Mailbox() const { return FMailbox; }
  // Gives each run of positions to its folder, once the store's subtree is
  // read (its mail folders by their identifiers).
  void Place(const StoreData& store);
  FolderData* FolderOf(std::uint32_t position) const;
  std::optional<std::uint32_t> PositionOf(std::string_view id) const;
  MessageContent Content(std::uint32_t position) const;
  // Whether rows are made without their message (RowProps); not for
  // realistic messages, whose identifiers come from the whole content.
  bool MakesRows() const { return !FMailbox.Realistic(); }
  // What a contents-table row shows of a message: the values of the message
  // made whole but those LeftOutOfRows, made without the body or the
  // attachments.
  PropBag RowProps(std::uint32_t position, const Bytes& storeUid) const;
  static bool LeftOutOfRows(ULONG tag);

 private:
  GeneratedMailbox FMailbox;
  std::vector<FolderData*> FFolders;  // by run
};

// Generated messages made whole (Content) in this process so far.
ULONG GeneratedMessagesMade();

}  // namespace standin
