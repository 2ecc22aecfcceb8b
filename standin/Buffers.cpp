#include "standin/Buffers.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace standin {
namespace {

// Every block starts with this header; the payload follows, 8-byte aligned.
struct alignas(8) Header {
  Header* more;  // chain of MAPIAllocateMore blocks (a top block) / next in chain
  bool top;
};

std::mutex gLock;
std::unordered_set<Header*>& Live() {
  static std::unordered_set<Header*> live;
  return live;
}
long gBadFrees = 0;

Header* HeaderOf(void* payload) { return static_cast<Header*>(payload) - 1; }

Header* NewBlock(ULONG size, bool top) {
  void* raw = std::calloc(1, sizeof(Header) + size);
  if (raw == nullptr) return nullptr;
  return new (raw) Header{nullptr, top};
}

}  // namespace

SCODE AllocateBuffer(ULONG size, void** out) {
  if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  Header* h = NewBlock(size, true);
  if (h == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
  std::lock_guard lock(gLock);
  Live().insert(h);
  *out = h + 1;
  return S_OK;
}

SCODE AllocateMore(ULONG size, void* parent, void** out) {
  if (out == nullptr || parent == nullptr) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  std::lock_guard lock(gLock);
  Header* owner = HeaderOf(parent);
  if (!Live().contains(owner)) return MAPI_E_INVALID_PARAMETER;
  Header* h = NewBlock(size, false);
  if (h == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
  h->more = owner->more;
  owner->more = h;
  *out = h + 1;
  return S_OK;
}

ULONG FreeBuffer(void* buffer) {
  if (buffer == nullptr) return S_OK;
  Header* h = HeaderOf(buffer);
  {
    std::lock_guard lock(gLock);
    if (Live().erase(h) == 0) {
      ++gBadFrees;
      return static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
    }
  }
  while (h != nullptr) {
    Header* next = h->more;
    h->~Header();
    std::free(h);
    h = next;
  }
  return S_OK;
}

long LiveBuffers() {
  std::lock_guard lock(gLock);
  return static_cast<long>(Live().size());
}

long BadFrees() {
  std::lock_guard lock(gLock);
  return gBadFrees;
}

SCODE Buffer::Allocate(ULONG size) {
  FreeBuffer(std::exchange(FPtr, nullptr));
  return AllocateBuffer(size, &FPtr);
}

void* Buffer::More(ULONG size) {
  void* p = nullptr;
  if (FAILED(AllocateMore(size, FPtr, &p))) throw std::bad_alloc();
  return p;
}

char* Buffer::CopyText(const char* text, size_t length) {
  char* p = static_cast<char*>(More(static_cast<ULONG>(length + 1)));
  std::memcpy(p, text, length);
  p[length] = '\0';
  return p;
}

}  // namespace standin
