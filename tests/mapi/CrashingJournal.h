// A treatment journal that dies with the process: the first `wholeLists`
// lists are planned and marked done, the next one's plan is written and its
// done mark never, nor anything after it (the treatment refuses the lists it
// cannot journal). The moved messages' new identifiers, found only once the
// treatment is over, are never written.
#pragma once

#include "ui/TreatmentJournal.h"

class TCrashingJournal : public TBatchJournal {
 public:
  explicit TCrashingJournal(TTreatmentJournal& journal, int wholeLists = 0)
      : FJournal(journal), FWholeLists(wholeLists) {}
  bool Planned(const std::vector<TPlannedMessage>& batch) override {
    return FLists++ <= FWholeLists && FJournal.Planned(batch);
  }
  bool Done(const std::vector<std::pair<std::string, std::string>>& after) override {
    return FLists > FWholeLists || FJournal.Done(after);
  }
  bool NewIDs(const std::vector<TNewID>&) override { return true; }
  std::string Error() const override { return "the process ended"; }

 private:
  TTreatmentJournal& FJournal;
  int FWholeLists;
  int FLists = 0;
};
