#include "quopdb/MsgStore.h"

#include <algorithm>
#include <cstring>

#include "quopdb/FastHash.h"

namespace quopdb {
namespace {

constexpr char kMagic[8] = {'Q', 'u', 'o', 'p', 'I', 'd', 'x', '\x1a'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kFlushAt = 4u << 20;
constexpr std::size_t kScanChunk = 4u << 20;
constexpr std::uint64_t kHeaderSeed = 0x4865616465723031ULL;

}  // namespace

bool TMsgStore::Open(const std::string& path) {
  Close();
  cache_.Invalidate();
  if (!file_.Open(path)) return false;
  std::uint64_t count = 0, dataEnd = 0;
  if (!ReadHeader(count, dataEnd)) {
    if (Recreate()) return true;
    file_.Close();
    return false;
  }
  count_ = count;
  fileEnd_ = dataEnd;
  std::uint64_t size = 0;
  if (file_.Size(size) && size > dataEnd && !file_.Truncate(dataEnd)) {
    file_.Close();
    return false;
  }
  return true;
}

void TMsgStore::Close() {
  if (!file_.IsOpen()) return;
  Commit();
  file_.Close();
  cache_.Invalidate();
  buffer_.clear();
  buffer_.shrink_to_fit();
  count_ = 0;
  fileEnd_ = kHeaderSize;
}

bool TMsgStore::Recreate() {
  cache_.Invalidate();
  buffer_.clear();
  count_ = 0;
  fileEnd_ = kHeaderSize;
  return file_.Truncate(0) && WriteHeader();
}

bool TMsgStore::Clear() { return file_.IsOpen() && Recreate(); }

bool TMsgStore::ReadHeader(std::uint64_t& count, std::uint64_t& dataEnd) {
  unsigned char h[kHeaderSize];
  std::size_t got = 0;
  std::uint64_t size = 0;
  if (!file_.ReadAt(0, h, sizeof h, got) || got != sizeof h || !file_.Size(size)) return false;
  std::uint32_t version, headerSize;
  std::uint64_t check;
  std::memcpy(&version, h + 8, 4);
  std::memcpy(&headerSize, h + 12, 4);
  std::memcpy(&count, h + 16, 8);
  std::memcpy(&dataEnd, h + 24, 8);
  std::memcpy(&check, h + 32, 8);
  return std::memcmp(h, kMagic, 8) == 0 && version == kVersion && headerSize == kHeaderSize &&
         check == HashBytes(h, 32, kHeaderSeed) && dataEnd >= kHeaderSize && dataEnd <= size &&
         dataEnd % 8 == 0 && count <= (dataEnd - kHeaderSize) / kStoredMinSize;
}

bool TMsgStore::WriteHeader() {
  unsigned char h[kHeaderSize] = {};
  std::memcpy(h, kMagic, 8);
  const std::uint32_t version = kVersion, headerSize = kHeaderSize;
  std::memcpy(h + 8, &version, 4);
  std::memcpy(h + 12, &headerSize, 4);
  const std::uint64_t count = count_, end = fileEnd_;
  std::memcpy(h + 16, &count, 8);
  std::memcpy(h + 24, &end, 8);
  const std::uint64_t check = HashBytes(h, 32, kHeaderSeed);
  std::memcpy(h + 32, &check, 8);
  return file_.WriteAt(0, h, sizeof h);
}

bool TMsgStore::Append(const TQuopMsg& msg, std::uint32_t folderRun, std::uint64_t& offset) {
  if (!file_.IsOpen()) return false;
  // A buffer that could not be written (disk full) is kept, but not grown without end.
  if (buffer_.size() >= kFlushAt && !Flush() && buffer_.size() >= 16 * kFlushAt) return false;
  offset = fileEnd_ + buffer_.size();
  if (!EncodeStoredMsg(msg, folderRun, buffer_)) return false;
  ++count_;
  return true;
}

bool TMsgStore::Flush() {
  if (buffer_.empty()) return true;
  if (!file_.WriteAt(fileEnd_, buffer_.data(), buffer_.size())) return false;
  fileEnd_ += buffer_.size();
  buffer_.clear();
  return true;
}

bool TMsgStore::Commit() {
  if (!file_.IsOpen()) return false;
  // The header counts only what reached the file.
  if (!Flush()) return false;
  return WriteHeader();
}

bool TMsgStore::Read(std::uint64_t offset, std::string& buf, TStoredMsgView& view) const {
  if (offset >= fileEnd_) {
    const std::uint64_t at = offset - fileEnd_;
    if (at + kStoredMinSize > buffer_.size()) return false;
    const std::uint32_t len = StoredMsgLength(buffer_.data() + at);
    return len <= buffer_.size() - at && DecodeStoredMsg(buffer_.data() + at, len, view);
  }
  const std::uint64_t avail = fileEnd_ - offset;
  char head[4];
  if (avail < kStoredMinSize || !cache_.Read(file_, fileEnd_, offset, head, sizeof head))
    return false;
  const std::uint32_t len = StoredMsgLength(head);
  if (len > avail || len < kStoredMinSize) return false;
  if (buf.size() < len) buf.resize(len);
  if (len > 4 * TBlockCache::kBlockSize) {  // a rare huge message: past the cache
    std::size_t got = 0;
    if (!file_.ReadAt(offset, buf.data(), len, got) || got != len) return false;
  } else if (!cache_.Read(file_, fileEnd_, offset, buf.data(), len)) {
    return false;
  }
  return DecodeStoredMsg(buf.data(), len, view);
}

bool TMsgStore::Scan(const TVisitor& visit) const {
  std::string chunk;
  std::uint64_t pos = kHeaderSize;
  TStoredMsgView view;
  while (pos < fileEnd_) {
    const std::uint64_t avail = fileEnd_ - pos;
    if (avail < kStoredMinSize) return false;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kScanChunk, avail));
    chunk.resize(want);
    std::size_t got = 0;
    if (!file_.ReadAt(pos, chunk.data(), want, got) || got != want) return false;
    std::size_t at = 0;
    while (at + kStoredMinSize <= got) {
      const std::uint32_t len = StoredMsgLength(chunk.data() + at);
      if (len < kStoredMinSize || len > avail - at) return false;
      if (len > got - at) break;  // continues in the next chunk
      if (!DecodeStoredMsg(chunk.data() + at, len, view) || !visit(pos + at, view)) return false;
      at += len;
    }
    if (at == 0) {  // one block larger than a chunk
      const std::uint32_t len = StoredMsgLength(chunk.data());
      if (len < kStoredMinSize || len > avail || len > kStoredMaxSize) return false;
      chunk.resize(len);
      if (!file_.ReadAt(pos, chunk.data(), len, got) || got != len) return false;
      if (!DecodeStoredMsg(chunk.data(), len, view) || !visit(pos, view)) return false;
      at = len;
    }
    pos += at;
  }
  for (std::size_t at = 0; at < buffer_.size();) {
    const std::uint32_t len = StoredMsgLength(buffer_.data() + at);
    if (!DecodeStoredMsg(buffer_.data() + at, len, view) || !visit(fileEnd_ + at, view))
      return false;
    at += len;
  }
  return true;
}

}  // namespace quopdb
