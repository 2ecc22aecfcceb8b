// A store whose messages are made on demand, each from the seed and its
// position alone, of the kinds a generated profile holds: new originals,
// exact copies of an earlier message (half of them of one in the same
// folder, as a repeated import leaves them, the others of any before) and
// near copies that differ from an earlier one in one field; with `realistic`, the traits of real
// mailboxes too (RealisticTraits.h). Nothing is kept per message, so a store
// of ten million messages costs no more than one of ten.
//
// The positions 0 .. messages-1 fill the mail folders of the store's
// subtree (those TakesMail names, in listing order) in equal runs.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "tools/profilegen/GenSupport.h"
#include "tools/profilegen/MessageWriter.h"

struct MailboxShape {
  std::uint32_t messages = 0;
  std::uint64_t seed = 1;
  double exact = 0.15;       // share of exact copies
  double nearCopies = 0.10;  // share of near copies
  std::uint32_t folders = 0; // mail folders "Mail folder 1" … added to the usual ones
  bool realistic = false;
};

class GeneratedMailbox {
 public:
  // The messages of one mail folder: positions first .. first+count-1.
  struct MailFolder {
    std::string id;  // the folder's "id" in Subtree()
    std::uint32_t first = 0, count = 0;
  };

  // Throws std::invalid_argument for shares outside 0..1 or adding up to more.
  GeneratedMailbox(const MailboxShape& shape, const std::string& storeName);

  // The IPM subtree with its folders and its few non-mail items, none of the
  // generated messages.
  const nlohmann::ordered_json& Subtree() const { return FSubtree; }
  const std::vector<MailFolder>& MailFolders() const { return FMailFolders; }
  // The index in MailFolders() of the folder a position is in.
  std::size_t MailFolderOf(std::uint32_t position) const;
  std::uint32_t Messages() const { return FSpec.messages; }
  bool Realistic() const { return FSpec.realistic; }

  // The message at `position` as a profile holds it ("id" first), or its
  // values written to `to` as they are made. Not for two threads at once:
  // the realistic traits are made a set at a time and the last sets kept.
  nlohmann::ordered_json Message(std::uint32_t position) const;
  void Message(std::uint32_t position, MessageWriter& to) const;
  // The eight bytes of a position's "id" ('G' and the position), and back;
  // nullopt for bytes that are no position of this store.
  static std::string IdBytes(std::uint32_t position);
  std::optional<std::uint32_t> PositionOf(const std::string& idBytes) const;

  // The subtree with every message in its folder: the profile this store
  // stands for.
  nlohmann::ordered_json Expanded() const;

 private:
  enum class Kind { Original, Exact, Near, Trait };
  Random RandomAt(std::uint32_t position) const;
  // The kind of a position, with the position it copies for a copy; `rnd`
  // is left where the message's own draws go on.
  Kind KindOf(std::uint32_t position, Random& rnd, std::uint32_t& copied) const;
  bool IsTrait(std::uint32_t position) const;
  nlohmann::ordered_json TraitAt(std::uint32_t position) const;

  MailboxShape FSpec;
  nlohmann::ordered_json FSubtree;
  std::vector<MailFolder> FMailFolders;
  int FUnits = 0, FMegabyteUnits = 0;  // realistic: trait sets, those with a 1 MB pair
  mutable std::map<std::uint32_t, std::vector<nlohmann::ordered_json>> FUnitCache;
};
