// The mail profile the provider serves: stores, folders, messages and
// attachments, addressed by long-term entry identifiers
// (4 flag bytes, the store's 16-byte provider UID, the object's own bytes).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "standin/PropBag.h"
#include "standin/StoreRules.h"

namespace standin {

struct AttachmentData {
  PropBag props;  // PR_ATTACH_NUM, PR_ATTACH_METHOD, names, size
  LONG Num() const;
  std::string DisplayName() const;
};

struct MessageData {
  Bytes id;        // the message's own bytes
  Bytes storeUid;
  Bytes folderId;  // the folder holding it
  PropBag props;   // what the profile gives; entry identifiers are added when served
  std::vector<AttachmentData> attachments;
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
  std::vector<std::shared_ptr<MessageData>> messages;
};

struct StoreData {
  std::string name;
  Bytes uid;  // 16 bytes
  bool isDefault = false;
  StoreRules rules;
  std::shared_ptr<FolderData> subtree;  // may be null: a store without IPM subtree
  std::unordered_map<Bytes, std::shared_ptr<FolderData>> folders;
  std::unordered_map<Bytes, std::shared_ptr<MessageData>> messages;
  std::uint32_t nextId = 1;

  std::shared_ptr<FolderData> FolderWithRole(const std::string& role) const;
  // A fresh identifier for an object of this store ('F' folder, 'M' message).
  Bytes NewId(char kind);
  // Registers a folder and everything below it in the lookup maps.
  void Index(const std::shared_ptr<FolderData>& folder);
};

struct Profile {
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
PropBag AttachmentProps(const AttachmentData& attachment);

// Moves or copies a message into another folder, giving it a new identifier
// in the target's store (its search key and Internet message identifier
// stay); removes it from its folder when `move`.
std::shared_ptr<MessageData> CopyMessage(Profile& profile, const std::shared_ptr<MessageData>& message,
                                         FolderData& target, bool move);
// Removes a message from its folder and store; false when it is not in `folder`.
bool DeleteMessage(Profile& profile, FolderData& folder, const Bytes& id);

}  // namespace standin
