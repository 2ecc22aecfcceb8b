// The messages of a run held between its two stages. Stage 1 keeps every
// message as its contents-table row gave it, in the order read; stage 2
// opens only those whose row shares every compared field a row gives with
// another held row, for the fields only an opened message gives. A message
// alone on those fields is in no group whatever its body says.
//
// The key of stage 1 is never finer than the index's rules (texts trimmed,
// the sender address in any ASCII case, the folder run by folder name and
// store); dates are left out, which only opens more messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mapi/CollectedMessage.h"

struct TStagedFolder {
  std::size_t store = 0;      // the run's store, by position
  std::string entryID, name;  // folder entry identifier (hex) and display name
  std::uint32_t origin = 0;   // its row in the run's origins
  bool unicode = false;
};

// A held row, packed: a million of them are held at once.
struct TStagedMessage {
  std::string texts;  // entry identifier, subject, sender name, sender address, back to back
  std::uint32_t lengths[3] = {};  // of the first three
  TDateTime received = 0, sent = 0;
  std::uint64_t modified = 0, key = 0;
  std::int32_t size = 0, attachments = 0;
  std::uint32_t folder = 0;  // position in Folders()
  bool read = false, flagged = false;
  std::unique_ptr<TCollectedMessage> whole;  // read whole in stage 1: a row the table cut

  std::string_view EntryID() const { return std::string_view(texts).substr(0, lengths[0]); }
  // The record's fields as stage 1 read them.
  TCollectedMessage Fields() const;
};

class TStagedMessages {
 public:
  // `mask`: the compared fields; `acrossFolders` false keys each folder apart.
  void Begin(std::int32_t mask, bool acrossFolders);
  void Clear();
  std::uint32_t AddFolder(TStagedFolder folder);
  // `complete`: every compared field read in stage 1 (a message read whole).
  void Add(TCollectedMessage m, bool complete);

  // Whether stage 2 must open the message: it lacks the opened fields and
  // shares its key with another held message.
  bool IsCandidate(const TStagedMessage& m) const;

  const std::vector<TStagedMessage>& Messages() const { return messages_; }
  const std::vector<TStagedFolder>& Folders() const { return folders_; }

 private:
  std::int32_t mask_ = 0;
  bool acrossFolders_ = true;
  std::vector<TStagedFolder> folders_;
  std::vector<TStagedMessage> messages_;
  std::unordered_map<std::uint64_t, std::uint32_t> counts_;  // held messages by key, capped at 2
};

// The key of stage 1: the fields of `mask` a row gives, as the index compares
// them or coarser, and `folderPart` (empty across folders).
std::uint64_t StageOneKey(const TCollectedMessage& m, std::int32_t mask, const std::string& folderPart);
