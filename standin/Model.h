// The mail profile the provider serves: stores, folders, messages and
// attachments, addressed by long-term entry identifiers
// (4 flag bytes, the store's 16-byte provider UID, the object's own bytes).
//
// Folders are objects of their own. Messages are kept compactly (StoredMail)
// or, in a generated store, made on demand from their position
// (GeneratedMail); either way a call sees a MessageData made for it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "standin/MessageListing.h"
#include "standin/PropBag.h"
#include "standin/StoreRules.h"
#include "standin/StoredMail.h"

namespace standin {

class GeneratedMail;

// A message as one call sees it: its own values (entry identifiers and the
// other served values are added when served) and where it is.
struct MessageData {
  Bytes id;        // the message's own bytes
  Bytes storeUid;
  Bytes folderId;  // the folder holding it
  PropBag props;
  std::vector<AttachmentData> attachments;
  PropBag served;  // MessageProps of the above
  std::string Subject() const;
};

struct FolderData {
  Bytes id;
  Bytes storeUid;
  Bytes parentId;  // empty for the IPM subtree
  std::string name;
  std::optional<std::string> containerClass;
  std::string role;  // "inbox", "deleted", "outbox", "sent" or empty
  std::vector<std::shared_ptr<FolderData>> folders;
  MessageListing messages;
};

// The stored messages of one store by their own bytes, which the profile's
// text pool holds.
using MessageIndex =
    std::unordered_map<std::string_view, std::uint32_t, std::hash<std::string_view>, std::equal_to<>,
                       ModelAllocator<std::pair<const std::string_view, std::uint32_t>>>;

struct StoreData {
  std::string name;
  Bytes uid;  // 16 bytes
  bool isDefault = false;
  StoreRules rules;
  std::shared_ptr<FolderData> subtree;  // may be null: a store without IPM subtree
  std::unordered_map<Bytes, std::shared_ptr<FolderData>> folders;
  std::shared_ptr<StoredMail> mail;          // the profile's, shared by its stores
  std::shared_ptr<GeneratedMail> generated;  // a generated store's messages; null otherwise
  MessageIndex index;
  std::uint32_t nextId = 1;
  // The last messages made for calls, by reference modulo its size: a table
  // read in order and the messages then opened in that order meet them again.
  mutable std::array<std::pair<MessageRef, std::shared_ptr<const MessageData>>, 512> made;

  std::shared_ptr<FolderData> FolderWithRole(const std::string& role) const;
  // A fresh identifier for an object of this store ('F' folder, 'M' message).
  Bytes NewId(char kind);
  // A message of this store by its own bytes; nullopt when it has none.
  std::optional<MessageRef> FindMessage(std::string_view id) const;
  // The folder holding a message; null once it was deleted or moved away.
  const FolderData* FolderOf(MessageRef message) const;
  // The message as calls see it, also after it was deleted (a table taken
  // before still shows it).
  std::shared_ptr<const MessageData> Materialize(MessageRef message) const;
  // Whether Materialize has the message at hand, made for an earlier call.
  bool MadeBefore(MessageRef message) const;
  // Keeps a message in `folder` under `id`; its reference.
  MessageRef AddStored(FolderData& folder, const Bytes& id, const MessageContent& content);
};

struct Profile {
  std::shared_ptr<StoredMail> mail = std::make_shared<StoredMail>();
  std::vector<std::shared_ptr<StoreData>> stores;
  StoreData* StoreByUid(const Bytes& uid) const;
  std::shared_ptr<StoreData> FindStore(const Bytes& uid) const;
};

// The UID of this provider, the middle of every store's entry identifier.
const Bytes& ProviderUid();
Bytes EntryId(const Bytes& storeUid, const Bytes& id);
Bytes StoreEntryId(const StoreData& store);
// Splits an object's entry identifier; false when it is too short.
bool SplitEntryId(ULONG size, const void* entryId, Bytes& storeUid, Bytes& id);

// PR_SEARCH_KEY: the profile's, else one made from the store and the
// message's own bytes, stable across loads; copies carry it with them.
Bytes SearchKeyOf(const MessageData& message);

// The values served for each kind of object.
PropBag StoreProps(const StoreData& store);
PropBag FolderProps(const FolderData& folder);
PropBag MessageProps(const MessageData& message);
// The same with the message's own values given apart, taken over.
PropBag MessageProps(PropBag own, const MessageData& message);
PropBag AttachmentProps(const AttachmentData& attachment);

// Moves or copies a message of `store` into another folder, giving it a new
// identifier in the target's store (its search key and Internet message
// identifier stay); removes it from its folder when `move`. False when the
// target's store is not in the profile.
bool CopyMessage(Profile& profile, StoreData& store, MessageRef message, FolderData& target, bool move);
// Removes a message from its folder and store; false when it is not in `folder`.
bool DeleteMessage(StoreData& store, FolderData& folder, std::string_view id);

}  // namespace standin
