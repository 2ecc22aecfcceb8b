// Building the search settings record TMsgSet from the choices of the
// window, as plain values so the rules can run without a window.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "indexapi/QuopRecords.h"

// The received-date options of the window.
enum class TReceivedRange {
  AllTimes,        // "&All Times"
  WithinLastWeek,  // "&Within the last week"
  PastMonth,       // "&Past month"
  PastYear,        // "Within the past &year"
  SpecifyDates,    // "Specify &dates"
};

// One folder record of the folder tree's data list.
struct TFolderPick {
  std::string strEntryID;
  bool bChecked = false;
};

struct TDateRange {
  TDateTime dtFrom = 0;
  TDateTime dtTo = 0;
};

struct TSearchChoices {
  std::span<const TFolderPick> Folders;  // in data-list order
  std::int32_t nSelFields = 0;
  bool bSearchOverFolders = false;
  TReceivedRange ReceivedRange = TReceivedRange::AllTimes;
  TDateTime dtFromField = 0;  // the two date fields, used by SpecifyDates
  TDateTime dtToField = 0;
  TDateTime dtToday = 0;      // today's local date, no time of day
};

// The entry identifiers of the checked folders joined by ",", empty ones skipped.
std::string JoinCheckedEntryIDs(std::span<const TFolderPick> folders);

// The received-date range of an option; AllTimes gives 0 and 0.
TDateRange ReceivedDateRange(TReceivedRange range, TDateTime dtToday,
                             TDateTime dtFromField, TDateTime dtToField);

// The settings of one search; owns the joined identifier text that the
// record points into.
class TMsgSetData {
 public:
  TMsgSetData(std::string strSelEntryID, std::int32_t nSelFields, TDateRange received,
              bool bSearchOverFolders);

  // The record to send; its szSelEntryID lives as long as this object and
  // stays unchanged. The padding is left as it is.
  TMsgSet Record() const;

  // Whether the record is to be sent: a folder and a field are chosen.
  bool ShouldSend() const;

 private:
  std::string FSelEntryID;
  std::int32_t FSelFields;
  TDateRange FReceived;
  bool FSearchOverFolders;
};

TMsgSetData FillMsgSet(const TSearchChoices& choices);
