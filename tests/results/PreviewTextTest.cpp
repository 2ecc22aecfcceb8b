#include "results/TreatmentPreview.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace results;

TEST(TreatmentPreview, SentencePerTreatment) {
  const struct {
    TPreviewCounts counts;
    char thousands;
    const char* expected;
  } cases[] = {
      {{ETreatment::MoveToDeletedItems, 1204, 37, 1130, 3, ""}, ',',
       "Move 1,204 messages from 37 folders to Deleted Items; keep 1,130; "
       "3 groups left alone (every copy checked)"},
      {{ETreatment::MoveToFolder, 5, 2, 4, 0, "Archive/2024"}, ',',
       "Move 5 messages from 2 folders to Archive/2024; keep 4"},
      {{ETreatment::CopyToFolder, 12000, 1, 9, 0, "Backup"}, '.',
       "Copy 12.000 messages from 1 folders to Backup; keep 9"},
      {{ETreatment::DeletePermanently, 1000, 3, 999, 1, ""}, 0,
       "Delete 1000 messages from 3 folders permanently; keep 999; "
       "1 groups left alone (every copy checked). This cannot be undone."},
      {{ETreatment::DeletePermanently, 10, 2, 3, 1, "", 2}, ',',
       "Delete 10 messages from 2 folders permanently; keep 3; 1 groups left alone (every copy checked); "
       "2 groups left alone (kept only in Deleted Items). This cannot be undone."},
      {{ETreatment::MoveToDeletedItems, 4, 1, 4, 0, "", 1}, ',',
       "Move 4 messages from 1 folders to Deleted Items; keep 4; 1 groups left alone (kept only in Deleted Items)"},
  };
  for (const auto& c : cases) EXPECT_EQ(PreviewSentence(c.counts, c.thousands), c.expected);
}

TEST(TreatmentPreview, TranslatedPatternsMayReorderWords) {
  // A translation that puts the counts elsewhere and names the target first.
  const TTranslate german = [](const char* key, const char* english) -> std::string {
    if (std::strcmp(key, "strPreviewMoveFolder") == 0) return "Nach %s verschieben: %d Nachrichten aus %d Ordnern";
    if (std::strcmp(key, "strPreviewKeep") == 0) return ", %d behalten";
    return english;
  };
  EXPECT_EQ(PreviewSentence({ETreatment::MoveToFolder, 1500, 4, 20, 0, "Alt"}, '.', german),
            "Nach Alt verschieben: 1.500 Nachrichten aus 4 Ordnern, 20 behalten");
}

TEST(TreatmentPreview, OnlyPermanentDeleteWarnsItCannotBeUndone) {
  for (auto t : {ETreatment::DeletePermanently, ETreatment::MoveToDeletedItems, ETreatment::MoveToFolder,
                 ETreatment::CopyToFolder}) {
    const bool warns = PreviewSentence({t, 2, 1, 1, 0, "X"}).find("cannot be undone") != std::string::npos;
    EXPECT_EQ(warns, t == ETreatment::DeletePermanently) << static_cast<int>(t);
  }
}
