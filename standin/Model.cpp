#include "standin/Model.h"

#include <algorithm>
#include <cstring>

#include "standin/ExtraTags.h"
#include "standin/GeneratedMail.h"

namespace standin {

std::string MessageData::Subject() const {
  const Prop* p = props.Find(PR_SUBJECT_A);
  return p != nullptr ? p->data : std::string();
}

std::shared_ptr<FolderData> StoreData::FolderWithRole(const std::string& role) const {
  for (const auto& [id, folder] : folders) {
    if (folder->role == role) return folder;
  }
  return nullptr;
}

Bytes StoreData::NewId(char kind) {
  for (;;) {
    std::uint32_t n = nextId++;
    Bytes id{kind, 0, 0, 0, char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    if (!folders.contains(id) && !FindMessage(id)) return id;
  }
}

std::optional<MessageRef> StoreData::FindMessage(std::string_view id) const {
  if (generated) {
    if (const auto position = generated->PositionOf(id)) {
      if (generated->FolderOf(*position)->messages.HoldsPosition(*position)) return MessageRef{true, *position};
      return std::nullopt;
    }
  }
  auto it = index.find(id);
  if (it == index.end()) return std::nullopt;
  return MessageRef{false, it->second};
}

const FolderData* StoreData::FolderOf(MessageRef message) const {
  if (message.generated) {
    FolderData* folder = generated->FolderOf(message.index);
    return folder->messages.HoldsPosition(message.index) ? folder : nullptr;
  }
  // A record is in its store while the index names it.
  auto it = index.find(mail->IdOf(message.index));
  return it != index.end() && it->second == message.index ? (*mail)[message.index].folder : nullptr;
}

bool StoreData::MadeBefore(MessageRef message) const {
  const auto& last = made[(message.index * 2 + message.generated) % made.size()];
  return last.second && last.first == message;
}

std::shared_ptr<const MessageData> StoreData::Materialize(MessageRef message) const {
  // A message's values never change: a copy or a move makes another one.
  auto& last = made[(message.index * 2 + message.generated) % made.size()];
  if (last.second && last.first == message) return last.second;
  auto data = std::make_shared<MessageData>();
  data->storeUid = uid;
  MessageContent content = message.generated ? generated->Content(message.index) : mail->Content(message.index);
  if (message.generated) {
    data->id = GeneratedMailbox::IdBytes(message.index);
    data->folderId = generated->FolderOf(message.index)->id;
  } else {
    data->id = Bytes(mail->IdOf(message.index));
    data->folderId = (*mail)[message.index].folder->id;
  }
  data->props = std::move(content.props);
  data->attachments = std::move(content.attachments);
  data->served = MessageProps(*data);
  last = {message, data};
  return data;
}

MessageRef StoreData::AddStored(FolderData& folder, const Bytes& id, const MessageContent& content) {
  const std::uint32_t record = mail->Add(content, mail->Texts().Keep(id));
  (*mail)[record].folder = &folder;
  index.emplace(mail->IdOf(record), record);
  folder.messages.AddRecord(record);
  return MessageRef{false, record};
}

StoreData* Profile::StoreByUid(const Bytes& uid) const {
  for (const auto& s : stores) {
    if (s->uid == uid) return s.get();
  }
  return nullptr;
}

std::shared_ptr<StoreData> Profile::FindStore(const Bytes& uid) const {
  for (const auto& s : stores) {
    if (s->uid == uid) return s;
  }
  return nullptr;
}

const Bytes& ProviderUid() {
  static const Bytes uid("\x51\x75\x6F\x70\x53\x74\x61\x6E\x64\x69\x6E\x4D\x41\x50\x49\x01", 16);
  return uid;
}

Bytes EntryId(const Bytes& storeUid, const Bytes& id) {
  Bytes entryId;
  entryId.reserve(4 + storeUid.size() + id.size());
  return entryId.append(4, '\0').append(storeUid).append(id);
}

Bytes StoreEntryId(const StoreData& store) { return Bytes(4, '\0') + ProviderUid() + store.uid; }

bool SplitEntryId(ULONG size, const void* entryId, Bytes& storeUid, Bytes& id) {
  if (entryId == nullptr || size <= 20) return false;
  const char* p = static_cast<const char*>(entryId);
  storeUid.assign(p + 4, 16);
  id.assign(p + 20, size - 20);
  return true;
}

PropBag StoreProps(const StoreData& store) {
  PropBag bag;
  bag.Set(PropBag::Binary(PR_ENTRYID, StoreEntryId(store)));
  bag.Set(PropBag::Binary(PR_RECORD_KEY, store.uid));
  bag.Set(PropBag::Text(PR_DISPLAY_NAME_A, store.name));
  bag.Set(PropBag::Number(PR_DEFAULT_STORE, store.isDefault ? 1 : 0));
  bag.Set(PropBag::Binary(PR_MDB_PROVIDER, ProviderUid()));
  bag.Set(PropBag::Number(PR_OBJECT_TYPE, MAPI_STORE));
  const ULONG mask = STORE_ENTRYID_UNIQUE | STORE_RESTRICTION_OK | (store.rules.Unicode() ? STORE_UNICODE_OK : 0);
  bag.Set(PropBag::Number(PR_STORE_SUPPORT_MASK, mask));
  if (store.subtree) bag.Set(PropBag::Binary(PR_IPM_SUBTREE_ENTRYID, EntryId(store.uid, store.subtree->id)));
  const std::pair<const char*, ULONG> special[] = {
      {"outbox", PR_IPM_OUTBOX_ENTRYID}, {"sent", PR_IPM_SENTMAIL_ENTRYID}, {"deleted", PR_IPM_WASTEBASKET_ENTRYID}};
  for (const auto& [role, tag] : special) {
    if (auto f = store.FolderWithRole(role)) bag.Set(PropBag::Binary(tag, EntryId(store.uid, f->id)));
  }
  return bag;
}

PropBag FolderProps(const FolderData& folder) {
  PropBag bag;
  bag.Set(PropBag::Binary(PR_ENTRYID, EntryId(folder.storeUid, folder.id)));
  if (!folder.parentId.empty()) bag.Set(PropBag::Binary(PR_PARENT_ENTRYID, EntryId(folder.storeUid, folder.parentId)));
  bag.Set(PropBag::Binary(PR_RECORD_KEY, folder.id));
  bag.Set(PropBag::Text(PR_DISPLAY_NAME_A, folder.name));
  if (folder.containerClass) bag.Set(PropBag::Text(PR_CONTAINER_CLASS_A, *folder.containerClass));
  bag.Set(PropBag::Number(PR_OBJECT_TYPE, MAPI_FOLDER));
  bag.Set(PropBag::Number(PR_FOLDER_TYPE, FOLDER_GENERIC));
  bag.Set(PropBag::Number(PR_CONTENT_COUNT, static_cast<LONG>(folder.messages.Size())));
  bag.Set(PropBag::Number(PR_SUBFOLDERS, folder.folders.empty() ? 0 : 1));
  return bag;
}

namespace {

// The sender as the profile gives it (PR_SENT_REPRESENTING_*), served under
// PR_SENDER_* too; an address without a type is an SMTP address.
void AddSender(PropBag& bag) {
  if (bag.Find(PR_SENT_REPRESENTING_EMAIL_ADDRESS_W) && !bag.Find(PR_SENT_REPRESENTING_ADDRTYPE_W))
    bag.Set(PropBag::Text(PR_SENT_REPRESENTING_ADDRTYPE_W, "SMTP"));
  const std::pair<ULONG, ULONG> same[] = {
      {PR_SENT_REPRESENTING_NAME_W, PR_SENDER_NAME_W},
      {PR_SENT_REPRESENTING_EMAIL_ADDRESS_W, PR_SENDER_EMAIL_ADDRESS_W},
      {PR_SENT_REPRESENTING_ADDRTYPE_W, PR_SENDER_ADDRTYPE_W},
      {PR_SENT_REPRESENTING_SMTP_ADDRESS_W, PR_SENDER_SMTP_ADDRESS_W}};
  for (const auto& [from, to] : same) {
    if (const Prop* p = bag.Find(from)) {
      std::string text = p->data;
      bag.Set(PropBag::Text(to, std::move(text)));
    }
  }
}

}  // namespace

Bytes SearchKeyOf(const MessageData& message) {
  const Prop* p = message.props.Find(PR_SEARCH_KEY);
  return p != nullptr ? p->data : message.storeUid + message.id;
}

PropBag MessageProps(const MessageData& message) { return MessageProps(message.props, message); }

PropBag MessageProps(PropBag own, const MessageData& message) {
  PropBag bag = std::move(own);
  if (!bag.Find(PR_SEARCH_KEY)) bag.Set(PropBag::Binary(PR_SEARCH_KEY, message.storeUid + message.id));
  AddSender(bag);
  bag.Set(PropBag::Binary(PR_ENTRYID, EntryId(message.storeUid, message.id)));
  bag.Set(PropBag::Binary(PR_PARENT_ENTRYID, EntryId(message.storeUid, message.folderId)));
  bag.Set(PropBag::Binary(PR_RECORD_KEY, message.id));
  bag.Set(PropBag::Number(PR_OBJECT_TYPE, MAPI_MESSAGE));
  bag.Set(PropBag::Number(PR_HASATTACH, message.attachments.empty() ? 0 : 1));
  return bag;
}

PropBag AttachmentProps(const AttachmentData& attachment) {
  PropBag bag = attachment.props;
  bag.Set(PropBag::Number(PR_OBJECT_TYPE, MAPI_ATTACH));
  return bag;
}

namespace {

// Takes a message out of its folder and its store.
bool Remove(StoreData& store, FolderData& folder, MessageRef message) {
  if (!folder.messages.Remove(message)) return false;
  if (!message.generated) store.index.erase(store.mail->IdOf(message.index));
  return true;
}

}  // namespace

bool CopyMessage(Profile& profile, StoreData& store, MessageRef message, FolderData& target, bool move) {
  StoreData* targetStore = profile.StoreByUid(target.storeUid);
  if (targetStore == nullptr) return false;
  const auto source = store.Materialize(message);
  MessageContent copy{source->props, source->attachments};
  copy.props.Set(PropBag::Binary(PR_SEARCH_KEY, SearchKeyOf(*source)));
  const Bytes id = targetStore->NewId('M');
  if (move) {
    // Out of its folder before the copy goes in, which may be the same one.
    if (const FolderData* from = store.FolderOf(message)) Remove(store, *store.folders.at(from->id), message);
  }
  targetStore->AddStored(target, id, copy);
  return true;
}

bool DeleteMessage(StoreData& store, FolderData& folder, std::string_view id) {
  const auto message = store.FindMessage(id);
  return message && store.FolderOf(*message) == &folder && Remove(store, folder, *message);
}

}  // namespace standin
