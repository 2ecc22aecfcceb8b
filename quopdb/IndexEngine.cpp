#include "quopdb/IndexEngine.h"

#include <climits>
#include <new>

namespace quopdb {
namespace {

constexpr std::uint64_t kMaxBlockPos = UINT32_MAX;  // positions are kept / 8 in 32 bits

std::string_view StorePart(std::string_view entryID) {
  // Hex text: bytes 4 to 19 are characters 8 to 39.
  return entryID.size() > 8 ? entryID.substr(8, 32) : std::string_view();
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

TIndexEngine::TIndexEngine(std::uint64_t hashMask)
    : hashMask_(hashMask), buckets_(kBucketCount), bucketSorted_(kBucketCount, true) {}

TIndexEngine::~TIndexEngine() { CloseDB(); }

void TIndexEngine::ResetIndex() {
  EndFind();
  blocks_.clear();
  for (auto& b : buckets_) std::vector<TKey>().swap(b);
  bucketSorted_.assign(kBucketCount, true);
  lastFolder_.clear();
  lastStore_.clear();
  folderRun_ = 0;
  keySettings_ = settings_;
  keysValid_ = true;
}

bool TIndexEngine::OpenDB(const char* path) {
  CloseDB();
  if (!path || !*path || !store_.Open(path)) return false;
  if (!LoadExisting()) {  // damaged blocks: start afresh
    ResetIndex();
    if (!store_.Clear()) {
      store_.Close();
      return false;
    }
  }
  return true;
}

bool TIndexEngine::LoadExisting() {
  ResetIndex();
  std::uint32_t index = 0;
  const bool ok = store_.Scan([&](std::uint64_t offset, const TStoredMsgView& view) {
    if (offset / 8 > kMaxBlockPos || index == INT32_MAX) return false;
    blocks_.push_back(static_cast<std::uint32_t>(offset / 8));
    folderRun_ = view.folderRun;
    lastFolder_.assign(TrimBlanks(view.text[tfFolder]));
    lastStore_.assign(StorePart(view.text[tfEntryID]));
    IndexOne(view, index++);
    return true;
  });
  return ok && index == store_.Count();
}

void TIndexEngine::CloseDB() {
  EndFind();
  store_.Close();
  ResetIndex();
}

std::uint32_t TIndexEngine::FolderRunOf(const TStoredMsgView& view) {
  const std::string_view folder = TrimBlanks(view.text[tfFolder]);
  const std::string_view storePart = StorePart(view.text[tfEntryID]);
  if (folderRun_ == 0 || folder != lastFolder_ || !SameNoCase(storePart, lastStore_)) {
    ++folderRun_;
    lastFolder_.assign(folder);
    lastStore_.assign(storePart);
  }
  return folderRun_;
}

void TIndexEngine::IndexOne(const TStoredMsgView& view, std::uint32_t index) {
  if (settings_.nSelFields == 0 || !InReceivedRange(view.dtRecivedTime, settings_)) return;
  const std::uint64_t h = MatchHash(view, settings_) & hashMask_;
  const std::size_t b = h & (kBucketCount - 1);
  buckets_[b].push_back(TKey{static_cast<std::uint32_t>(h), static_cast<std::uint32_t>(h >> 32),
                             index});
  bucketSorted_[b] = false;
}

bool TIndexEngine::AddMsg(const TQuopMsg& msg) {
  stop_.store(false);
  EndFind();
  if (!store_.IsOpen() || blocks_.size() >= static_cast<std::size_t>(INT32_MAX)) return false;
  if (store_.NextOffset() / 8 > kMaxBlockPos) return false;  // beyond 32 GB of store
  const auto index = static_cast<std::uint32_t>(blocks_.size());
  try {
    TStoredMsgView view = ViewOf(msg, 0);
    view.folderRun = FolderRunOf(view);
    // The position is listed first, so the store never holds an unlisted block.
    blocks_.push_back(static_cast<std::uint32_t>(store_.NextOffset() / 8));
    std::uint64_t offset = 0;
    if (!store_.Append(msg, view.folderRun, offset)) {
      blocks_.pop_back();
      return false;
    }
    if (keysValid_) IndexOne(view, index);
    return true;
  } catch (const std::bad_alloc&) {
    if (blocks_.size() > index && store_.Count() == index) blocks_.pop_back();
    keysValid_ = false;  // the next search rebuilds the keys from the store
    return false;
  }
}

void TIndexEngine::CommitDB() { store_.Commit(); }

void TIndexEngine::ClearDB() {
  stop_.store(false);
  ResetIndex();
  if (store_.IsOpen()) store_.Clear();
}

void TIndexEngine::SetMsgSet(const TMsgSet& set) {
  stop_.store(false);
  EndFind();
  settings_ = MatchSettingsOf(set);
  selEntryIDs_.assign(set.szSelEntryID ? set.szSelEntryID : "");
  if (settings_ != keySettings_ && keysValid_) {
    for (auto& b : buckets_) std::vector<TKey>().swap(b);  // rebuilt by the next search
    keysValid_ = false;
  }
}

std::int32_t TIndexEngine::GetMsgCount() const {
  return store_.IsOpen() ? static_cast<std::int32_t>(blocks_.size()) : 0;
}

TQuopMsg* TIndexEngine::GetMsgAt(std::int32_t index) {
  if (!store_.IsOpen() || index < 0 || static_cast<std::size_t>(index) >= blocks_.size())
    return nullptr;
  TStoredMsgView view;
  if (!store_.Read(std::uint64_t{blocks_[index]} * 8, readBuf_, view)) return nullptr;
  return out_.Make(view, true, index);
}

std::size_t TIndexEngine::ResidentBytes() const {
  std::size_t bytes = blocks_.size() * sizeof(std::uint32_t);
  for (const auto& b : buckets_) bytes += b.capacity() * sizeof(TKey);
  return bytes + runs_.capacity() * sizeof(TRun);
}

}  // namespace quopdb
