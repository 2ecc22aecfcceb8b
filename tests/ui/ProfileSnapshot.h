// The stand-in profile as it is at one moment: every folder of every store
// by its path ("Mailbox/Inbox/Projects") with its messages as the provider
// writes them (all properties and attachments, and the message's own "id").
// Tests build the state they expect from an earlier snapshot and compare.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/mapi/Standin.h"

struct TSnapshotFolder {
  std::string storeUid;  // 32 uppercase hex digits
  std::string id;        // the folder's own bytes in hex
  std::string role;      // "deleted", "inbox", ... or empty
  std::vector<nlohmann::json> messages;
};

class TProfileSnapshot {
 public:
  // Saves the stand-in's profile to a temporary file and reads it back.
  static TProfileSnapshot Take(TStandin& standin);
  explicit TProfileSnapshot(const nlohmann::json& profile);

  const std::map<std::string, TSnapshotFolder>& Folders() const { return FFolders; }
  std::size_t MessageCount() const;
  // The entry identifier text of the folder at `path`, as PickFolder takes it.
  std::string FolderEntryID(const std::string& path) const;
  // The path of the folder holding the message with this entry identifier
  // text; "" when no folder has it.
  std::string PathOf(const std::string& entryId) const;
  // The path of the Deleted Items folder (role "deleted") of the store that
  // holds the message; "" when there is none.
  std::string DeletedItemsOf(const std::string& entryId) const;

  // Editing an expected state: Take removes the message and returns it,
  // with the search key it is served with; Put adds a message as a copy
  // (without its "id": a copy gets a new one, but keeps the search key).
  nlohmann::json Take(const std::string& entryId);
  void Put(const std::string& path, nlohmann::json message);

  // Each folder's messages as sorted JSON texts; a message keeps its "id"
  // only when `known` has a message of that id in the same store, so fresh
  // copies compare by their properties alone.
  std::map<std::string, std::vector<std::string>> Contents(const TProfileSnapshot& known) const;

 private:
  bool Holds(const std::string& storeUid, const std::string& id) const;
  std::map<std::string, TSnapshotFolder> FFolders;
};

// Every folder of `actual` and `expected` holds the same messages; the
// failure names the folders that differ and how.
::testing::AssertionResult SameMessages(const TProfileSnapshot& expected, const TProfileSnapshot& actual,
                                        const TProfileSnapshot& known);
