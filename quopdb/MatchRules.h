// When two messages are duplicates: every selected field equal, texts after
// trimming blanks, the sender address without regard to ASCII case, dates to
// the whole second; with "each folder separately", the same folder run too.
#pragma once

#include <cstdint>
#include <string_view>

#include "indexapi/CompareFields.h"
#include "indexapi/QuopRecords.h"
#include "quopdb/StoredMsg.h"

namespace quopdb {

inline constexpr std::int32_t kAllFieldsMask = 0xFFF;
inline constexpr std::int32_t kDefaultFieldsMask = DefaultFieldMask();

struct TMatchSettings {
  std::int32_t nSelFields = kDefaultFieldsMask;
  bool bSearchOverFolders = false;
  double dtReceivedFrom = 0;
  double dtReceivedTo = 0;

  bool operator==(const TMatchSettings&) const = default;
};

// Settings as the library applies them: unknown bits dropped, a reversed
// range put in order.
TMatchSettings MatchSettingsOf(const TMsgSet& set);

// A message's fields as the rules see them; texts of a TQuopMsg or of a block.
TStoredMsgView ViewOf(const TQuopMsg& msg, std::uint32_t folderRun);

std::string_view TrimBlanks(std::string_view s);

// A date as the rules compare it: whole seconds since the day-count epoch,
// truncated; 0 for an unset date, kNoWholeSecond for one out of range.
inline constexpr std::int64_t kNoWholeSecond = INT64_MIN;
std::int64_t WholeSecond(double dt);

// Whether the message takes part in a search under these settings.
bool InReceivedRange(double dtRecivedTime, const TMatchSettings& s);

// Equal messages give equal hashes; the converse is confirmed with Same.
std::uint64_t MatchHash(const TStoredMsgView& m, const TMatchSettings& s);
bool SameMessage(const TStoredMsgView& a, const TStoredMsgView& b, const TMatchSettings& s);

// The order in which the copy to keep is chosen: earlier received first,
// unset or unreadable times last.
bool ReceivedEarlier(double a, double b);

}  // namespace quopdb
