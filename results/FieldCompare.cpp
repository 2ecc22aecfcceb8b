#include "results/FieldCompare.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "indexapi/CompareFields.h"
#include "quopdb/MatchRules.h"
#include "support/DateTime.h"

namespace {

using quopdb::TStoredMsgView;

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string Trimmed(std::string_view s) { return std::string(quopdb::TrimBlanks(s)); }

std::string Hex32(std::int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

// The value of one field as the match rules compare it.
std::string ValueText(const TStoredMsgView& m, std::int32_t field) {
  switch (field) {
    case FIELD_SUBJECT: return Trimmed(m.text[quopdb::tfSubject]);
    case FIELD_FROM: return Trimmed(m.text[quopdb::tfSenderName]);
    case FIELD_SENDER_EMAIL: return LowerAscii(quopdb::TrimBlanks(m.text[quopdb::tfSenderEmail]));
    case FIELD_MESSAGE: return "CRC " + Hex32(m.lBodyCrc);
    case FIELD_SIZE: return std::to_string(m.nMsgSize);
    case FIELD_SENT_TO: return Trimmed(m.text[quopdb::tfTo]);
    case FIELD_CC: return Trimmed(m.text[quopdb::tfCC]);
    case FIELD_BCC: return Trimmed(m.text[quopdb::tfBCC]);
    case FIELD_ATTACHMENT: return Trimmed(m.text[quopdb::tfAttached]);
    case FIELD_SENT_DATE: return WholeSecondText(m.dtSendTime);
    case FIELD_UNREAD: return m.bRead ? "read" : "unread";
    case FIELD_RECEIVED_DATE: return WholeSecondText(m.dtRecivedTime);
  }
  return std::string();
}

std::string_view StorePart(const char* entryID) {
  const std::string_view id = entryID ? entryID : "";
  return id.size() >= 40 ? id.substr(8, 32) : std::string_view();
}

}  // namespace

bool SameFolderOf(const TQuopMsg& a, const TQuopMsg& b) {
  const std::string_view fa = a.szFolder ? a.szFolder : "", fb = b.szFolder ? b.szFolder : "";
  return fa == fb && StorePart(a.szEntryID) == StorePart(b.szEntryID);
}

std::string WholeSecondText(double dt) {
  const std::int64_t s = quopdb::WholeSecond(dt);
  if (s == 0) return "(none)";
  if (s == quopdb::kNoWholeSecond) return "(invalid)";
  std::int64_t days = s / 86400, rest = s % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const TCalendarDate d = DecodeDate(static_cast<TDateTime>(days));
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d UTC", d.nYear, d.nMonth, d.nDay,
                static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                static_cast<int>(rest % 60));
  return buf;
}

TFieldComparison CompareRecords(const TQuopMsg& a, const TQuopMsg& b, const TCompareSettings& s) {
  TFieldComparison out;
  out.bSameFolder = SameFolderOf(a, b);
  out.bFolderKeptApart = !s.bSearchOverFolders && !out.bSameFolder;
  const TStoredMsgView va = quopdb::ViewOf(a, 0), vb = quopdb::ViewOf(b, 0);
  for (const TCompareField& f : CompareFields) {
    // One field at a time through the engine's own rule, so the mark cannot drift.
    quopdb::TMatchSettings one;
    one.nSelFields = f.nFieldID;
    one.bSearchOverFolders = true;
    TFieldRow row;
    row.nFieldID = f.nFieldID;
    row.szKey = f.szKey;
    row.szCaption = f.szCaption;
    row.strLeft = ValueText(va, f.nFieldID);
    row.strRight = ValueText(vb, f.nFieldID);
    row.bEqual = quopdb::SameMessage(va, vb, one);
    row.bSelected = (s.nSelFields & f.nFieldID) != 0;
    if (row.KeptApart()) out.KeptApartBy.push_back(f.nFieldID);
    out.Rows.push_back(std::move(row));
  }
  return out;
}
