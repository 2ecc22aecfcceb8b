// Reading the duplicate groups back: groups in the order of their earliest
// added message; in a group the copy to keep first (earliest received, then
// earliest added), the others in the order added.
#include <algorithm>
#include <climits>
#include <new>

#include "quopdb/IndexEngine.h"

namespace quopdb {
namespace {

// Members of one group are kept in memory up to this many bytes, read again past it.
constexpr std::size_t kGroupCacheBytes = 8u << 20;

}  // namespace

bool TIndexEngine::Rekey() {
  for (auto& b : buckets_) std::vector<TKey>().swap(b);
  bucketSorted_.assign(kBucketCount, true);
  keySettings_ = settings_;
  std::uint32_t index = 0;
  const bool ok = store_.Scan([&](std::uint64_t, const TStoredMsgView& view) {
    if (stop_.load() || index >= blocks_.size()) return false;
    IndexOne(view, index++);
    return true;
  });
  keysValid_ = ok && index == blocks_.size();
  if (!keysValid_) {
    for (auto& b : buckets_) std::vector<TKey>().swap(b);
    keySettings_ = TMatchSettings{};
    keySettings_.nSelFields = -1;  // matches no settings: the next search tries again
  }
  return keysValid_;
}

bool TIndexEngine::SortBuckets() {
  for (std::size_t b = 0; b < kBucketCount; ++b) {
    if (bucketSorted_[b]) continue;
    if (stop_.load()) return false;
    std::sort(buckets_[b].begin(), buckets_[b].end(), [](const TKey& x, const TKey& y) {
      const std::uint64_t hx = x.Hash(), hy = y.Hash();
      return hx != hy ? hx < hy : x.index < y.index;
    });
    bucketSorted_[b] = true;
  }
  return true;
}

bool TIndexEngine::CollectRuns() {
  runs_.clear();
  planned_ = 0;
  for (std::size_t b = 0; b < kBucketCount; ++b) {
    if (stop_.load()) return false;
    const std::vector<TKey>& keys = buckets_[b];
    for (std::size_t i = 0; i < keys.size();) {
      std::size_t j = i + 1;
      while (j < keys.size() && keys[j].Hash() == keys[i].Hash()) ++j;
      if (j - i >= 2) {
        runs_.push_back(TRun{keys[i].index, static_cast<std::uint32_t>(b),
                             static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i)});
        planned_ += j - i;
      }
      i = j;
    }
  }
  std::sort(runs_.begin(), runs_.end(),
            [](const TRun& x, const TRun& y) { return x.minIndex < y.minIndex; });
  return true;
}

void TIndexEngine::EndFind() {
  finding_ = false;
  std::vector<TRun>().swap(runs_);
  runPos_ = 0;
  pending_ = {};
  group_.clear();
  groupPos_ = 0;
  planned_ = emitted_ = 0;
}

TQuopMsg* TIndexEngine::FindFirstMsg() {
  EndFind();
  if (!store_.IsOpen() || stop_.load()) return nullptr;
  try {
    store_.Commit();
    if (!keysValid_ && !Rekey()) return nullptr;
    if (!SortBuckets() || !CollectRuns()) {
      EndFind();
      return nullptr;
    }
  } catch (const std::bad_alloc&) {
    EndFind();
    return nullptr;
  }
  finding_ = true;
  return NextRecord();
}

TQuopMsg* TIndexEngine::FindNextMsg() { return finding_ ? NextRecord() : nullptr; }

TQuopMsg* TIndexEngine::NextRecord() {
  try {
    while (!stop_.load()) {
      if (groupPos_ < group_.size()) {
        TMember& m = group_[groupPos_++];
        TStoredMsgView view;
        if (!ViewMember(m, readBuf_, view)) continue;  // unreadable now: left out
        // Progress: rises with the records handed out towards the message count.
        const std::uint64_t total = blocks_.size();
        ++emitted_;
        const auto nIndex = static_cast<std::int32_t>(
            std::min<std::uint64_t>(total, planned_ ? emitted_ * total / planned_ : total));
        TQuopMsg* msg = out_.Make(view, !groupOpen_, nIndex);
        std::string().swap(m.block);
        if (!msg) break;
        groupOpen_ = true;
        return msg;
      }
      if (!LoadNextGroup()) break;
    }
  } catch (const std::bad_alloc&) {
  }
  EndFind();
  return nullptr;
}

