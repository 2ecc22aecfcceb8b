// Records handed out by the library: one block each, the record followed by
// its texts. They stay valid until given back, whatever else happens.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "indexapi/QuopRecords.h"
#include "quopdb/StoredMsg.h"

namespace quopdb {

class TOutRecords {
 public:
  TOutRecords() = default;
  ~TOutRecords();
  TOutRecords(const TOutRecords&) = delete;
  TOutRecords& operator=(const TOutRecords&) = delete;

  // A new record with the fields of `view`; null when memory runs out.
  TQuopMsg* Make(const TStoredMsgView& view, bool bFirst, std::int32_t nIndex);
  // Frees a record made here; anything else (null, foreign, freed) is ignored.
  void Free(TQuopMsg* msg);
  std::size_t Live() const { return live_.size(); }

 private:
  std::unordered_set<TQuopMsg*> live_;
};

}  // namespace quopdb
