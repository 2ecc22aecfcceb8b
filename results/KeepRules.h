// Which copy of a group is proposed for keeping: a chain of rules, each
// narrowing the candidates to those it ranks best; a tie falls through to the
// next rule and finally to the copy added first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace results {

// One copy of a group as the rules see it, filled by the caller from the
// record and where it came from; no mail-system types.
struct TKeepCandidate {
  double received = 0;      // unset (0) or unreadable times rank last
  std::uint64_t size = 0;
  int attachments = 0;
  bool read = false;
  bool flagged = false;
  std::string store;        // the store's display name
  std::string path;         // folder path below the store root, "/"-joined
};

enum class EKeepRule {
  ReceivedFirst,
  ReceivedLast,
  Largest,
  MostAttachments,
  ReadOrFlagged,     // read or flagged copies before unread ones
  PreferredFolder,   // earlier entries of the folder list first
  EarliestAdded,     // the end of every chain; not written in a chain
};

// A folder-list entry names a folder as "path" or "store/path"; it also
// covers the folder's subfolders, so "Archive" prefers "Archive/2024" too.
// Letters compare without regard to ASCII case, as folder names do in a store.
struct TKeepStep {
  EKeepRule rule = EKeepRule::ReceivedFirst;
  std::vector<std::string> folders;  // PreferredFolder only
  bool operator==(const TKeepStep&) const = default;
};
using TKeepChain = std::vector<TKeepStep>;

TKeepChain DefaultKeepChain();  // "Received first": row 0 of today's groups

struct TKeepChoice {
  std::size_t index = 0;
  EKeepRule decidedBy = EKeepRule::EarliestAdded;
};

// The copy to keep; an empty group gives index 0 decided by EarliestAdded.
TKeepChoice ChooseKeep(std::span<const TKeepCandidate> candidates, const TKeepChain& chain);

// The rank of a candidate's folder in the list: the first entry covering it,
// or folders.size() when none does.
std::size_t FolderRank(const TKeepCandidate& c, const std::vector<std::string>& folders);

// A rule's language key and English text, for a "Kept because" column.
struct TKeepRuleText {
  const char* key;
  const char* english;
};
TKeepRuleText KeepRuleText(EKeepRule rule);

// The chain as written on the console and in the settings:
//   newest,folder:"Archive/2024",largest
// names: oldest, newest, largest, attachments, read, folder:"…" (several
// folder entries in a row form one ordered list; a '"' inside is doubled).
struct TKeepChainParse {
  bool ok = false;
  TKeepChain chain;
  std::string error;  // English, names the offending item
};
TKeepChainParse ParseKeepChain(std::string_view text);
std::string FormatKeepChain(const TKeepChain& chain);

}  // namespace results
