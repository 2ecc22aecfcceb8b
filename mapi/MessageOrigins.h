// Where each collected message came from, recorded during the collection run,
// looked up by the record's entry id (uppercase hex, as the index holds it).
//
// Compact: 16 bytes a message (a 64-bit hash of the entry id, a 32-bit check
// hash, and in 32 bits the folder index, the body's form, the flag and the
// attachment count)
// plus one row per folder; no text is
// kept per message. Two entry ids with the same 64-bit hash and different
// origins are both answered "not recorded" rather than one of them wrongly;
// an id never recorded would need both hashes to collide (96 bits) to be
// answered with another message's origin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "mapi/BodyForm.h"

struct TFolderOrigin {
  std::string store;          // the store's display name
  std::string path;           // folder path below the store root, "/"-joined, e.g. "Inbox/Archive/2024"
  std::string folderEntryID;  // uppercase hex
};

struct TMessageOrigin {
  const TFolderOrigin* folder = nullptr;  // null: not recorded
  bool flagged = false;                   // PR_FLAG_STATUS == followupFlagged (2)
  int attachments = 0;                    // as collected; kMaxAttachments at most
  TBodyForm body = TBodyForm::None;       // the form whose CRC was compared
};

class TMessageOrigins {
 public:
  // Counts above these are kept as the most (only a ranking uses them), and
  // a folder index above the most is refused.
  static constexpr int kMaxAttachments = 255;
  static constexpr std::uint32_t kMaxFolders = (1u << 21) - 2;  // all ones is the ambiguous mark
  void Clear();
  // Adds a folder; the index to pass to Add. Folder rows keep their address
  // until Clear.
  std::uint32_t AddFolder(TFolderOrigin folder);
  void Add(std::string_view entryIDHex, std::uint32_t folder, bool flagged, int attachments = 0,
           TBodyForm body = TBodyForm::None);
  // Sorts for lookup; called at the end of a run. Find works before too,
  // scanning every message.
  void Finish();

  TMessageOrigin Find(std::string_view entryIDHex) const;
  std::size_t Size() const { return slots_.size(); }
  const std::deque<TFolderOrigin>& Folders() const { return folders_; }

 private:
  struct TSlot {
    std::uint64_t hash;
    std::uint32_t check;
    std::uint32_t folderAndFlag;  // folder index << 11 | body form << 9 | attachments << 1 | flagged
  };
  TMessageOrigin OriginOf(const TSlot& slot) const;

  std::vector<TSlot> slots_;
  std::deque<TFolderOrigin> folders_;
  bool sorted_ = true;
};
