#include <windows.h>

#include "quopdb/StoreFile.h"

namespace quopdb {
namespace {

HANDLE H(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}

}  // namespace

bool TStoreFile::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  // No sharing: another process opening the same store is refused.
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    ::CloseHandle(h);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

void TStoreFile::Close() {
  if (handle_ == kNone) return;
  ::CloseHandle(H(handle_));
  handle_ = kNone;
}

bool TStoreFile::Size(std::uint64_t& size) const {
  LARGE_INTEGER li;
  if (handle_ == kNone || !::GetFileSizeEx(H(handle_), &li)) return false;
  size = static_cast<std::uint64_t>(li.QuadPart);
  return true;
}

bool TStoreFile::ReadAt(std::uint64_t offset, void* buf, std::size_t len, std::size_t& got) const {
  got = 0;
  if (handle_ == kNone) return false;
  auto* p = static_cast<char*>(buf);
  while (got < len) {
    OVERLAPPED ov = At(offset + got);
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(len - got > (1u << 30) ? (1u << 30) : len - got);
    if (!::ReadFile(H(handle_), p + got, want, &n, &ov)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return false;
    }
    if (n == 0) break;
    got += n;
  }
  return true;
}

bool TStoreFile::WriteAt(std::uint64_t offset, const void* buf, std::size_t len) {
  if (handle_ == kNone) return false;
  const auto* p = static_cast<const char*>(buf);
  std::size_t done = 0;
  while (done < len) {
    OVERLAPPED ov = At(offset + done);
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(len - done > (1u << 30) ? (1u << 30) : len - done);
    if (!::WriteFile(H(handle_), p + done, want, &n, &ov) || n == 0) return false;
    done += n;
  }
  return true;
}

bool TStoreFile::Truncate(std::uint64_t size) {
  if (handle_ == kNone) return false;
  LARGE_INTEGER li;
  li.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFilePointerEx(H(handle_), li, nullptr, FILE_BEGIN) && ::SetEndOfFile(H(handle_));
}

}  // namespace quopdb
