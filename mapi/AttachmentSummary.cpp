#include "mapi/AttachmentSummary.h"

#include <vector>

#include "mapi/MapiText.h"
#include "mapi/MessageSlots.h"
#include "mapi/TableReader.h"

namespace {

struct TAttachmentRow {
  ULONG number = 0;
  bool whole = false;  // name and size below are the attachment's own
  std::string name;
  ULONG size = 0;
};

enum { colNum, colMethod, colName, colFileName, colLongFileName, colSize, colCount };

bool IsWholeRow(const SRow& row, const SPropTagArray& columns) {
  for (int col = colName; col < colCount; ++col)
    if (!IsWholeColumn(Column(row, col), columns.aulPropTag[col])) return false;
  return true;
}

}  // namespace

std::string AttachmentName(const std::string& display, const std::string& longFileName, const std::string& fileName) {
  if (!display.empty()) return display;
  if (!longFileName.empty()) return longFileName;
  return fileName;
}

std::string AttachmentSummary(const TsxMAPI_Message& message, bool fromTable, int* count) {
  static const std::string kWhat = "Could not get attachment list!";
  TComPtr<IMAPITable> table;
  CheckForError(message.Message()->GetAttachmentTable(0, &table), kWhat);
  const bool unicode = message.Unicode();
  auto columns =
      MakeTagArray({PR_ATTACH_NUM, PR_ATTACH_METHOD, TextTag(PR_DISPLAY_NAME, unicode),
                    TextTag(PR_ATTACH_FILENAME, unicode), TextTag(PR_ATTACH_LONG_FILENAME, unicode), PR_ATTACH_SIZE});
  if (!fromTable) columns->cValues = colName;
  TTableReader reader(std::move(table), columns.Get());
  std::vector<TAttachmentRow> rows;
  reader.ForEachRow([&](const SRow& row) {
    const SPropValue* method = Column(row, colMethod);
    if (!method) CheckValue(nullptr, PR_ATTACH_METHOD, kWhat);
    if (!HasValue(*method, PR_ATTACH_METHOD, kWhat) || static_cast<ULONG>(method->Value.l) != ATTACH_BY_VALUE)
      return true;
    const SPropValue* num = Column(row, colNum);
    CheckValue(num, PR_ATTACH_NUM, kWhat);
    TAttachmentRow a;
    a.number = static_cast<ULONG>(num->Value.l);
    a.whole = fromTable && IsWholeRow(row, *columns.Get());
    if (a.whole) {
      const auto text = [&](int col) { return TextOrEmpty(row.lpProps[col], columns->aulPropTag[col], kWhat); };
      a.name = AttachmentName(text(colName), text(colLongFileName), text(colFileName));
      a.size = HasValue(row.lpProps[colSize], PR_ATTACH_SIZE, kWhat) ? row.lpProps[colSize].Value.l : 0;
    }
    rows.push_back(std::move(a));
    return true;
  });
  std::string summary;
  for (const TAttachmentRow& a : rows) {
    if (a.whole) {
      summary += a.name + std::to_string(a.size);
      continue;
    }
    // One attachment open at a time, released before the next.
    TsxMAPI_Attachment opened(a.number, message);
    summary += opened.GetName() + std::to_string(opened.GetSize());
  }
  if (count) *count = static_cast<int>(rows.size());
  return summary;
}
