#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "quopdb/StoreFile.h"

namespace quopdb {

bool TStoreFile::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

void TStoreFile::Close() {
  if (handle_ == kNone) return;
  ::close(static_cast<int>(handle_));  // also drops the lock
  handle_ = kNone;
}

bool TStoreFile::Size(std::uint64_t& size) const {
  struct stat st;
  if (handle_ == kNone || ::fstat(static_cast<int>(handle_), &st) != 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

std::int64_t TStoreFile::ReadSome(std::uint64_t offset, char* p, std::size_t len) const {
  for (;;) {
    const ssize_t n = ::pread(static_cast<int>(handle_), p, len, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : static_cast<std::int64_t>(n);
  }
}

std::int64_t TStoreFile::WriteSome(std::uint64_t offset, const char* p, std::size_t len) {
  for (;;) {
    const ssize_t n = ::pwrite(static_cast<int>(handle_), p, len, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : static_cast<std::int64_t>(n);
  }
}

bool TStoreFile::Truncate(std::uint64_t size) {
  return handle_ != kNone && ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0;
}

}  // namespace quopdb
