#include "quopdb/StoreFile.h"

namespace quopdb {

bool TStoreFile::ReadAt(std::uint64_t offset, void* buf, std::size_t len, std::size_t& got) const {
  got = 0;
  if (handle_ == kNone) return false;
  auto* p = static_cast<char*>(buf);
  while (got < len) {
    const std::int64_t n = ReadSome(offset + got, p + got, len - got);
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool TStoreFile::WriteAt(std::uint64_t offset, const void* buf, std::size_t len) {
  if (handle_ == kNone) return false;
  const auto* p = static_cast<const char*>(buf);
  std::size_t done = 0;
  while (done < len) {
    // A write that moves nothing would loop for ever: a full disk says so.
    const std::int64_t n = WriteSome(offset + done, p + done, len - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace quopdb
