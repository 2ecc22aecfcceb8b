// What the duplicate groups of a stand-in profile must be, worked out from
// the profile's JSON alone, without MAPI or the index: each mail message's
// twelve fields as a store serves them, and which messages are equal under a
// field mask by the README's matching rules. Tests hold the product's groups
// against it.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct TTruthMessage {
  std::string entryID;  // the record's text: 4 zero bytes, store UID, id
  std::string store, folder;
  // Indexed by bit position of the field identifier (0x001 -> 0, ...).
  std::string fields[12];
};

class TProfileTruth {
 public:
  explicit TProfileTruth(const nlohmann::json& profile);

  // Mail messages (folders of class none, "" or IPF.Note) by entry identifier.
  const std::map<std::string, TTruthMessage>& Messages() const { return FMessages; }
  // The comparison key of a message under a mask: equal keys, equal messages.
  std::string Key(const TTruthMessage& message, std::int32_t mask) const;

 private:
  void Walk(const nlohmann::json& folder, const std::string& uid, const std::string& path);
  std::map<std::string, TTruthMessage> FMessages;
};
