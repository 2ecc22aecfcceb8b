// Factories of the provider's COM objects; each class lives in its own file.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/Model.h"
#include "standin/OpenLimits.h"
#include "standin/Served.h"
#include "standin/TableRows.h"

namespace standin {

// What an object was opened under: the store whose rules it follows, and
// the logon that counts its open objects (null: none counts them).
struct OpenedIn {
  std::shared_ptr<StoreData> store;
  std::shared_ptr<Logon> logon;
};

struct TableOptions {
  std::shared_ptr<StoreData> store;  // null: the session's store table
  bool unicode = false;              // made with MAPI_UNICODE: texts default to PT_UNICODE
};

// A table of rows (each a full property set) named after its owner for faults;
// the default columns are given in their PT_STRING8 form.
IMAPITable* NewTable(std::string owner, std::shared_ptr<const TableRows> rows, std::vector<ULONG> columns,
                     TableOptions options);
IMAPISession* NewSession();
IAddrBook* NewAddrBook();
IMsgStore* NewStore(std::shared_ptr<StoreData> store, std::shared_ptr<Logon> logon);
IMAPIFolder* NewFolder(std::shared_ptr<FolderData> folder, bool writable, OpenedIn in, OpenSlot slot);
IMessage* NewMessage(std::shared_ptr<const MessageData> message, bool writable, OpenedIn in, OpenSlot slot);
IAttach* NewAttach(AttachmentData attachment, OpenedIn in, OpenSlot slot);
// A read-only stream over a value's bytes; its Read, Seek and Stat are
// calls of `owner` (for faults) on `store`'s objects.
IStream* NewPropertyStream(std::string owner, std::string bytes, std::shared_ptr<StoreData> store);

// The data behind an object of this provider; null for anything else.
std::shared_ptr<FolderData> FolderBehind(void* folder);
std::shared_ptr<const MessageData> MessageBehind(void* message);
std::shared_ptr<StoreData> StoreBehind(void* store);

// GetProps of any object: values in request order (all when `tags` is null),
// PT_ERROR with MAPI_E_NOT_FOUND for the missing ones and then
// MAPI_W_ERRORS_RETURNED; values too large for the store's rules refused;
// chosen failures apply to `target`.
HRESULT ServeProps(const PropBag& props, std::string_view target, const StoreData* store, LPSPropTagArray tags,
                   ULONG flags, ULONG* count, LPSPropValue* values);

// OpenProperty of a message or an attachment: a value whole as an IStream.
HRESULT OpenPropertyStream(const PropBag& props, std::string_view target, const std::shared_ptr<StoreData>& store,
                           ULONG tag, LPCIID iid, ULONG options, ULONG flags, LPUNKNOWN* out);

// OpenEntry of the session (any store) or of a store (`onlyStore`), the
// object counted in `logon`.
HRESULT OpenByEntryId(const StoreData* onlyStore, std::string_view caller, const std::shared_ptr<Logon>& logon,
                      ULONG size, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objType, LPUNKNOWN* out);

}  // namespace standin
