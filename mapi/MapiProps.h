// The small steps every wrapper of the layer takes: reading one property,
// judging a value that may have come back as an error value, taking an entry
// identifier out of a value or a table row, and opening an entry through a
// session, store or folder. Each failure raises with the operation's text.
#pragma once

#include <string>

#include "mapi/MapiErrors.h"
#include "mapi/MapiHolders.h"

// An entry identifier as a byte count and bytes, for the calls that open by it.
struct TEntryIDRef {
  ULONG cb;
  LPENTRYID lpb;
};

inline TEntryIDRef RefTo(const SBinary& bytes) { return {bytes.cb, reinterpret_cast<LPENTRYID>(bytes.lpb)}; }
// Bytes kept in a string or vector; MAPI takes them as non-const.
template <typename TBytes>
TEntryIDRef RefTo(const TBytes& bytes) {
  return {static_cast<ULONG>(bytes.size()),
          static_cast<LPENTRYID>(const_cast<void*>(static_cast<const void*>(bytes.data())))};
}

// One property of the object through GetProps. A failed call, or an answer
// without the value, raises with `what`; the value itself may be an error
// value (PT_ERROR) for the caller to judge.
TMapiBuffer<SPropValue> GetOneProp(IMAPIProp* object, ULONG tag, const std::string& what);

// Whether a value says the object simply has no such property (PT_ERROR
// with MAPI_E_NOT_FOUND), as opposed to one that could not be read.
bool IsMissing(const SPropValue& value);

// Whether a value holds `tag`: false when the object lacks it; any other
// error value raises with `what`, for an unreadable value must never pass for
// a missing one (two unreadable messages would compare equal).
bool HasValue(const SPropValue& value, ULONG tag, const std::string& what);

// Column `col` of a table row; null when the row is shorter.
const SPropValue* Column(const SRow& row, int col);

// The entry identifier a value holds. An error value, a value of another
// tag or none at all raises with `what`, as does an empty identifier: it
// names nothing, and handed to OpenEntry it would open a store's root.
const SBinary& EntryIDOf(const SPropValue* value, ULONG tag, const std::string& what);

// Opens an entry through anything with OpenEntry (a session, a store or a
// folder) as the interface `iid`; a failure raises with `what`.
template <typename TInterface, typename TOpener>
TComPtr<TInterface> OpenEntryAs(TOpener* opener, TEntryIDRef id, const IID& iid, ULONG flags,
                                const std::string& what) {
  TComPtr<TInterface> object;
  ULONG type = 0;
  CheckForError(opener->OpenEntry(id.cb, id.lpb, &iid, flags, &type, object.template As<IUnknown>()), what);
  return object;
}

// A folder by its entry identifier; "Could not get folder from Message Store
// or Parent Folder!".
template <typename TOpener>
TComPtr<IMAPIFolder> OpenFolderEntry(TOpener* opener, TEntryIDRef id, ULONG flags) {
  return OpenEntryAs<IMAPIFolder>(opener, id, IID_IMAPIFolder, flags,
                                  "Could not get folder from Message Store or Parent Folder!");
}
