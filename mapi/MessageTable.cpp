#include "mapi/MessageTable.h"

#include "mapi/EntryIDText.h"
#include "mapi/MapiText.h"
#include "mapi/MessageSlots.h"
#include "mapi/TableReader.h"

namespace {

bool IsWholeRow(const SRow& row, const SPropTagArray& tags) {
  // The modification time only keys the body cache: a row without it is whole.
  for (ULONG col = 0; col < tags.cValues && col < rcModified; ++col)
    if (!IsWholeColumn(Column(row, static_cast<int>(col)), tags.aulPropTag[col])) return false;
  // A table answers MAPI_E_NOT_FOUND for a column it does not support as
  // well as for a value the message lacks. The SMTP addresses are computed
  // by some stores on GetProps alone, and an Exchange sender goes by them:
  // without one in the row, the message must tell.
  if (!IsExchangeAddrType(TextValue(row.lpProps[ccAddrType]))) return true;
  return !TextValue(row.lpProps[ccRepSmtp]).empty() || !TextValue(row.lpProps[ccSenderSmtp]).empty();
}

}  // namespace

void ForEachMessageTableRow(TsxMAPI_Folder& folder, const std::function<bool(const TMessageTableRow&)>& visit) {
  static const std::string kGetProperties = "Could not get properties!";
  TComPtr<IMAPITable> table;
  CheckForError(folder.Folder()->GetContentsTable(0, &table), "Could not get messages from folder!");
  const auto columns = CommonTags(folder.Unicode(), true);
  TTableReader reader(std::move(table), columns.Get());
  TMessageTableRow message;
  reader.ForEachRow([&](const SRow& row) {
    const SBinary& id = EntryIDOf(Column(row, rcEntryID), PR_ENTRYID, "Could not get a message's entry identifier!");
    message.entryID = RefTo(id);
    message.whole = IsWholeRow(row, *columns.Get());
    if (message.whole) {
      TCommonFields common = DecodeCommon(row.lpProps, [&](int col) {
        return TextOrEmpty(row.lpProps[col], columns->aulPropTag[col], kGetProperties);
      });
      TCollectedMessage& m = message.fields;
      m = TCollectedMessage{};
      m.entryID = EntryIDToText(id.lpb, id.cb);
      m.senderName = std::move(common.senderName);
      m.subject = std::move(common.subject);
      m.senderEmail = std::move(common.senderAddress);
      m.received = common.received;
      m.sent = common.sent;
      m.size = static_cast<std::int32_t>(common.size);
      m.read = IsReadFlags(row.lpProps[rcFlags]);
      m.flagged = common.flagged;
      m.attachments = common.hasAttachments ? 1 : 0;
      const SPropValue& modified = row.lpProps[rcModified];
      if (modified.ulPropTag == PR_LAST_MODIFICATION_TIME)
        m.modified = (std::uint64_t{modified.Value.ft.dwHighDateTime} << 32) | modified.Value.ft.dwLowDateTime;
      message.subject = m.subject;
    } else {
      const SPropValue* subject = Column(row, ccSubject);
      message.subject = subject ? TextValue(*subject) : "";
    }
    return visit(message);
  });
}
