#include "ui/OutlookFolderTree.h"

#include <windows.h>
#include <mapicode.h>

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
  ReadDefaultFolders(nameSpace.Get());
  const TComPtr<_Folders> roots = om::GetFolders(nameSpace.Get());
  if (!roots) return false;
  EnumFolders(roots.Get(), nullptr);
  return true;
}

// A default store may lack any of the special folders (a profile without
// RSS, a store that never had a Junk folder), and an older Outlook does not
// know every kind: either way the kind has no default folder and nothing is
// recognised as it. Only "not there" passes without a trace.
void TOutlookFolderTree::ReadDefaultFolders(_NameSpace* nameSpace) {
  FDefaultFailures.clear();
  for (std::size_t i = 0; i < FolderKinds.size(); ++i) {
    TDefaultFolder& slot = FDefaults[i];
    slot = TDefaultFolder{};
    if (FolderKinds[i].byItemType) continue;
    try {
      const TComPtr<MAPIFolder> standard =
          om::GetDefaultFolder(nameSpace, static_cast<OlDefaultFolders>(FolderKinds[i].constant));
      if (!standard) continue;
      slot.strEntryID = om::GetEntryID(standard.Get());
      slot.strName = om::GetName(standard.Get());
      slot.bKnown = true;
    } catch (const EOleException& e) {
      slot = TDefaultFolder{};
      if (e.Code() == MAPI_E_NOT_FOUND) continue;
      FDefaultFailures.push_back(e.what());
      OutputDebugStringA(("Quop folder tree: " + FDefaultFailures.back() + "\n").c_str());
    }
  }
}

// The sub-folders of a folder whose kind is not listed go under the nearest
// listed ancestor, so that they can still be ticked or unticked.
void TOutlookFolderTree::EnumFolders(_Folders* folders, TFolderNode* parent) {
  if (!m_IDspApp || !folders) return;
  for (TComPtr<MAPIFolder> folder = om::GetFirst(folders); folder; folder = om::GetNext(folders)) {
    const TFolderFacts facts{folder.Get(), om::GetEntryID(folder.Get()), om::GetName(folder.Get())};
    // Store roots are not classified; an ordinary folder has the mail image.
    const TFolderKind* kind = parent ? KindOf(facts) : nullptr;
    const bool show = !kind || (FShowFolders & ShowBit(kind->kind)) != 0;
    TFolderNode* node = show ? AddNode(parent, facts, kind) : parent;
    if (!show) FHiddenEntryIDs.push_back(facts.strEntryID);
    // A folder without a folder collection simply has no sub-folders.
    const TComPtr<_Folders> sub = om::GetFolders(folder.Get());
    if (sub && om::GetCount(sub.Get()) > 0) EnumFolders(sub.Get(), node);
  }
}

std::optional<TShowFolder> TOutlookFolderTree::KindOf(MAPIFolder* folder) const {
  if (!folder) return std::nullopt;
  const TFolderKind* kind = KindOf(TFolderFacts{folder, om::GetEntryID(folder), om::GetName(folder)});
  if (!kind) return std::nullopt;
  return kind->kind;
}

// The first kind that answers decides. The default folders are the default
// store's; elsewhere the name decides.
const TFolderKind* TOutlookFolderTree::KindOf(const TFolderFacts& facts) const {
  std::optional<OlItemType> type;  // asked for once, when a kind needs it
  for (std::size_t i = 0; i < FolderKinds.size(); ++i) {
    const TFolderKind& k = FolderKinds[i];
    if (k.byItemType) {
      if (!type) type = om::GetDefaultItemType(facts.folder);
      if (*type == k.constant) return &k;
      continue;
    }
    const TDefaultFolder& standard = FDefaults[i];
    if (standard.bKnown && (standard.strEntryID == facts.strEntryID || standard.strName == facts.strName))
      return &k;
  }
  return nullptr;
}

TFolderNode* TOutlookFolderTree::AddNode(TFolderNode* parent, const TFolderFacts& facts, const TFolderKind* kind) {
  auto node = std::make_unique<TFolderNode>();
  node->Parent = parent;
  node->State = TCheckState::csChecked;
  node->Data.strCaption = facts.strName;
  node->Data.strEntryID = facts.strEntryID;
  node->Data.bChecked = true;
  node->Data.nImageIndex = kind ? kind->image : kImageMailFolder;
  if (!parent) {
    node->bExpanded = true;
    node->Data.nImageIndex = kImageStore;
  } else if (kind && kind->kind == sfFolderDeletedItems) {
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
