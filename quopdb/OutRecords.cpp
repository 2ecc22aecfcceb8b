#include "quopdb/OutRecords.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace quopdb {

TOutRecords::~TOutRecords() {
  for (TQuopMsg* msg : live_) std::free(msg);
}

TQuopMsg* TOutRecords::Make(const TStoredMsgView& view, bool bFirst, std::int32_t nIndex) {
  std::size_t size = sizeof(TQuopMsg);
  for (int i = 0; i < kTextCount; ++i)
    if (!view.isNull[i]) size += view.text[i].size() + 1;
  auto* msg = static_cast<TQuopMsg*>(std::calloc(1, size));
  if (!msg) return nullptr;
  try {
    live_.insert(msg);
  } catch (const std::bad_alloc&) {
    std::free(msg);
    return nullptr;
  }
  char* p = reinterpret_cast<char*>(msg + 1);
  for (int i = 0; i < kTextCount; ++i) {
    if (view.isNull[i]) continue;
    std::memcpy(p, view.text[i].data(), view.text[i].size());
    TextOf(*msg, i) = p;
    p += view.text[i].size() + 1;
  }
  msg->dtRecivedTime = view.dtRecivedTime;
  msg->dtSendTime = view.dtSendTime;
  msg->lBodyCrc = view.lBodyCrc;
  msg->nMsgSize = view.nMsgSize;
  msg->bRead = view.bRead ? 1 : 0;
  msg->bFirst = bFirst ? 1 : 0;
  msg->nIndex = nIndex;
  return msg;
}

void TOutRecords::Free(TQuopMsg* msg) {
  if (msg && live_.erase(msg)) std::free(msg);
}

}  // namespace quopdb
