// The parts every generated mailbox is made of, whether a whole profile is
// written at once (ProfileGenerator) or a store's messages are made on
// demand (GeneratedMailbox): a store's folders, a new message, a near copy.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/profilegen/GenSupport.h"
#include "tools/profilegen/MessageWriter.h"

extern const std::vector<std::string> kPeople;
extern const std::vector<std::string> kWords;

// The running count behind the identifiers of one profile or store:
// 'F' for folders, 'M' for messages, eight bytes in hex.
class IdCounter {
 public:
  std::string Folder() { return Hex(0x4600000000000000ULL | ++FLast, 8); }
  std::string Message() { return Hex(0x4D00000000000000ULL | ++FLast, 8); }

 private:
  std::uint64_t FLast = 0;
};

nlohmann::ordered_json NewFolder(const std::string& name, const char* cls, const char* role, IdCounter& ids);
// A non-mail item (a contact, an appointment).
nlohmann::ordered_json NewItem(const char* messageClass, const std::string& subject, const std::string& id);

// The IPM subtree of store `index` (from 0) named `storeName`: Inbox with
// Customers and Newsletters, the special folders, Calendar and Contacts with
// one item each, Tasks, To-Do List, Outlook Today, Projects with Alpha, and
// "Bulk mail" at the end when asked for.
nlohmann::ordered_json StoreSubtree(const std::string& storeName, int index, bool bulkMail, IdCounter& ids);

// Whether ordinary mail goes into the folder: a mail class (IPF.Note, empty
// or none) and not Drafts, Junk E-mail or RSS Feeds.
bool TakesMail(const nlohmann::ordered_json& folder);

// A new original mail message with identifier `id`, about three in ten with
// one or two attachments.
void NewMessage(Random& rnd, const std::string& id, MessageWriter& to);
nlohmann::ordered_json NewMessage(Random& rnd, const std::string& id);
// Changes a copy in one field: subject, body, To, size or sent time.
void MakeNearCopy(MessageWriter& copy, Random& rnd);
void MakeNearCopy(nlohmann::ordered_json& copy, Random& rnd);
