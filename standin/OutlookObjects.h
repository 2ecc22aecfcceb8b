// The Outlook object model over the same profile as the MAPI objects: the
// application, its namespace, folder collections and folders. Each class
// lives in its own file; every object counts in StandinLiveObjects.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "om/OutlookIntf.h"
#include "standin/Model.h"

namespace standin {

// A folder as the object model shows it: a store root is the store's IPM
// subtree under the store's name.
struct FolderRef {
  std::shared_ptr<FolderData> data;
  std::string name;
};

// The folder's reference, named as the object model names it.
FolderRef RefOf(const StoreData& store, const std::shared_ptr<FolderData>& folder);
// The roots of the stores that have an IPM subtree, in store order.
std::vector<FolderRef> StoreRoots(const Profile& profile);
// The MAPI entry identifier as text, two uppercase hex digits a byte.
std::wstring EntryIdText(const FolderData& folder);
// A text of the profile (UTF-8) as UTF-16, and as a new BSTR for an out
// parameter (null when no memory is left).
std::wstring WideText(const std::string& text);
BSTR NewBstr(const std::string& text);

_Application* NewApplication();
_Explorer* NewExplorer();
_NameSpace* NewNameSpace();
_Folders* NewFolders(std::vector<FolderRef> folders);
MAPIFolder* NewOutlookFolder(FolderRef folder);

}  // namespace standin
