// IMAPITable over a snapshot of rows: SetColumns, Restrict (property
// comparisons), QueryRows in table order with a cursor, GetRowCount, SeekRow.
// Values come as real tables give them: long strings and binaries cut, the
// bodies a table does not carry missing, and no more rows a call than the
// store answers.
#include <algorithm>

#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/ExtraTags.h"
#include "standin/NoSupport.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

// Characters (PT_STRING8: bytes, PT_UNICODE: UTF-16 units) or bytes a
// string or binary column keeps.
constexpr size_t kColumnCut = 255;

// Columns a table never carries, whatever the row holds.
bool NotAColumn(ULONG tag) { return PROP_ID(tag) == PROP_ID(PR_HTML) || PROP_ID(tag) == PROP_ID(PR_RTF_COMPRESSED); }

class Table final : public ComObject<TableDefaults> {
 public:
  Table(std::string owner, std::shared_ptr<const TableRows> rows, std::vector<ULONG> columns, TableOptions options)
      : FOwner(std::move(owner)), FRows(std::move(rows)), FColumns(std::move(columns)), FOptions(std::move(options)) {
    if (FOptions.unicode) {
      for (ULONG& tag : FColumns) {
        if (PROP_TYPE(tag) == PT_STRING8) tag = CHANGE_PROP_TYPE(tag, PT_UNICODE);
      }
    }
  }