// A member's fields, from its cached block (checked when read) or read again.
bool TIndexEngine::ViewMember(const TMember& m, std::string& buf, TStoredMsgView& view) const {
  if (!m.block.empty()) return DecodeStoredMsg(m.block.data(), m.block.size(), view, true);
  return store_.Read(std::uint64_t{blocks_[m.index]} * 8, buf, view);
}

// The next group in order: from the sorted runs or from the groups split off earlier.
bool TIndexEngine::LoadNextGroup() {
  group_.clear();
  groupPos_ = 0;
  groupOpen_ = false;
  while (group_.empty()) {
    const bool haveRun = runPos_ < runs_.size();
    if (!haveRun && pending_.empty()) return false;
    if (!pending_.empty() && (!haveRun || pending_.top().minIndex < runs_[runPos_].minIndex))
      TakePending();
    else
      SplitRun(runs_[runPos_++]);
  }
  OrderGroup();
  return true;
}

void TIndexEngine::TakePending() {
  for (std::uint32_t index : pending_.top().members) group_.push_back(TMember{index, {}});
  pending_.pop();
}

// Confirms a run of equal hashes on the full fields. The class of the run's
// earliest message is the group now; other classes of two or more wait in
// pending_ for their turn; single messages drop out.
void TIndexEngine::SplitRun(const TRun& run) {
  const std::vector<TKey>& keys = buckets_[run.bucket];
  std::vector<TMember> members;
  std::size_t cached = 0;
  for (std::uint32_t i = 0; i < run.count; ++i) {
    TMember m{keys[run.pos + i].index, {}};
    TStoredMsgView view;
    if (!store_.Read(std::uint64_t{blocks_[m.index]} * 8, readBuf_, view)) continue;
    const std::uint32_t len = StoredMsgLength(readBuf_.data());
    if (cached + len <= kGroupCacheBytes) {
      m.block.assign(readBuf_.data(), len);
      cached += len;
    }
    members.push_back(std::move(m));
  }
  std::vector<int> classOf(members.size(), -1);
  std::vector<std::size_t> reps;  // first member of each class
  std::string memberBuf, repBuf;
  for (std::size_t i = 0; i < members.size(); ++i) {
    TStoredMsgView vi, vr;
    if (!ViewMember(members[i], memberBuf, vi)) continue;
    for (std::size_t c = 0; c < reps.size() && classOf[i] < 0; ++c)
      if (ViewMember(members[reps[c]], repBuf, vr) && SameMessage(vi, vr, keySettings_))
        classOf[i] = static_cast<int>(c);
    if (classOf[i] < 0) {
      classOf[i] = static_cast<int>(reps.size());
      reps.push_back(i);
    }
  }
  std::vector<std::size_t> sizes(reps.size(), 0);
  for (int c : classOf)
    if (c >= 0) ++sizes[c];
  for (std::size_t c = 1; c < reps.size(); ++c) {
    if (sizes[c] < 2) continue;
    TPending p{members[reps[c]].index, {}};
    for (std::size_t i = 0; i < members.size(); ++i)
      if (classOf[i] == static_cast<int>(c)) p.members.push_back(members[i].index);
    pending_.push(std::move(p));
  }
  if (!reps.empty() && sizes[0] >= 2)
    for (std::size_t i = 0; i < members.size(); ++i)
      if (classOf[i] == 0) group_.push_back(std::move(members[i]));
}

// Puts the copy to keep first: the earliest received, ties to the earliest added.
void TIndexEngine::OrderGroup() {
  std::size_t keep = 0;
  bool found = false;
  double best = 0;
  std::string buf;
  for (std::size_t i = 0; i < group_.size(); ++i) {
    TStoredMsgView view;
    if (!ViewMember(group_[i], buf, view)) continue;
    if (!found || ReceivedEarlier(view.dtRecivedTime, best)) {
      keep = i;
      best = view.dtRecivedTime;
      found = true;
    }
  }
  std::rotate(group_.begin(), group_.begin() + static_cast<std::ptrdiff_t>(keep),
              group_.begin() + static_cast<std::ptrdiff_t>(keep) + 1);
}

}  // namespace quopdb
