#include "tools/profilegen/GeneratedMailbox.h"

#include <algorithm>
#include <stdexcept>

#include "tools/profilegen/MailParts.h"
#include "tools/profilegen/RealisticTraits.h"

using nlohmann::ordered_json;

namespace {

// splitmix64's finaliser: unrelated seeds for neighbouring positions.
std::uint64_t Mix(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

constexpr std::uint64_t kGeneratedIdMark = 0x4700000000000000ULL;  // 'G'
constexpr std::uint32_t kUnitSpan = 200;                           // positions per set of traits
// Messages of one set of traits, and of the pair of 1 MB bodies some sets add.
constexpr std::uint32_t kUnitMessages = 16, kMegabyteMessages = 2;

void CollectMail(ordered_json& folder, std::vector<ordered_json*>& out) {
  if (TakesMail(folder)) out.push_back(&folder);
  for (auto& child : folder["folders"]) CollectMail(child, out);
}

}  // namespace

GeneratedMailbox::GeneratedMailbox(const MailboxShape& shape, const std::string& storeName) : FSpec(shape) {
  if (!(shape.exact >= 0 && shape.nearCopies >= 0 && shape.exact + shape.nearCopies <= 1))
    throw std::invalid_argument("shares of copies must be from 0 to 1 and add up to 1 at most");
  IdCounter ids;
  FSubtree = StoreSubtree(storeName, 0, false, ids);
  for (std::uint32_t k = 1; k <= shape.folders; ++k)
    FSubtree["folders"].push_back(NewFolder("Mail folder " + std::to_string(k), "IPF.Note", nullptr, ids));
  std::vector<ordered_json*> mail;
  for (auto& child : FSubtree["folders"]) CollectMail(child, mail);
  const std::uint64_t n = shape.messages;
  for (std::size_t j = 0; j < mail.size(); ++j) {
    const auto first = static_cast<std::uint32_t>(n * j / mail.size());
    const auto end = static_cast<std::uint32_t>(n * (j + 1) / mail.size());
    FMailFolders.push_back({(*mail[j])["id"].get<std::string>(), first, end - first});
  }
  if (shape.realistic) {
    const TraitCounts counts = TraitCountsFor(static_cast<int>(std::min<std::uint32_t>(shape.messages, 0x7FFFFFFF)));
    FUnits = counts.units;
    FMegabyteUnits = counts.megabyte;
  }
}

Random GeneratedMailbox::RandomAt(std::uint32_t position) const { return Random(Mix(FSpec.seed ^ Mix(position + 1ULL))); }

std::size_t GeneratedMailbox::MailFolderOf(std::uint32_t position) const {
  auto it = std::upper_bound(FMailFolders.begin(), FMailFolders.end(), position,
                             [](std::uint32_t p, const MailFolder& f) { return p < f.first; });
  // An empty run starts where the next one does, so the last run starting
  // at or before the position is never empty.
  return static_cast<std::size_t>(it - FMailFolders.begin()) - 1;
}

bool GeneratedMailbox::IsTrait(std::uint32_t position) const {
  if (!FSpec.realistic) return false;
  const std::uint32_t unit = position / kUnitSpan;
  if (unit >= static_cast<std::uint32_t>(FUnits)) return false;
  const std::uint32_t slots = kUnitMessages + (unit < static_cast<std::uint32_t>(FMegabyteUnits) ? kMegabyteMessages : 0);
  return position % kUnitSpan < slots;
}

GeneratedMailbox::Kind GeneratedMailbox::KindOf(std::uint32_t position, Random& rnd, std::uint32_t& copied) const {
  if (IsTrait(position)) return Kind::Trait;
  const double roll = rnd.Fraction();
  if (position == 0 || roll >= FSpec.exact + FSpec.nearCopies) return Kind::Original;
  const MailFolder& folder = FMailFolders[MailFolderOf(position)];
  if (rnd.Below(2) == 0 && folder.first < position) copied = folder.first + rnd.Below(position - folder.first);
  else copied = rnd.Below(position);
  return roll < FSpec.exact ? Kind::Exact : Kind::Near;
}

// A set of traits is made whole, into one folder, and its messages take the
// first positions of their span in the order they were made. Their "id"
// is the caller's to set.
ordered_json GeneratedMailbox::TraitAt(std::uint32_t position) const {
  const std::uint32_t unit = position / kUnitSpan;
  auto cached = FUnitCache.find(unit);
  if (cached == FUnitCache.end()) {
    ordered_json collector = {{"messages", ordered_json::array()}, {"folders", ordered_json::array()}};
    const TraitFolders all{{&collector}, {&collector}, {&collector}, {&collector}};
    Random rnd(Mix(Mix(FSpec.seed) ^ (0x5452414954ULL << 24 | unit)));
    const TraitCounts counts{1, unit < static_cast<std::uint32_t>(FMegabyteUnits) ? 1 : 0};
    AddRealisticTraits(all, counts, rnd, [] { return std::string(); });
    auto& made = collector["messages"];
    if (made.size() != kUnitMessages + counts.megabyte * kMegabyteMessages)
      throw std::logic_error("a set of traits no longer has the messages its positions expect");
    if (FUnitCache.size() >= 2) FUnitCache.erase(FUnitCache.begin());
    cached = FUnitCache.emplace(unit, std::vector<ordered_json>(made.begin(), made.end())).first;
  }
  return cached->second.at(position % kUnitSpan);
}

// A copy is a copy of whatever the position it copies holds: the copies are
// followed back to the message they all come from, and the changes of the
// near copies on the way made again in their order. Realistic messages are
// made as JSON first, since their identifiers come from the whole content.
void GeneratedMailbox::Message(std::uint32_t position, MessageWriter& to) const {
  ordered_json json;
  JsonMessageWriter jsonWriter(json);
  MessageWriter& m = FSpec.realistic ? jsonWriter : to;
  std::vector<Random> changes;  // of the near copies on the way, each with its own draws
  for (std::uint32_t at = position;;) {
    Random rnd = RandomAt(at);
    std::uint32_t copied = 0;
    const Kind kind = KindOf(at, rnd, copied);
    if (kind == Kind::Trait) {
      Replay(TraitAt(at), m);
      break;
    }
    if (kind == Kind::Original) {
      NewMessage(rnd, std::string(), m);
      break;
    }
    if (kind == Kind::Near) changes.push_back(rnd);
    at = copied;  // always earlier, so this ends
  }
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) MakeNearCopy(m, *it);
  m.Text("id", Hex(kGeneratedIdMark | position, 8));
  if (!FSpec.realistic) return;
  if (!changes.empty()) {
    // Another message: the identifiers a copy keeps are not its.
    json.erase("searchKey");
    json.erase("internetMessageId");
  }
  AddIdentifiers(json);
  Replay(json, to);
}

