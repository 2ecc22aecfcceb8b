// Each store's Deleted Items, read once for a decision that depends on
// whether a folder is one: the guard before a treatment asks it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "mapi/MapiHeaders.h"
#include "mapi/MessageOrigins.h"

struct TStoreDeletedItems {
  std::string store;          // the store's display name, as the message origins record it
  std::string folderEntryID;  // uppercase hex; empty when the store has none or `error` says why
  std::string error;          // why the store's Deleted Items could not be read
};

// Every store of the session's profile. A store that cannot be opened or
// asked has its failure in `error`; the stores table failing raises.
std::vector<TStoreDeletedItems> ReadStoresDeletedItems(IMAPISession* session);

// Whether a collected message is in its store's Deleted Items, told from
// its recorded folder; every store is read once, when this is made.
class TDeletedItemsFolders {
 public:
  // A failure to read is kept for Failures, never raised.
  TDeletedItemsFolders(IMAPISession* session, const TMessageOrigins& origins);
  // Whether the message is in Deleted Items, or not known to be elsewhere:
  // its folder was not recorded, or its store's Deleted Items not read.
  bool MayHold(const std::string& entryID);
  // How many messages MayHold answered without knowing.
  long Unknown() const { return FUnknown; }
  // What could not be read, "store: reason" each.
  const std::vector<std::string>& Failures() const { return FFailures; }

 private:
  const TMessageOrigins& FOrigins;
  std::set<std::string> FFolders;       // each store's Deleted Items (uppercase hex)
  std::set<std::string> FUnreadStores;  // by display name
  bool FNoneRead = false;               // the stores could not be listed
  long FUnknown = 0;
  std::vector<std::string> FFailures;
};
