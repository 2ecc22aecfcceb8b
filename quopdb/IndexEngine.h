// The duplicate index behind QuopDB.dll.
//
// Every message added goes to the store file whole; memory keeps only a
// 4-byte block position and, for the messages taking part under the current
// settings, a 12-byte key (match hash and add position) in one of 4096
// buckets. A search sorts the buckets, takes runs of equal hashes, reads their
// messages back and confirms them on the full fields, one group at a time.
//
// Folders ("each folder separately"): a record names only its folder's display
// name, so the index tells folders apart by folder runs. A message opens a new
// run when its folder name or the store part of its entry identifier (bytes 4
// to 19, the store provider's UID in the long-term layout) differs from the
// previous message's; a collection run adds the messages of one folder together.
#pragma once

#include <atomic>
#include <cstdint>
#include <queue>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"
#include "quopdb/ChunkedArray.h"
#include "quopdb/MatchRules.h"
#include "quopdb/MsgStore.h"
#include "quopdb/OutRecords.h"

namespace quopdb {

class TIndexEngine {
 public:
  // hashMask narrows the match hash; tests use a tiny one to force collisions.
  explicit TIndexEngine(std::uint64_t hashMask = ~std::uint64_t{0});
  ~TIndexEngine();
  TIndexEngine(const TIndexEngine&) = delete;
  TIndexEngine& operator=(const TIndexEngine&) = delete;

  bool OpenDB(const char* path);
  void CloseDB();
  bool AddMsg(const TQuopMsg& msg);
  void CommitDB();
  void ClearDB();
  void SetMsgSet(const TMsgSet& set);
  std::int32_t GetMsgCount() const;
  TQuopMsg* FindFirstMsg();
  TQuopMsg* FindNextMsg();
  TQuopMsg* GetMsgAt(std::int32_t index);
  void FreeQuopMsg(TQuopMsg* msg) { out_.Free(msg); }
  // The only call that may come from another thread at any time.
  void StopFindMsg() { stop_.store(true); }

  // For tests and measurements.
  std::size_t LiveRecords() const { return out_.Live(); }
  std::size_t ResidentBytes() const;
  const std::string& SelectedEntryIDs() const { return selEntryIDs_; }

 private:
  struct TKey {
    std::uint32_t hashLo, hashHi, index;
    std::uint64_t Hash() const { return (std::uint64_t{hashHi} << 32) | hashLo; }
  };
  struct TRun {  // equal hashes in one bucket, two or more
    std::uint32_t minIndex, bucket, pos, count;
  };
  struct TPending {  // a confirmed group split off a run, waiting for its turn
    std::uint32_t minIndex;
    std::vector<std::uint32_t> members;
    bool operator>(const TPending& o) const { return minIndex > o.minIndex; }
  };
  struct TMember {
    std::uint32_t index;
    std::string block;  // its stored block, or empty when to be read again
  };
  static constexpr std::size_t kBucketCount = 4096;

  void ResetIndex();
  std::uint32_t FolderRunOf(const TStoredMsgView& view);
  void IndexOne(const TStoredMsgView& view, std::uint32_t index);
  bool Rekey();
  bool LoadExisting();
  bool SortBuckets();
  bool CollectRuns();
  void EndFind();
  TQuopMsg* NextRecord();
  bool LoadNextGroup();
  bool ViewMember(const TMember& m, std::string& buf, TStoredMsgView& view) const;
  void SplitRun(const TRun& run);
  void TakePending();
  void OrderGroup();

  const std::uint64_t hashMask_;
  std::atomic<bool> stop_{false};
  TMsgStore store_;
  TOutRecords out_;
  TMatchSettings settings_;
  TMatchSettings keySettings_;  // the settings the keys were made under
  bool keysValid_ = true;
  std::string selEntryIDs_;

  TChunkedArray<std::uint32_t> blocks_;  // block position / 8, per add position
  std::vector<std::vector<TKey>> buckets_;
  std::vector<bool> bucketSorted_;

  std::string lastFolder_, lastStore_;
  std::uint32_t folderRun_ = 0;

  // The search in progress.
  bool finding_ = false;
  std::vector<TRun> runs_;
  std::size_t runPos_ = 0;
  std::priority_queue<TPending, std::vector<TPending>, std::greater<TPending>> pending_;
  std::vector<TMember> group_;
  std::size_t groupPos_ = 0;
  bool groupOpen_ = false;  // a record of the current group was handed out
  std::uint64_t planned_ = 0, emitted_ = 0;
  std::string readBuf_;
};

}  // namespace quopdb