ordered_json GeneratedMailbox::Message(std::uint32_t position) const {
  ordered_json m;
  JsonMessageWriter writer(m);
  Message(position, writer);
  return m;
}

std::string GeneratedMailbox::IdBytes(std::uint32_t position) {
  const std::uint64_t id = kGeneratedIdMark | position;
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(id >> (56 - 8 * i));
  return bytes;
}

std::optional<std::uint32_t> GeneratedMailbox::PositionOf(const std::string& idBytes) const {
  if (idBytes.size() != 8 || idBytes.compare(0, 4, std::string("G\0\0\0", 4)) != 0) return std::nullopt;
  std::uint32_t position = 0;
  for (int i = 4; i < 8; ++i) position = position << 8 | static_cast<unsigned char>(idBytes[i]);
  if (position >= FSpec.messages) return std::nullopt;
  return position;
}

ordered_json GeneratedMailbox::Expanded() const {
  ordered_json subtree = FSubtree;
  std::vector<ordered_json*> mail;
  for (auto& child : subtree["folders"]) CollectMail(child, mail);
  for (std::size_t j = 0; j < mail.size(); ++j) {
    const MailFolder& f = FMailFolders[j];
    for (std::uint32_t p = f.first; p < f.first + f.count; ++p) (*mail[j])["messages"].push_back(Message(p));
  }
  return subtree;
}
