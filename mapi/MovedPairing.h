// Which new row of a target is which moved message. A move gives a message a
// new entry identifier, so it is known in the target by what it keeps: its
// search key, shared by its copies, and its traits (size and last
// modification time), read before it was moved. Among several messages or
// rows of one key the traits decide; with `keyAlonePairs`, a key that one
// message and one row alone have pairs them whatever their traits (every
// message sent to the target is among `moved`, so the row can be no other's). Copies that cannot be told apart are never paired by position,
// unless they all came from one folder: then they go back to the same place
// whichever is which.
#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "mapi/MapiHeaders.h"

struct TMovedMessage {
  std::size_t list = 0;     // the journal's list it went in
  std::string entryID;      // text, before the move
  std::string searchKey;    // bytes
  std::string traits;       // MessageTraits, before the move
  std::string folder;       // the folder it came from (bytes)
};

// A row that arrived in the target during the treatment.
struct TArrivedRow {
  std::string entryID;  // bytes
  std::string traits;
};
using TArrivedRows = std::map<std::string, std::vector<TArrivedRow>>;  // by search key

struct TMovedPairing {
  std::vector<std::pair<const TMovedMessage*, std::string>> paired;  // with the row's entry id (bytes)
  std::vector<const TMovedMessage*> ambiguous;  // rows came, but which is its cannot be told
};

TMovedPairing PairMovedWithArrived(std::span<const TMovedMessage> moved, const TArrivedRows& arrived,
                                   bool keyAlonePairs);

// The traits of a message from its PR_MESSAGE_SIZE and PR_LAST_MODIFICATION_TIME
// values (either may be missing or an error value).
std::string MessageTraits(const SPropValue* size, const SPropValue* modified);
