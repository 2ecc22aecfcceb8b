// The store file, opened for this process alone: a second opener fails
// cleanly instead of corrupting the first one's work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quopdb {

class TStoreFile {
 public:
  TStoreFile() = default;
  ~TStoreFile() { Close(); }
  TStoreFile(const TStoreFile&) = delete;
  TStoreFile& operator=(const TStoreFile&) = delete;

  // Opens or creates the file at an 8-bit path; false if it cannot be had
  // (no such folder, a folder of that name, no rights, in use elsewhere).
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != kNone; }

  bool Size(std::uint64_t& size) const;
  // Reads up to len bytes; `got` is short only at the end of the file.
  bool ReadAt(std::uint64_t offset, void* buf, std::size_t len, std::size_t& got) const;
  bool WriteAt(std::uint64_t offset, const void* buf, std::size_t len);
  bool Truncate(std::uint64_t size);

 private:
  // One read or write of at most len bytes at offset, as the platform
  // allows: the bytes moved, 0 at the end of the file, -1 on an error (a
  // call the platform interrupted is tried again inside).
  std::int64_t ReadSome(std::uint64_t offset, char* p, std::size_t len) const;
  std::int64_t WriteSome(std::uint64_t offset, const char* p, std::size_t len);

  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a file descriptor or a Windows handle
};

}  // namespace quopdb