  STDMETHODIMP SetColumns(LPSPropTagArray tags, ULONG /*flags*/) override {
    auto lock = LockState();
    if (tags == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (HRESULT hr = ServeCall("SetColumns", FOwner, Store()); FAILED(hr)) return hr;
    FColumns.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    return S_OK;
  }

  STDMETHODIMP Restrict(LPSRestriction restriction, ULONG /*flags*/) override {
    auto lock = LockState();
    if (HRESULT hr = ServeCall("Restrict", FOwner, Store()); FAILED(hr)) return hr;
    std::optional<std::vector<size_t>> view;
    if (restriction != nullptr) {
      view.emplace();
      std::vector<ULONG> tags;
      TagsOf(*restriction, tags);
      for (size_t i = 0; i < FRows->Count(); ++i) {
        bool keep = true;
        if (HRESULT hr = Matches(*restriction, *FRows->Row(i, tags), keep); FAILED(hr)) return hr;
        if (keep) view->push_back(i);
      }
    }
    FView = std::move(view);
    FCursor = 0;
    return S_OK;
  }

  STDMETHODIMP QueryRows(LONG count, ULONG flags, LPSRowSet* rows) override {
    auto lock = LockState();
    if (rows == nullptr) return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    if (count < 0) return MAPI_E_NO_SUPPORT;
    if (HRESULT hr = ServeCall("QueryRows", FOwner, Store()); FAILED(hr)) return hr;
    size_t n = std::min<size_t>(static_cast<size_t>(count), ViewSize() - FCursor);
    if (const auto most = MaxRows()) n = std::min<size_t>(n, *most);
    Buffer set;
    if (FAILED(set.Allocate(CbNewSRowSet(static_cast<ULONG>(n))))) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::vector<Buffer> values(n);
    for (size_t r = 0; r < n; ++r) {
      if (HRESULT hr = MakeRow(*FRows->Row(RowAt(FCursor + r), FColumns), values[r]); FAILED(hr)) return hr;
    }
    SRowSet* out = set.As<SRowSet>();
    out->cRows = static_cast<ULONG>(n);
    for (size_t r = 0; r < n; ++r) {
      out->aRow[r].cValues = static_cast<ULONG>(FColumns.size());
      out->aRow[r].lpProps = static_cast<LPSPropValue>(values[r].Release());
    }
    if ((flags & TBL_NOADVANCE) == 0) FCursor += n;
    *rows = static_cast<LPSRowSet>(set.Release());
    return S_OK;
  }

  STDMETHODIMP GetRowCount(ULONG /*flags*/, ULONG* count) override {
    auto lock = LockState();
    if (count == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (HRESULT hr = ServeCall("GetRowCount", FOwner, Store()); FAILED(hr)) return hr;
    *count = static_cast<ULONG>(ViewSize());
    return S_OK;
  }

  STDMETHODIMP SeekRow(BOOKMARK origin, LONG rows, LONG* sought) override {
    auto lock = LockState();
    if (HRESULT hr = ServeCall("SeekRow", FOwner, Store()); FAILED(hr)) return hr;
    long base;
    if (origin == BOOKMARK_BEGINNING) base = 0;
    else if (origin == BOOKMARK_CURRENT) base = static_cast<long>(FCursor);
    else if (origin == BOOKMARK_END) base = static_cast<long>(ViewSize());
    else return MAPI_E_INVALID_BOOKMARK;
    const long target = std::clamp<long>(base + rows, 0, static_cast<long>(ViewSize()));
    if (sought != nullptr) *sought = target - base;
    FCursor = static_cast<size_t>(target);
    return S_OK;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPITable};
    return kInterfaces;
  }

 private:
  const StoreData* Store() const { return FOptions.store.get(); }
  // The rows after the restriction: all of them when there is none.
  size_t ViewSize() const { return FView ? FView->size() : FRows->Count(); }
  size_t RowAt(size_t i) const { return FView ? (*FView)[i] : i; }
  std::optional<ULONG> MaxRows() const { return FOptions.store ? FOptions.store->rules.MaxRowsPerQuery() : std::nullopt; }

  void Column(const PropBag& row, ULONG tag, ServedValue& value) const {
    const Prop* p = row.Find(tag);
    if (p == nullptr || NotAColumn(tag)) {
      value.tag = PROP_TAG(PT_ERROR, PROP_ID(tag));
      value.error = MAPI_E_NOT_FOUND;
      return;
    }
    ServeInto(*p, ServedType(p->tag, tag, FOptions.unicode), value);
    CutTo(value, kColumnCut);
  }

  // A row's values in one buffer, their texts and bytes after them.
  HRESULT MakeRow(const PropBag& row, Buffer& values) {
    FServed.resize(FColumns.size());
    size_t room = std::max<size_t>(1, FColumns.size()) * sizeof(SPropValue);
    for (size_t c = 0; c < FColumns.size(); ++c) {
      Column(row, FColumns[c], FServed[c]);
      room += ServedRoom(FServed[c]);
    }
    if (FAILED(values.Allocate(static_cast<ULONG>(room)))) return MAPI_E_NOT_ENOUGH_MEMORY;
    auto* props = values.As<SPropValue>();
    char* texts = reinterpret_cast<char*>(props + std::max<size_t>(1, FColumns.size()));
    for (size_t c = 0; c < FColumns.size(); ++c) CopyServed(texts, FServed[c], props[c]);
    return S_OK;
  }

  // The tags a restriction compares; Matches refuses the kinds not listed.
  static void TagsOf(const SRestriction& r, std::vector<ULONG>& tags) {
    if (r.rt == RES_PROPERTY) tags.push_back(r.res.resProperty.ulPropTag);
    else if (r.rt == RES_EXIST) tags.push_back(r.res.resExist.ulPropTag);
    else if (r.rt == RES_AND || r.rt == RES_OR) {
      for (ULONG i = 0; i < r.res.resAnd.cRes; ++i) TagsOf(r.res.resAnd.lpRes[i], tags);
    } else if (r.rt == RES_NOT && r.res.resNot.lpRes != nullptr) {
      TagsOf(*r.res.resNot.lpRes, tags);
    }
  }

  static HRESULT Matches(const SRestriction& r, const PropBag& row, bool& keep) {
    switch (r.rt) {
      case RES_PROPERTY: {
        const SPropertyRestriction& pr = r.res.resProperty;
        if (pr.lpProp == nullptr) return MAPI_E_INVALID_PARAMETER;
        const Prop* p = row.Find(pr.ulPropTag);
        if (pr.relop == RELOP_EQ) keep = p != nullptr && SameValue(*p, *pr.lpProp);
        else if (pr.relop == RELOP_NE) keep = p == nullptr || !SameValue(*p, *pr.lpProp);
        else return MAPI_E_TOO_COMPLEX;
        return S_OK;
      }
      case RES_EXIST:
        keep = row.Find(r.res.resExist.ulPropTag) != nullptr;
        return S_OK;
      case RES_AND:
      case RES_OR: {
        const bool isAnd = r.rt == RES_AND;
        keep = isAnd;
        for (ULONG i = 0; i < r.res.resAnd.cRes; ++i) {
          bool one = false;
          if (HRESULT hr = Matches(r.res.resAnd.lpRes[i], row, one); FAILED(hr)) return hr;
          keep = isAnd ? (keep && one) : (keep || one);
        }
        return S_OK;
      }
      case RES_NOT: {
        if (HRESULT hr = Matches(*r.res.resNot.lpRes, row, keep); FAILED(hr)) return hr;
        keep = !keep;
        return S_OK;
      }
      default:
        return MAPI_E_TOO_COMPLEX;
    }
  }

  std::string FOwner;
  std::shared_ptr<const TableRows> FRows;
  std::optional<std::vector<size_t>> FView;  // rows kept by the restriction
  std::vector<ULONG> FColumns;
  std::vector<ServedValue> FServed;  // a row's values as served, kept for their room
  TableOptions FOptions;
  size_t FCursor = 0;
  TypeCount FCount{ObjectType::Table};
};

}  // namespace

IMAPITable* NewTable(std::string owner, std::shared_ptr<const TableRows> rows, std::vector<ULONG> columns,
                     TableOptions options) {
  return new Table(std::move(owner), std::move(rows), std::move(columns), std::move(options));
}

}  // namespace standin
