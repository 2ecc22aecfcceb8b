#include "quopdb/MatchRules.h"

#include <cmath>
#include <string>
#include <utility>

#include "indexapi/CompareFields.h"
#include "quopdb/FastHash.h"

namespace quopdb {
namespace {

enum class TCompareKind { text, textNoCase, bodyCrc, size, sentTime, receivedTime, read };

struct TMatchField {
  std::int32_t id;
  TCompareKind kind;
  int text;  // for the text kinds
};

// The compared field of each identifier.
constexpr TMatchField kMatchFields[] = {
    {FIELD_SUBJECT, TCompareKind::text, tfSubject},
    {FIELD_FROM, TCompareKind::text, tfSenderName},
    {FIELD_SENDER_EMAIL, TCompareKind::textNoCase, tfSenderEmail},
    {FIELD_MESSAGE, TCompareKind::bodyCrc, 0},
    {FIELD_SIZE, TCompareKind::size, 0},
    {FIELD_SENT_TO, TCompareKind::text, tfTo},
    {FIELD_CC, TCompareKind::text, tfCC},
    {FIELD_BCC, TCompareKind::text, tfBCC},
    {FIELD_ATTACHMENT, TCompareKind::text, tfAttached},
    {FIELD_SENT_DATE, TCompareKind::sentTime, 0},
    {FIELD_UNREAD, TCompareKind::read, 0},
    {FIELD_RECEIVED_DATE, TCompareKind::receivedTime, 0},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::uint64_t HashNoCase(std::string_view s) {
  char local[256];
  std::string heap;
  char* out = local;
  if (s.size() > sizeof local) {
    heap.resize(s.size());
    out = heap.data();
  }
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = LowerAscii(s[i]);
  return HashBytes(out, s.size(), 0x656d61696cULL);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::uint64_t FieldHash(const TStoredMsgView& m, const TMatchField& f) {
  switch (f.kind) {
    case TCompareKind::text: {
      const std::string_view t = TrimBlanks(m.text[f.text]);
      return HashBytes(t.data(), t.size(), static_cast<std::uint64_t>(f.id));
    }
    case TCompareKind::textNoCase: return HashNoCase(TrimBlanks(m.text[f.text]));
    case TCompareKind::bodyCrc: return static_cast<std::uint32_t>(m.lBodyCrc);
    case TCompareKind::size: return static_cast<std::uint32_t>(m.nMsgSize);
    case TCompareKind::sentTime: return static_cast<std::uint64_t>(WholeSecond(m.dtSendTime));
    case TCompareKind::receivedTime:
      return static_cast<std::uint64_t>(WholeSecond(m.dtRecivedTime));
    case TCompareKind::read: return m.bRead ? 1 : 0;
  }
  return 0;
}

bool FieldEqual(const TStoredMsgView& a, const TStoredMsgView& b, const TMatchField& f) {
  switch (f.kind) {
    case TCompareKind::text: return TrimBlanks(a.text[f.text]) == TrimBlanks(b.text[f.text]);
    case TCompareKind::textNoCase:
      return EqualNoCase(TrimBlanks(a.text[f.text]), TrimBlanks(b.text[f.text]));
    case TCompareKind::bodyCrc: return a.lBodyCrc == b.lBodyCrc;
    case TCompareKind::size: return a.nMsgSize == b.nMsgSize;
    case TCompareKind::sentTime: return WholeSecond(a.dtSendTime) == WholeSecond(b.dtSendTime);
    case TCompareKind::receivedTime:
      return WholeSecond(a.dtRecivedTime) == WholeSecond(b.dtRecivedTime);
    case TCompareKind::read: return a.bRead == b.bRead;
  }
  return false;
}

}  // namespace

// Milliseconds first, so that a value a hair below a full second (as day
// fractions often are) counts as that second.
std::int64_t WholeSecond(double dt) {
  constexpr double kLimit = 3.0e6;  // days; far beyond year 9999
  if (dt == 0) return 0;
  if (!std::isfinite(dt) || dt > kLimit || dt < -kLimit) return kNoWholeSecond;
  const auto ms = static_cast<std::int64_t>(std::llround(dt * 86400000.0));
  return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

TMatchSettings MatchSettingsOf(const TMsgSet& set) {
  TMatchSettings s;
  s.nSelFields = set.nSelFields & kAllFieldsMask;
  s.bSearchOverFolders = set.bSearchOverFolders != 0;
  s.dtReceivedFrom = std::isfinite(set.dtReceivedFrom) ? set.dtReceivedFrom : 0;
  s.dtReceivedTo = std::isfinite(set.dtReceivedTo) ? set.dtReceivedTo : 0;
  if (s.dtReceivedFrom != 0 && s.dtReceivedTo != 0 && s.dtReceivedFrom > s.dtReceivedTo)
    std::swap(s.dtReceivedFrom, s.dtReceivedTo);
  return s;
}

TStoredMsgView ViewOf(const TQuopMsg& msg, std::uint32_t folderRun) {
  TStoredMsgView v;
  for (int i = 0; i < kTextCount; ++i) {
    const char* s = TextOf(msg, i);
    v.isNull[i] = s == nullptr;
    v.text[i] = s ? std::string_view(s) : std::string_view();
  }
  v.dtRecivedTime = msg.dtRecivedTime;
  v.dtSendTime = msg.dtSendTime;
  v.lBodyCrc = msg.lBodyCrc;
  v.nMsgSize = msg.nMsgSize;
  v.bRead = msg.bRead != 0;
  v.folderRun = folderRun;
  return v;
}

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool InReceivedRange(double dt, const TMatchSettings& s) {
  if (s.dtReceivedFrom == 0 && s.dtReceivedTo == 0) return true;
  if (dt == 0 || !std::isfinite(dt)) return false;  // no received time: outside any range
  if (s.dtReceivedFrom != 0 && dt < s.dtReceivedFrom) return false;
  if (s.dtReceivedTo != 0) {
    // A "to" date without a time of day takes in that whole day.
    const bool wholeDay = s.dtReceivedTo == std::floor(s.dtReceivedTo);
    if (wholeDay ? dt >= s.dtReceivedTo + 1 : dt > s.dtReceivedTo) return false;
  }
  return true;
}

std::uint64_t MatchHash(const TStoredMsgView& m, const TMatchSettings& s) {
  std::uint64_t h = 0x517560446202ULL;
  for (const TMatchField& f : kMatchFields)
    if (s.nSelFields & f.id) h = HashCombine(h, FieldHash(m, f));
  if (!s.bSearchOverFolders) h = HashCombine(h, m.folderRun);
  return h;
}

bool SameMessage(const TStoredMsgView& a, const TStoredMsgView& b, const TMatchSettings& s) {
  if (!s.bSearchOverFolders && a.folderRun != b.folderRun) return false;
  for (const TMatchField& f : kMatchFields)
    if ((s.nSelFields & f.id) && !FieldEqual(a, b, f)) return false;
  return true;
}

bool ReceivedEarlier(double a, double b) {
  const bool aSet = a != 0 && std::isfinite(a);
  const bool bSet = b != 0 && std::isfinite(b);
  if (aSet != bSet) return aSet;
  return aSet && a < b;
}

}  // namespace quopdb
