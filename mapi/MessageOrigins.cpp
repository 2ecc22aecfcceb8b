#include "mapi/MessageOrigins.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::uint32_t kAmbiguous = 0xFFFFFFFFu;

// FNV-1a over the id with upper-case hex digits, from two starting points:
// "00ab" and "00AB" are the same id.
std::uint64_t HashID(std::string_view id, std::uint64_t basis) {
  std::uint64_t h = basis;
  for (char c : id) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001B3ull;
  }
  return h;
}

constexpr std::uint64_t kBasis = 0xCBF29CE484222325ull;
constexpr std::uint64_t kCheckBasis = 0x84222325CBF29CE4ull;

}  // namespace

void TMessageOrigins::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  folders_.clear();
  sorted_ = true;
}

std::uint32_t TMessageOrigins::AddFolder(TFolderOrigin folder) {
  folders_.push_back(std::move(folder));
  return static_cast<std::uint32_t>(folders_.size() - 1);
}

void TMessageOrigins::Add(std::string_view entryIDHex, std::uint32_t folder, bool flagged, int attachments,
                          TBodyForm body) {
  if (folder > kMaxFolders) throw std::out_of_range("too many folders for the message origins");
  const auto check = static_cast<std::uint32_t>(HashID(entryIDHex, kCheckBasis) >> 32);
  const auto count = static_cast<std::uint32_t>(std::clamp(attachments, 0, kMaxAttachments));
  slots_.push_back(TSlot{HashID(entryIDHex, kBasis), check, folder << 11 | static_cast<std::uint32_t>(body) << 9 | count << 1 |
                                                                         (flagged ? 1u : 0u)});
  sorted_ = false;
}

void TMessageOrigins::Finish() {
  std::sort(slots_.begin(), slots_.end(), [](const TSlot& a, const TSlot& b) { return a.hash < b.hash; });
  // Equal hashes with different answers cannot be told apart: none is kept.
  std::vector<TSlot> kept;
  kept.reserve(slots_.size());
  for (const TSlot& s : slots_) {
    if (!kept.empty() && kept.back().hash == s.hash) {
      if (kept.back().folderAndFlag != s.folderAndFlag || kept.back().check != s.check)
        kept.back().folderAndFlag = kAmbiguous;
      continue;
    }
    kept.push_back(s);
  }
  slots_ = std::move(kept);
  sorted_ = true;
}

TMessageOrigin TMessageOrigins::OriginOf(const TSlot& slot) const {
  const std::uint32_t folder = slot.folderAndFlag >> 11;
  if (slot.folderAndFlag == kAmbiguous || folder >= folders_.size()) return {};
  return TMessageOrigin{&folders_[folder], (slot.folderAndFlag & 1u) != 0,
                        static_cast<int>((slot.folderAndFlag >> 1) & 0xFFu),
                        static_cast<TBodyForm>((slot.folderAndFlag >> 9) & 3u)};
}

TMessageOrigin TMessageOrigins::Find(std::string_view entryIDHex) const {
  const std::uint64_t hash = HashID(entryIDHex, kBasis);
  const auto check = static_cast<std::uint32_t>(HashID(entryIDHex, kCheckBasis) >> 32);
  if (!sorted_) {
    const TSlot* found = nullptr;
    for (const TSlot& s : slots_) {
      if (s.hash != hash) continue;
      if (found && (found->folderAndFlag != s.folderAndFlag || found->check != s.check)) return {};
      found = &s;
    }
    return found && found->check == check ? OriginOf(*found) : TMessageOrigin{};
  }
  const auto it = std::lower_bound(slots_.begin(), slots_.end(), hash,
                                   [](const TSlot& s, std::uint64_t h) { return s.hash < h; });
  if (it == slots_.end() || it->hash != hash || it->check != check) return {};
  return OriginOf(*it);
}
