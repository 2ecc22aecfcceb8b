#include "results/TreatmentPreview.h"

#include "results/CountText.h"

namespace results {

TPreviewText PreviewActionText(ETreatment treatment) {
  switch (treatment) {
    case ETreatment::DeletePermanently:
      return {"strPreviewDelete", "Delete %d messages from %d folders permanently"};
    case ETreatment::MoveToDeletedItems:
      return {"strPreviewMoveDeleted", "Move %d messages from %d folders to Deleted Items"};
    case ETreatment::MoveToFolder:
      return {"strPreviewMoveFolder", "Move %d messages from %d folders to %s"};
    case ETreatment::CopyToFolder:
      return {"strPreviewCopyFolder", "Copy %d messages from %d folders to %s"};
  }
  return {"strPreviewMoveDeleted", "Move %d messages from %d folders to Deleted Items"};
}

TPreviewText PreviewKeepText() { return {"strPreviewKeep", "; keep %d"}; }
TPreviewText PreviewLeftAloneText() {
  return {"strPreviewLeftAlone", "; %d groups left alone (every copy checked)"};
}
TPreviewText PreviewKeptInDeletedText() {
  return {"strPreviewKeptInDeleted", "; %d groups left alone (kept only in Deleted Items)"};
}
TPreviewText PreviewCannotUndoText() {
  return {"strPreviewCannotUndo", ". This cannot be undone."};
}

namespace {

std::string Text(const TPreviewText& t, TTranslate translate) {
  return translate ? translate(t.key, t.english) : std::string(t.english);
}

std::string WithTarget(std::string text, const std::string& target) {
  if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, target);
  return text;
}

}  // namespace

std::string PreviewSentence(const TPreviewCounts& c, char thousands, TTranslate translate) {
  std::string text = WithTarget(
      FillCounts(Text(PreviewActionText(c.treatment), translate), {c.messages, c.folders}, thousands),
      c.target);
  text += FillCounts(Text(PreviewKeepText(), translate), {c.kept}, thousands);
  if (c.groupsLeftAlone > 0)
    text += FillCounts(Text(PreviewLeftAloneText(), translate), {c.groupsLeftAlone}, thousands);
  if (c.groupsKeptInDeletedItems > 0)
    text += FillCounts(Text(PreviewKeptInDeletedText(), translate), {c.groupsKeptInDeletedItems}, thousands);
  if (c.treatment == ETreatment::DeletePermanently) text += Text(PreviewCannotUndoText(), translate);
  return text;
}

}  // namespace results
