#include "index/MsgSetFill.h"

#include <algorithm>
#include <utility>

#include "support/DateTime.h"

std::string JoinCheckedEntryIDs(std::span<const TFolderPick> folders) {
  std::string strJoined;
  for (const TFolderPick& folder : folders) {
    if (!folder.bChecked || folder.strEntryID.empty()) continue;
    if (!strJoined.empty()) strJoined += ',';
    strJoined += folder.strEntryID;
  }
  return strJoined;
}

TDateRange ReceivedDateRange(TReceivedRange range, TDateTime dtToday,
                             TDateTime dtFromField, TDateTime dtToField) {
  switch (range) {
    case TReceivedRange::WithinLastWeek:
      return {dtToday - 7, dtToday};
    case TReceivedRange::PastMonth:
      return {SubtractOneMonth(dtToday), dtToday};
    case TReceivedRange::PastYear:
      return {SubtractOneYear(dtToday), dtToday};
    case TReceivedRange::SpecifyDates:
      return {std::min(dtFromField, dtToField), std::max(dtFromField, dtToField)};
    case TReceivedRange::AllTimes:
      break;
  }
  return {0, 0};
}

TMsgSetData::TMsgSetData(std::string strSelEntryID, std::int32_t nSelFields,
                         TDateRange received, bool bSearchOverFolders)
    : FSelEntryID(std::move(strSelEntryID)),
      FSelFields(nSelFields),
      FReceived(received),
      FSearchOverFolders(bSearchOverFolders) {}

TMsgSet TMsgSetData::Record() const {
  TMsgSet set;  // fields assigned one by one: the padding is not part of the record
  set.szSelEntryID = const_cast<char*>(FSelEntryID.c_str());
  set.nSelFields = FSelFields;
  set.dtReceivedFrom = FReceived.dtFrom;
  set.dtReceivedTo = FReceived.dtTo;
  set.bSearchOverFolders = FSearchOverFolders ? 1 : 0;
  return set;
}

bool TMsgSetData::ShouldSend() const {
  return !FSelEntryID.empty() && FSelFields != 0;
}

TMsgSetData FillMsgSet(const TSearchChoices& choices) {
  return TMsgSetData(JoinCheckedEntryIDs(choices.Folders), choices.nSelFields,
                     ReceivedDateRange(choices.ReceivedRange, choices.dtToday,
                                       choices.dtFromField, choices.dtToField),
                     choices.bSearchOverFolders);
}
