#include "standin/GeneratedMail.h"

#include <stdexcept>

#include "standin/MessageJson.h"

namespace standin {

void GeneratedMail::Place(const StoreData& store) {
  FFolders.clear();
  for (const auto& run : FMailbox.MailFolders()) {
    auto it = store.folders.find(FromHex(run.id, "id"));
    if (it == store.folders.end()) throw std::logic_error("a generated mail folder is missing: " + run.id);
    it->second->messages.SetRun(run.first, run.count);
    FFolders.push_back(it->second.get());
  }
}

FolderData* GeneratedMail::FolderOf(std::uint32_t position) const { return FFolders.at(FMailbox.MailFolderOf(position)); }

std::optional<std::uint32_t> GeneratedMail::PositionOf(std::string_view id) const {
  return FMailbox.PositionOf(std::string(id));
}

namespace {
ULONG gMade = 0;  // under the provider's lock, as every call
}  // namespace

ULONG GeneratedMessagesMade() { return gMade; }

MessageContent GeneratedMail::Content(std::uint32_t position) const {
  ContentWriter writer;
  FMailbox.Message(position, writer);
  ++gMade;
  return writer.Take();
}

bool GeneratedMail::LeftOutOfRows(ULONG tag) { return PROP_ID(tag) == PROP_ID(PR_BODY_W); }

PropBag GeneratedMail::RowProps(std::uint32_t position, const Bytes& storeUid) const {
  ContentWriter writer(false);
  FMailbox.Message(position, writer);
  MessageContent content = writer.Take();
  MessageData message;
  message.id = GeneratedMailbox::IdBytes(position);
  message.storeUid = storeUid;
  message.folderId = FolderOf(position)->id;
  message.attachments = std::move(content.attachments);  // empty ones: PR_HASATTACH alone needs them
  return MessageProps(std::move(content.props), message);
}

}  // namespace standin
