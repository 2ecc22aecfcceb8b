// Factories of the provider's COM objects; each class lives in its own file.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "standin/Model.h"

namespace standin {

// A table of rows (each a full property set) named after its owner for faults.
IMAPITable* NewTable(std::string owner, std::vector<PropBag> rows, std::vector<ULONG> columns);
IMAPISession* NewSession();
IAddrBook* NewAddrBook();
IMsgStore* NewStore(std::shared_ptr<StoreData> store);
IMAPIFolder* NewFolder(std::shared_ptr<FolderData> folder, bool writable);
IMessage* NewMessage(std::shared_ptr<MessageData> message, bool writable);
IAttach* NewAttach(AttachmentData attachment);

// The data behind an object of this provider; null for anything else.
std::shared_ptr<FolderData> FolderBehind(void* folder);
std::shared_ptr<MessageData> MessageBehind(void* message);
std::shared_ptr<StoreData> StoreBehind(void* store);

// GetProps of any object: values in request order (all when `tags` is null),
// PT_ERROR with MAPI_E_NOT_FOUND for the missing ones and then
// MAPI_W_ERRORS_RETURNED; chosen failures apply to `target`.
HRESULT ServeProps(const PropBag& props, std::string_view target, LPSPropTagArray tags, ULONG flags,
                   ULONG* count, LPSPropValue* values);

// OpenEntry of the session (any store) or of a store (`onlyStore`).
HRESULT OpenByEntryId(const StoreData* onlyStore, std::string_view caller, ULONG size, LPENTRYID entryId,
                      LPCIID iid, ULONG flags, ULONG* objType, LPUNKNOWN* out);

}  // namespace standin
