// The message store: a header and the stored blocks of every message added,
// appended through a write buffer. The header names the committed end; what
// lies beyond it (a crash mid-write) is cut off at the next open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "indexapi/QuopRecords.h"
#include "quopdb/BlockCache.h"
#include "quopdb/StoreFile.h"
#include "quopdb/StoredMsg.h"

namespace quopdb {

class TMsgStore {
 public:
  static constexpr std::uint64_t kHeaderSize = 64;

  // Opens or creates the store. A foreign, truncated or damaged header makes
  // a new empty store; records are checked later by Scan.
  bool Open(const std::string& path);
  // Commits and closes; the file stays a valid store.
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }

  // Adds one message; `offset` receives where its block lies.
  bool Append(const TQuopMsg& msg, std::uint32_t folderRun, std::uint64_t& offset);
  // Writes the buffered blocks and the header.
  bool Commit();
  // Drops every message.
  bool Clear();

  std::uint64_t Count() const { return count_; }
  // Where the next block will lie.
  std::uint64_t NextOffset() const { return fileEnd_ + buffer_.size(); }

  // Reads the block at `offset` into `buf` and parses it.
  bool Read(std::uint64_t offset, std::string& buf, TStoredMsgView& view) const;

  // Visits every block in order; false when a block is damaged or the file
  // cannot be read, or when the visitor asked to stop.
  using TVisitor = std::function<bool(std::uint64_t offset, const TStoredMsgView& view)>;
  bool Scan(const TVisitor& visit) const;

 private:
  bool Flush();
  bool WriteHeader();
  bool ReadHeader(std::uint64_t& count, std::uint64_t& dataEnd);
  bool Recreate();

  TStoreFile file_;
  std::uint64_t count_ = 0;       // messages, buffered ones included
  std::uint64_t fileEnd_ = kHeaderSize;  // end of the blocks written to the file
  std::string buffer_;            // blocks not yet written, starting at fileEnd_
  mutable TBlockCache cache_;     // for Read
};

}  // namespace quopdb
