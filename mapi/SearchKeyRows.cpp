#include "mapi/SearchKeyRows.h"

#include <algorithm>

#include "mapi/MapiProps.h"
#include "mapi/TableReader.h"

namespace {

std::string Bytes(const SBinary& bin) { return std::string(reinterpret_cast<const char*>(bin.lpb), bin.cb); }

}  // namespace

// One equality a key, OR'ed: the store hands over only the rows asked for,
// however big the folder (a Deleted Items of years).
void ForRowsWithSearchKeys(TsxMAPI_Folder& folder, const std::set<std::string>& keys,
                           std::initializer_list<ULONG> tags, const std::function<void(const SRow&)>& use) {
  if (keys.empty()) return;
  std::vector<SPropValue> values;
  std::vector<SRestriction> terms;
  values.reserve(keys.size());
  terms.reserve(keys.size());
  for (const std::string& key : keys) {
    SPropValue& value = values.emplace_back();
    value.ulPropTag = PR_SEARCH_KEY;
    value.Value.bin = {static_cast<ULONG>(key.size()), reinterpret_cast<LPBYTE>(const_cast<char*>(key.data()))};
    SRestriction& term = terms.emplace_back();
    term.rt = RES_PROPERTY;
    term.res.resProperty = {RELOP_EQ, PR_SEARCH_KEY, &value};
  }
  SRestriction any{};
  any.rt = RES_OR;
  any.res.resOr = {static_cast<ULONG>(terms.size()), terms.data()};
  TComPtr<IMAPITable> table;
  CheckForError(folder.Folder()->GetContentsTable(0, &table), "Could not get messages from folder!");
  CheckForError(table->Restrict(&any, 0), "Could not restrict the folder's messages!");
  const auto columns = MakeTagArray(tags);
  TTableReader(std::move(table), columns.Get()).ForEachRow([&](const SRow& row) {
    use(row);
    return true;
  });
}

TKeyedRows RowsWithSearchKeys(TsxMAPI_Folder& folder, const std::set<std::string>& keys) {
  TKeyedRows rows;
  enum { colEntryID, colSearchKey };
  ForRowsWithSearchKeys(folder, keys, {PR_ENTRYID, PR_SEARCH_KEY}, [&](const SRow& row) {
    const SPropValue* id = Column(row, colEntryID);
    const SPropValue* key = Column(row, colSearchKey);
    if (id && id->ulPropTag == PR_ENTRYID && key && key->ulPropTag == PR_SEARCH_KEY)
      rows[Bytes(key->Value.bin)].push_back(Bytes(id->Value.bin));
  });
  return rows;
}

TKeyedRows NewRows(const TKeyedRows& before, const TKeyedRows& after) {
  TKeyedRows arrived;
  for (const auto& [key, ids] : after) {
    const auto known = before.find(key);
    for (const std::string& id : ids)
      if (known == before.end() || std::find(known->second.begin(), known->second.end(), id) == known->second.end())
        arrived[key].push_back(id);
  }
  return arrived;
}
