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

TMovedPairing PairMovedWithArrived(std::span<const TMovedMessage> moved, const TArrivedRows& arrived) {
  using TGroup = std::pair<std::vector<const TMovedMessage*>, std::vector<const TArrivedRow*>>;
  std::map<std::pair<std::string, std::string>, TGroup> groups;  // by search key and traits
  for (const TMovedMessage& m : moved)
    if (!m.searchKey.empty()) groups[{m.searchKey, m.traits}].first.push_back(&m);
  for (auto& [keyAndTraits, group] : groups)
    if (const auto rows = arrived.find(keyAndTraits.first); rows != arrived.end())
      for (const TArrivedRow& row : rows->second)
        if (row.traits == keyAndTraits.second) group.second.push_back(&row);
  TMovedPairing out;
  for (const auto& [keyAndTraits, group] : groups) PairGroup(group.first, group.second, out);
  return out;
}
