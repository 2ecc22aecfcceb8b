// Bases that answer MAPI_E_NO_SUPPORT for every method of an interface; the
// provider's classes override the methods they serve.
#pragma once

#include <windows.h>
#include <mapix.h>

#define STANDIN_NO_SUPPORT \
  override { return MAPI_E_NO_SUPPORT; }

namespace standin {

struct TableDefaults : IMAPITable {
  MAPI_IMAPITABLE_METHODS(STANDIN_NO_SUPPORT)
};
struct SessionDefaults : IMAPISession {
  MAPI_IMAPISESSION_METHODS(STANDIN_NO_SUPPORT)
};
struct AddrBookDefaults : IAddrBook {
  MAPI_IMAPIPROP_METHODS(STANDIN_NO_SUPPORT)
  MAPI_IADDRBOOK_METHODS(STANDIN_NO_SUPPORT)
};
struct MsgStoreDefaults : IMsgStore {
  MAPI_IMAPIPROP_METHODS(STANDIN_NO_SUPPORT)
  MAPI_IMSGSTORE_METHODS(STANDIN_NO_SUPPORT)
};
struct FolderDefaults : IMAPIFolder {
  MAPI_IMAPIPROP_METHODS(STANDIN_NO_SUPPORT)
  MAPI_IMAPICONTAINER_METHODS(STANDIN_NO_SUPPORT)
  MAPI_IMAPIFOLDER_METHODS(STANDIN_NO_SUPPORT)
};
struct MessageDefaults : IMessage {
  MAPI_IMAPIPROP_METHODS(STANDIN_NO_SUPPORT)
  MAPI_IMESSAGE_METHODS(STANDIN_NO_SUPPORT)
};
struct AttachDefaults : IAttach {
  MAPI_IMAPIPROP_METHODS(STANDIN_NO_SUPPORT)
};

}  // namespace standin
