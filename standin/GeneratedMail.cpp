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

MessageContent GeneratedMail::Content(std::uint32_t position) const {
  ContentWriter writer;
  FMailbox.Message(position, writer);
  return writer.Take();
}

}  // namespace standin
