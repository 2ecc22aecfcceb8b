#include "index/QuopMsgCopy.h"

#include <cstdlib>
#include <cstring>

namespace {

class TMallocAllocator final : public TStringAllocator {
 public:
  void* Alloc(std::size_t nSize) override { return std::malloc(nSize); }
  void Free(void* block) override { std::free(block); }
};

void ClearScalars(TQuopMsg& msg) {
  msg.dtRecivedTime = 0;
  msg.dtSendTime = 0;
  msg.lBodyCrc = 0;
  msg.nMsgSize = 0;
  msg.bRead = 0;
  msg.bFirst = 1;
}

// A zero-filled block of length + 2 bytes holding a copy of text; null on failure.
char* DuplicateString(const char* text, TStringAllocator& allocator) {
  const std::size_t nLength = std::strlen(text);
  auto* block = static_cast<char*>(allocator.Alloc(nLength + 2));
  if (block == nullptr) return nullptr;
  std::memset(block, 0, nLength + 2);
  std::memcpy(block, text, nLength);
  return block;
}

}  // namespace

TStringAllocator& DefaultStringAllocator() {
  static TMallocAllocator allocator;
  return allocator;
}

void InitQuopMsg(TQuopMsg& msg) {
  for (char* TQuopMsg::*field : QuopMsgTextFields) msg.*field = nullptr;
  ClearScalars(msg);
}

bool CopyMsg(const TQuopMsg& src, TQuopMsg* dest, TStringAllocator& allocator) {
  if (dest == nullptr) return false;
  for (char* TQuopMsg::*field : QuopMsgTextFields) {
    if (src.*field == nullptr) continue;
    char* copy = DuplicateString(src.*field, allocator);
    if (copy == nullptr) return false;
    dest->*field = copy;
  }
  dest->dtRecivedTime = src.dtRecivedTime;
  dest->dtSendTime = src.dtSendTime;
  dest->lBodyCrc = src.lBodyCrc;
  dest->nMsgSize = src.nMsgSize;
  dest->bRead = src.bRead;
  dest->bFirst = src.bFirst;
  dest->nIndex = src.nIndex;
  return true;
}

void UnInitQuopMsg(TQuopMsg& msg, TStringAllocator& allocator) {
  for (char* TQuopMsg::*field : QuopMsgTextFields) {
    if (msg.*field == nullptr) continue;
    allocator.Free(msg.*field);
    msg.*field = nullptr;
  }
  ClearScalars(msg);
}
