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

 private:
  GeneratedMailbox FMailbox;
  std::vector<FolderData*> FFolders;  // by run
};

}  // namespace standin
