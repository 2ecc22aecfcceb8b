// A treatment journal that dies with the process after the first list was
// sent: that list's plan is written, its done mark never, nor anything after
// it (the treatment refuses the lists it cannot journal).
#pragma once

#include "ui/TreatmentJournal.h"

class TCrashingJournal : public TBatchJournal {
 public:
  explicit TCrashingJournal(TTreatmentJournal& journal) : FJournal(journal) {}
  bool Planned(const std::vector<TPlannedMessage>& batch) override { return !FLists++ && FJournal.Planned(batch); }
  bool Done(const std::vector<std::pair<std::string, std::string>>&) override { return true; }
  std::string Error() const override { return "the process ended"; }

 private:
  TTreatmentJournal& FJournal;
  int FLists = 0;
};
