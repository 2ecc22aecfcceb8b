#include "standin/TextPool.h"

#include <cstring>
#include <stdexcept>

namespace standin {
namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr std::size_t kOwnBlockOver = kBlockBytes / 4;

// FNV-1a.
std::uint32_t HashOf(std::string_view text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : text) h = (h ^ c) * 16777619u;
  return h;
}

std::string_view ViewAt(const char* p) {
  std::uint32_t size;
  std::memcpy(&size, p, sizeof size);
  return {p + sizeof size, size};
}

}  // namespace

TextPool::~TextPool() {
  for (std::size_t i = 0; i < FBlocks.size(); ++i) ModelAllocator<char>().deallocate(FBlocks[i], FBlockSizes[i]);
}

const char* TextPool::Copy(std::string_view text) {
  if (text.size() > 0xFFFFFFF0u) throw std::length_error("a text of 4 GB");
  const std::size_t need = sizeof(std::uint32_t) + text.size();
  char* at;
  if (need > kOwnBlockOver || need > FFreeBytes) {
    const std::size_t size = need > kOwnBlockOver ? need : kBlockBytes;
    char* block = ModelAllocator<char>().allocate(size);
    FBlocks.push_back(block);
    FBlockSizes.push_back(size);
    at = block;
    if (size == kBlockBytes) {
      FFree = block + need;
      FFreeBytes = size - need;
    }
  } else {
    at = FFree;
    FFree += need;
    FFreeBytes -= need;
  }
  const auto size = static_cast<std::uint32_t>(text.size());
  std::memcpy(at, &size, sizeof size);
  std::memcpy(at + sizeof size, text.data(), text.size());
  return at;
}

TextId TextPool::Keep(std::string_view text) {
  return static_cast<TextId>(FTexts.push_back(Copy(text)));
}

std::string_view TextPool::View(TextId id) const { return ViewAt(FTexts[id]); }

void TextPool::Rehash(std::size_t slots) {
  ModelVector<TextId> fresh(slots, 0);
  const std::size_t mask = slots - 1;
  for (TextId entry : FSlots) {
    if (entry == 0) continue;
    std::size_t i = HashOf(View(entry - 1)) & mask;
    while (fresh[i] != 0) i = (i + 1) & mask;
    fresh[i] = entry;
  }
  FSlots.swap(fresh);
}

TextId TextPool::Intern(std::string_view text) {
  if ((FInterned + 1) * 2 > FSlots.size()) Rehash(FSlots.empty() ? 1024 : FSlots.size() * 2);
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t i = HashOf(text) & mask;; i = (i + 1) & mask) {
    if (FSlots[i] == 0) {
      const TextId id = Keep(text);
      FSlots[i] = id + 1;
      ++FInterned;
      return id;
    }
    if (View(FSlots[i] - 1) == text) return FSlots[i] - 1;
  }
}

}  // namespace standin
