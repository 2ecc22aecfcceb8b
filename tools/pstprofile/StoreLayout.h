// What a .pst or .ost file says about its store: the store's keys, its IPM
// subtree and which folders are the special ones.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "tools/pstprofile/PffItem.h"

struct StoreLayout {
  std::string name;       // the store's display name, else the file name without extension
  std::string recordKey;  // the store record's PR_RECORD_KEY (16 bytes), or empty
  std::string kind;       // "pst" or "exchange-cached"
  bool unicode = false;   // a Unicode (64-bit) file
  PffItem subtree;        // the IPM subtree; empty when the file has none
  std::map<std::uint32_t, std::string> roles;  // folder node id -> role
};

// The IPM subtree is the folder the store record's PR_IPM_SUBTREE_ENTRYID
// names (a PST); without one (an OST, whose store record lacks it) it is the
// folder "IPM_SUBTREE" of the mailbox root "Root - Mailbox" -- never the one
// of "Root - Public", the empty public-folder tree an OST also holds.
//
// Roles: deleted, sent and outbox from the store record's entry identifiers,
// drafts and junk from those on the root folder or the Inbox, when they name
// a folder of this file (a PST's identifiers end in the folder's node id; an
// OST holds server identifiers that do not). The inbox, and any role still
// unknown, by the English default name of a folder directly under the subtree.
StoreLayout ReadStoreLayout(libpff_file_t* file, const std::string& path);

// The node id that a PST entry identifier (4 flag bytes, the store's record
// key, the node id) names, or 0 when it is not one of this store's.
std::uint32_t NodeOfEntryId(const std::string& entryId, const std::string& recordKey);
