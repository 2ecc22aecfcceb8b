#include "ui/OutlookFolderTree.h"

template <typename TVisit>
void TOutlookFolderTree::PreOrder(TVisit visit) {
  std::vector<TFolderNode*> stack;
  for (auto it = FRoots.rbegin(); it != FRoots.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    TFolderNode* n = stack.back();
    stack.pop_back();
    visit(n);
    for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it) stack.push_back(it->get());
  }
}

void TOutlookFolderTree::SetIDspApp(_Application* app) {
  if (app) m_IDspApp = TComPtr<_Application>::Share(app);
}

void TOutlookFolderTree::Clear() {
  FDatas.clear();
  FHiddenEntryIDs.clear();
  FRoots.clear();
}

bool TOutlookFolderTree::FillTree() {
  if (!m_IDspApp) return false;
  Clear();
  const TComPtr<_NameSpace> nameSpace = om::GetSession(m_IDspApp.Get());
  if (!nameSpace) return false;
  const TComPtr<_Folders> roots = om::GetFolders(nameSpace.Get());
  if (!roots) return false;
  EnumFolders(roots.Get(), nullptr, nameSpace.Get());
  return true;
}

// The sub-folders of a folder whose kind is not listed go under the nearest
// listed ancestor, so that they can still be ticked or unticked.
void TOutlookFolderTree::EnumFolders(_Folders* folders, TFolderNode* parent, _NameSpace* nameSpace) {
  if (!m_IDspApp || !folders || !nameSpace) return;
  for (TComPtr<MAPIFolder> folder = om::GetFirst(folders); folder; folder = om::GetNext(folders)) {
    int image = kImageMailFolder;
    const bool show = parent == nullptr || Classify(folder.Get(), nameSpace, image);
    TFolderNode* node = show ? AddNode(parent, folder.Get(), image, nameSpace) : parent;
    if (!show) FHiddenEntryIDs.push_back(om::GetEntryID(folder.Get()));
    const TComPtr<_Folders> sub = om::GetFolders(folder.Get());
    if (!sub) return;  // the rest of this level is not listed
    if (om::GetCount(sub.Get()) > 0) EnumFolders(sub.Get(), node, nameSpace);
  }
}

bool TOutlookFolderTree::Classify(MAPIFolder* folder, _NameSpace* nameSpace, int& image) const {
  for (const TFolderKind& k : FolderKinds) {
    if (!IsFolderKind(k.kind, folder, nameSpace)) continue;
    image = k.image;
    return (FShowFolders & ShowBit(k.kind)) != 0;
  }
  return true;  // an ordinary folder
}

bool TOutlookFolderTree::IsFolderKind(TShowFolder kind, MAPIFolder* folder,
                                      _NameSpace* nameSpace) const {
  if (!folder || !nameSpace) return false;
  for (const TFolderKind& k : FolderKinds) {
    if (k.kind != kind) continue;
    if (k.byItemType) return om::GetDefaultItemType(folder) == k.constant;
    // The default folders are the default store's; elsewhere the name decides.
    const TComPtr<MAPIFolder> standard =
        om::GetDefaultFolder(nameSpace, static_cast<OlDefaultFolders>(k.constant));
    if (!standard) return false;
    return om::GetEntryID(standard.Get()) == om::GetEntryID(folder) ||
           om::GetName(standard.Get()) == om::GetName(folder);
  }
  return false;
}

TFolderNode* TOutlookFolderTree::AddNode(TFolderNode* parent, MAPIFolder* folder, int image,
                                         _NameSpace* nameSpace) {
  auto node = std::make_unique<TFolderNode>();
  node->Parent = parent;
  node->State = TCheckState::csChecked;
  node->Data.strCaption = om::GetName(folder);
  node->Data.strEntryID = om::GetEntryID(folder);
  node->Data.bChecked = true;
  node->Data.nImageIndex = image;
  if (!parent) {
    node->bExpanded = true;
    node->Data.nImageIndex = kImageStore;
  } else if ((FShowFolders & ShowBit(sfFolderDeletedItems)) &&
             IsFolderKind(sfFolderDeletedItems, folder, nameSpace)) {
    // Deleted Items starts unticked; its parent shows mixed but still takes part.
    node->Data.bChecked = false;
    node->State = TCheckState::csUnchecked;
    parent->State = TCheckState::csMixed;
  }
  if (node->Data.nImageIndex < 0 || node->Data.nImageIndex >= FImageCount)
    node->Data.nImageIndex = FImageCount > 0 ? 0 : -1;
  FDatas.push_back(&node->Data);
  auto& siblings = parent ? parent->Children : FRoots;
  siblings.push_back(std::move(node));
  return siblings.back().get();
}

TFolderNode* TOutlookFolderTree::NodeOf(const TNodeData* data) const {
  TFolderNode* found = nullptr;
  const_cast<TOutlookFolderTree*>(this)->PreOrder([&](TFolderNode* n) {
    if (&n->Data == data) found = n;
  });
  return found;
}

void TOutlookFolderTree::DoChecked(TFolderNode* node) {
  node->Data.bChecked = node->State != TCheckState::csUnchecked;  // mixed takes part too
}

void TOutlookFolderTree::SetState(TFolderNode* node, TCheckState state) {
  if (node->State == state) return;
  node->State = state;
  DoChecked(node);
}

void TOutlookFolderTree::UpdateAncestors(TFolderNode* node) {
  for (TFolderNode* p = node; p; p = p->Parent) {
    bool all = true, any = false;
    for (const auto& c : p->Children) {
      all = all && c->State == TCheckState::csChecked;
      any = any || c->State != TCheckState::csUnchecked;
    }
    SetState(p, all ? TCheckState::csChecked : any ? TCheckState::csMixed : TCheckState::csUnchecked);
  }
}

void TOutlookFolderTree::SetChecked(TFolderNode* node, bool checked) {
  if (!node) return;
  const TCheckState state = checked ? TCheckState::csChecked : TCheckState::csUnchecked;
  std::vector<TFolderNode*> stack{node};
  while (!stack.empty()) {
    TFolderNode* n = stack.back();
    stack.pop_back();
    SetState(n, state);
    for (const auto& c : n->Children) stack.push_back(c.get());
  }
  UpdateAncestors(node->Parent);
}

void TOutlookFolderTree::SelectAll() {
  PreOrder([this](TFolderNode* n) { SetChecked(n, true); });
}

void TOutlookFolderTree::UnselectAll() {
  PreOrder([this](TFolderNode* n) { SetChecked(n, false); });
}

void TOutlookFolderTree::InverseSelection() {
  PreOrder([this](TFolderNode* n) {
    if (n->Children.empty()) SetChecked(n, n->State != TCheckState::csChecked);
  });
}
