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

// ReadFile and WriteFile take a DWORD; a gigabyte at a time stays clear of it.
DWORD Chunk(std::size_t len) { return static_cast<DWORD>(len > (1u << 30) ? (1u << 30) : len); }

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

std::int64_t TStoreFile::ReadSome(std::uint64_t offset, char* p, std::size_t len) const {
  OVERLAPPED ov = At(offset);
  DWORD n = 0;
  if (!::ReadFile(H(handle_), p, Chunk(len), &n, &ov)) return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return n;
}

std::int64_t TStoreFile::WriteSome(std::uint64_t offset, const char* p, std::size_t len) {
  OVERLAPPED ov = At(offset);
  DWORD n = 0;
  if (!::WriteFile(H(handle_), p, Chunk(len), &n, &ov)) return -1;
  return n;
}

bool TStoreFile::Truncate(std::uint64_t size) {
  if (handle_ == kNone) return false;
  LARGE_INTEGER li;
  li.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFilePointerEx(H(handle_), li, nullptr, FILE_BEGIN) && ::SetEndOfFile(H(handle_));
}

}  // namespace quopdb
