#include "mapi/MovedPairing.h"

#include <algorithm>
#include <utility>

std::string MessageTraits(const SPropValue* size, const SPropValue* modified) {
  std::string traits = "size:";
  if (size && size->ulPropTag == PR_MESSAGE_SIZE) traits += std::to_string(size->Value.l);
  traits += ";modified:";
  if (modified && modified->ulPropTag == PR_LAST_MODIFICATION_TIME)
    traits += std::to_string(modified->Value.ft.dwHighDateTime) + "." +
              std::to_string(modified->Value.ft.dwLowDateTime);
  return traits;
}

namespace {

// One search key's messages and rows with the same traits: paired only when
// they are as many and the messages all came from one folder.
void PairGroup(const std::vector<const TMovedMessage*>& messages, const std::vector<const TArrivedRow*>& rows,
               TMovedPairing& out) {
  if (rows.empty()) return;
  const bool oneFolder = std::all_of(messages.begin(), messages.end(),
                                     [&](const TMovedMessage* m) { return m->folder == messages.front()->folder; });
  if (rows.size() != messages.size() || !oneFolder) {
    out.ambiguous.insert(out.ambiguous.end(), messages.begin(), messages.end());
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) out.paired.emplace_back(messages[i], rows[i]->entryID);
}

}  // namespace

TMovedPairing PairMovedWithArrived(std::span<const TMovedMessage> moved, const TArrivedRows& arrived,
                                   bool keyAlonePairs) {
  // By search key first: one message and one row of a key are each other's
  // whatever their traits, which a move into another store may change (the
  // size is the store's own measure).
  std::map<std::string, std::vector<const TMovedMessage*>> byKey;
  for (const TMovedMessage& m : moved)
    if (!m.searchKey.empty()) byKey[m.searchKey].push_back(&m);
  using TGroup = std::pair<std::vector<const TMovedMessage*>, std::vector<const TArrivedRow*>>;
  std::map<std::pair<std::string, std::string>, TGroup> groups;  // by search key and traits
  TMovedPairing out;
  for (const auto& [key, messages] : byKey) {
    const auto rows = arrived.find(key);
    if (rows == arrived.end()) continue;
    if (keyAlonePairs && messages.size() == 1 && rows->second.size() == 1) {
      out.paired.emplace_back(messages.front(), rows->second.front().entryID);
      continue;
    }
    for (const TMovedMessage* m : messages) groups[{key, m->traits}].first.push_back(m);
    for (const TArrivedRow& row : rows->second)
      if (const auto group = groups.find({key, row.traits}); group != groups.end()) group->second.second.push_back(&row);
  }
  for (const auto& [keyAndTraits, group] : groups) PairGroup(group.first, group.second, out);
  return out;
}
