// The numbers a treatment's confirmation states, e.g.
//   Move 1,204 messages from 37 folders to Deleted Items; keep 1,130;
//   3 groups left alone (every copy checked)
// Each part is a language text with "%d" for a count (and "%s" for the
// target folder), so a translator can reorder or reword it.
#pragma once

#include <string>

#include "results/AllCopiesGuard.h"

namespace results {

struct TPreviewCounts {
  ETreatment treatment = ETreatment::MoveToDeletedItems;
  long messages = 0;       // checked copies the treatment takes
  long folders = 0;        // distinct source folders of those copies
  long kept = 0;           // copies left unchecked in the treated groups
  long groupsLeftAlone = 0;  // every copy checked
  std::string target;      // the folder's display name, for Move/Copy to folder
  long groupsKeptInDeletedItems = 0;  // left alone: their unchecked copies only in Deleted Items
};

struct TPreviewText {
  const char* key;
  const char* english;
};

// The sentence's parts in order: the action for the treatment, "keep", the
// two kinds of groups "left alone", and for a permanent delete the warning that it cannot be undone.
TPreviewText PreviewActionText(ETreatment treatment);
TPreviewText PreviewKeepText();
TPreviewText PreviewLeftAloneText();
TPreviewText PreviewKeptInDeletedText();
TPreviewText PreviewCannotUndoText();

// A lookup for translated texts: returns the translation of `key`, or
// `english` when there is none.
using TTranslate = std::string (*)(const char* key, const char* english);

// The whole confirmation, counts grouped with `thousands` (0: ungrouped).
// Each "left alone" phrase is given only when a group of its kind was left alone.
std::string PreviewSentence(const TPreviewCounts& counts, char thousands = ',',
                            TTranslate translate = nullptr);

}  // namespace results
