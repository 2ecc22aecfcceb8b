// MAPI memory as the provider hands it out: MAPIAllocateBuffer blocks with
// MAPIAllocateMore blocks chained to them, freed together, and counted.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <utility>

namespace standin {

SCODE AllocateBuffer(ULONG size, void** out);
SCODE AllocateMore(ULONG size, void* parent, void** out);
ULONG FreeBuffer(void* buffer);

long LiveBuffers();
long BadFrees();

// Owner of one MAPIAllocateBuffer block while a result is being built.
class Buffer {
 public:
  Buffer() = default;
  ~Buffer() { FreeBuffer(FPtr); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  Buffer(Buffer&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}

  // Allocates size bytes, zeroed.
  SCODE Allocate(ULONG size);
  template <class T> T* As() const { return static_cast<T*>(FPtr); }
  // Extra memory that lives as long as this buffer; the copies of texts.
  void* More(ULONG size);
  char* CopyText(const char* text, size_t length);
  // Hands the block to the caller.
  void* Release() { return std::exchange(FPtr, nullptr); }

 private:
  void* FPtr = nullptr;
};

}  // namespace standin
