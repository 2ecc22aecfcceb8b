#include "mapi/StagedMessages.h"

#include <string_view>

#include "indexapi/CompareFields.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

// 64-bit FNV-1a; a collision only opens more messages.
std::uint64_t Hash(std::string_view s, std::uint64_t h) {
  for (unsigned char c : s) h = (h ^ c) * 0x100000001b3ULL;
  return h;
}

// The store part of a hex entry identifier, as the index tells folder runs apart.
std::string_view StorePart(std::string_view entryID) {
  return entryID.size() > 8 ? entryID.substr(8, 32) : std::string_view();
}

}  // namespace

std::uint64_t StageOneKey(const TCollectedMessage& m, std::int32_t mask, const std::string& folderPart) {
  // Each part with its length first, so that no two splits give the same bytes.
  std::string key;
  const auto part = [&key](std::string_view s) {
    key += std::to_string(s.size());
    key += ':';
    key.append(s.data(), s.size());
  };
  part(folderPart);
  if (mask & FIELD_SUBJECT) part(Trimmed(m.subject));
  if (mask & FIELD_FROM) part(Trimmed(m.senderName));
  if (mask & FIELD_SENDER_EMAIL) part(LowerAscii(Trimmed(m.senderEmail)));
  if (mask & FIELD_SIZE) part(std::to_string(m.size));
  if (mask & FIELD_UNREAD) part(m.read ? "1" : "0");
  return Hash(key, 0xcbf29ce484222325ULL);
}

void TStagedMessages::Begin(std::int32_t mask, bool acrossFolders) {
  Clear();
  mask_ = mask;
  acrossFolders_ = acrossFolders;
}

void TStagedMessages::Clear() {
  std::vector<TStagedFolder>().swap(folders_);
  std::vector<TStagedMessage>().swap(messages_);
  std::unordered_map<std::uint64_t, std::uint32_t>().swap(counts_);
}

std::uint32_t TStagedMessages::AddFolder(TStagedFolder folder) {
  folders_.push_back(std::move(folder));
  return static_cast<std::uint32_t>(folders_.size() - 1);
}

void TStagedMessages::Add(TCollectedMessage m, bool complete) {
  TStagedMessage held;
  held.folder = static_cast<std::uint32_t>(folders_.size() - 1);
  std::string folderPart;
  if (!acrossFolders_)
    folderPart = std::string(Trimmed(folders_.back().name)) + "|" + UpperAscii(StorePart(m.entryID));
  held.key = StageOneKey(m, mask_, folderPart);
  held.lengths[0] = static_cast<std::uint32_t>(m.entryID.size());
  held.lengths[1] = static_cast<std::uint32_t>(m.subject.size());
  held.lengths[2] = static_cast<std::uint32_t>(m.senderName.size());
  held.texts.reserve(m.entryID.size() + m.subject.size() + m.senderName.size() + m.senderEmail.size());
  held.texts.append(m.entryID).append(m.subject).append(m.senderName).append(m.senderEmail);
  held.received = m.received;
  held.sent = m.sent;
  held.modified = m.modified;
  held.size = m.size;
  held.attachments = m.attachments;
  held.read = m.read;
  held.flagged = m.flagged;
  if (complete) held.whole = std::make_unique<TCollectedMessage>(std::move(m));
  std::uint32_t& count = counts_[held.key];
  if (count < 2) ++count;
  messages_.push_back(std::move(held));
}

TCollectedMessage TStagedMessage::Fields() const {
  if (whole) return *whole;
  TCollectedMessage m;
  const std::string_view t = texts;
  const std::size_t subjectAt = lengths[0], nameAt = subjectAt + lengths[1], emailAt = nameAt + lengths[2];
  m.entryID = t.substr(0, lengths[0]);
  m.subject = t.substr(subjectAt, lengths[1]);
  m.senderName = t.substr(nameAt, lengths[2]);
  m.senderEmail = t.substr(emailAt);
  m.received = received;
  m.sent = sent;
  m.modified = modified;
  m.size = size;
  m.attachments = attachments;
  m.read = read;
  m.flagged = flagged;
  return m;
}

bool TStagedMessages::IsCandidate(const TStagedMessage& m) const {
  if (m.whole) return false;
  const auto it = counts_.find(m.key);
  return it != counts_.end() && it->second >= 2;
}
