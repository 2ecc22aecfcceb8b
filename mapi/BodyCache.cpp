#include "mapi/BodyCache.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "mapi/CnCRC32.h"

namespace {

constexpr char kMagic[4] = {'Q', 'B', 'C', 'F'};
constexpr std::size_t kHeaderBytes = 16;  // magic, version, count, checksum of the entries
constexpr std::size_t kEntryBytes = 32;

std::uint64_t Fnv(std::string_view s, std::uint64_t h) {
  for (unsigned char c : s) h = (h ^ c) * 0x100000001b3ULL;
  return h;
}

void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put64(unsigned char* p, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t Get32(const unsigned char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}
std::uint64_t Get64(const unsigned char* p) { return (std::uint64_t{Get32(p + 4)} << 32) | Get32(p); }

// The last word of an entry: the body's form in the top 2 bits, and a check
// of the first 28 bytes and the form in the rest (seeded, so that zeros do
// not check).
constexpr std::uint32_t kCheckBits = 0x3FFFFFFFu;
std::uint32_t CheckWord(const unsigned char* p, TBodyForm form) {
  const auto f = static_cast<unsigned char>(form);
  return (CRC32Calc(CRC32Calc(0x5bd1e995u, p, kEntryBytes - 4), &f, 1) & kCheckBits) | std::uint32_t{f} << 30;
}

}  // namespace

TBodyCacheKey BodyCacheKey(std::string_view storeEntryID, std::string_view messageEntryID, std::uint64_t modified,
                           std::uint32_t size) {
  TBodyCacheKey key;
  const std::uint64_t store = Fnv(storeEntryID, 0xcbf29ce484222325ULL);
  key.store = static_cast<std::uint32_t>(CRC32Calc(0xffffffffu, storeEntryID.data(), storeEntryID.size()));
  // The lengths go in too, so that no other split of the same bytes matches.
  key.id = Fnv(messageEntryID, Fnv(std::to_string(storeEntryID.size()) + ":" + std::to_string(messageEntryID.size()),
                                   store));
  key.modified = modified;
  key.size = size;
  return key;
}

TBodyCacheLoad TBodyCache::Load(const std::string& path) {
  entries_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return TBodyCacheLoad::missing;
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, 4) != 0) return TBodyCacheLoad::damaged;
  if (Get32(&bytes[4]) != kVersion) return TBodyCacheLoad::otherVersion;
  const std::uint64_t count = Get32(&bytes[8]);
  if (bytes.size() != kHeaderBytes + count * kEntryBytes) return TBodyCacheLoad::damaged;
  const unsigned char* entries = bytes.data() + kHeaderBytes;
  if (CRC32Calc(0xffffffffu, entries, count * kEntryBytes) != Get32(&bytes[12])) return TBodyCacheLoad::damaged;
  std::unordered_map<std::uint64_t, TEntry> loaded;
  loaded.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    const unsigned char* p = entries + i * kEntryBytes;
    const std::uint32_t word = Get32(p + 28);
    const auto form = static_cast<TBodyForm>(word >> 30);
    if (CheckWord(p, form) != word) return TBodyCacheLoad::damaged;
    loaded[Get64(p)] =
        TEntry{Get32(p + 8), Get64(p + 12), Get32(p + 20), static_cast<std::int32_t>(Get32(p + 24)), form};
  }
  entries_ = std::move(loaded);
  return TBodyCacheLoad::loaded;
}

bool TBodyCache::Save(const std::string& path) const {
  std::vector<unsigned char> bytes(kHeaderBytes + entries_.size() * kEntryBytes);
  unsigned char* p = bytes.data() + kHeaderBytes;
  for (const auto& [id, e] : entries_) {
    Put64(p, id);
    Put32(p + 8, e.store);
    Put64(p + 12, e.modified);
    Put32(p + 20, e.size);
    Put32(p + 24, static_cast<std::uint32_t>(e.crc));
    Put32(p + 28, CheckWord(p, e.form));
    p += kEntryBytes;
  }
  std::memcpy(bytes.data(), kMagic, 4);
  Put32(&bytes[4], kVersion);
  Put32(&bytes[8], static_cast<std::uint32_t>(entries_.size()));
  Put32(&bytes[12], CRC32Calc(0xffffffffu, bytes.data() + kHeaderBytes, bytes.size() - kHeaderBytes));
  const std::string fresh = path + ".new";
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(fresh, path, error);
  if (error) std::filesystem::remove(fresh, error);
  return !error;
}

bool TBodyCache::Find(const TBodyCacheKey& key, std::int32_t& crc, TBodyForm& form) const {
  if (key.modified == 0) return false;
  const auto it = entries_.find(key.id);
  if (it == entries_.end()) return false;
  const TEntry& e = it->second;
  if (e.store != key.store || e.modified != key.modified || e.size != key.size) return false;
  crc = e.crc;
  form = e.form;
  return true;
}

void TBodyCache::Put(const TBodyCacheKey& key, std::int32_t crc, TBodyForm form) {
  if (key.modified == 0) return;  // a change could not be told
  entries_[key.id] = TEntry{key.store, key.modified, key.size, crc, form, true};
}

void TBodyCache::MarkPresent(const TBodyCacheKey& key) {
  const auto it = entries_.find(key.id);
  if (it != entries_.end() && it->second.store == key.store) it->second.present = true;
}

void TBodyCache::DropAbsent(std::uint32_t store) {
  for (auto it = entries_.begin(); it != entries_.end();)
    it = (it->second.store == store && !it->second.present) ? entries_.erase(it) : std::next(it);
}
