// The body CRCs of messages opened by earlier searches, kept in a file
// beside the index, so that a search of an unchanged mailbox opens none.
//
// An entry is 32 bytes: a 64-bit hash of the store's and the message's
// entry identifiers, a 32-bit hash of the store's alone, the message's
// PR_LAST_MODIFICATION_TIME and PR_MESSAGE_SIZE as its contents-table row
// gave them, the body CRC, and in one word the form the CRC was taken from
// (2 bits) and a check of the entry (30 bits). It answers only for the
// same identifiers, time and size; a message without a modification time is
// never kept. A file that is missing, cut short, of another version or
// whose checksum fails is not used at all: a wrong CRC would make a false
// duplicate. Only the body is kept; To, Cc, Bcc and attachments are read
// from the message each time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "mapi/BodyForm.h"

struct TBodyCacheKey {
  std::uint64_t id = 0;     // store and message entry identifiers
  std::uint32_t store = 0;  // store entry identifier
  std::uint64_t modified = 0;
  std::uint32_t size = 0;
};

// `storeEntryID` and `messageEntryID` as bytes or text, the same each run.
TBodyCacheKey BodyCacheKey(std::string_view storeEntryID, std::string_view messageEntryID, std::uint64_t modified,
                           std::uint32_t size);

enum class TBodyCacheLoad { loaded, missing, damaged, otherVersion };

class TBodyCache {
 public:
  // Bump whenever the body CRC is taken differently.
  static constexpr std::uint32_t kVersion = 2;

  // Empty unless `loaded`.
  TBodyCacheLoad Load(const std::string& path);
  // Writes a new file and puts it in place of the old; false when it could not.
  bool Save(const std::string& path) const;
  void Clear() { entries_.clear(); }

  bool Find(const TBodyCacheKey& key, std::int32_t& crc, TBodyForm& form) const;
  void Put(const TBodyCacheKey& key, std::int32_t crc, TBodyForm form);
  // A message of the store is still there; with DropAbsent, after a store
  // was walked whole, the entries of its messages gone are dropped.
  void MarkPresent(const TBodyCacheKey& key);
  void DropAbsent(std::uint32_t store);

  std::size_t Size() const { return entries_.size(); }

 private:
  struct TEntry {
    std::uint32_t store = 0;
    std::uint64_t modified = 0;
    std::uint32_t size = 0;
    std::int32_t crc = 0;
    TBodyForm form = TBodyForm::None;
    bool present = false;  // in memory only
  };
  std::unordered_map<std::uint64_t, TEntry> entries_;
};
