// The check-box tree of Outlook folders: every store of the profile with its
// folders, special kinds the window does not want left out, every folder
// checked but Deleted Items. This is the tree's model; a tree control shows
// it and reports check clicks back through SetChecked.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "addin/OutlookCalls.h"
#include "ui/FolderKinds.h"

struct TNodeData {
  std::wstring strCaption;  // the folder's Name
  std::wstring strEntryID;  // the folder's EntryID
  int nImageIndex = -1;     // into the folder images; -1 for none
  bool bChecked = false;    // the folder takes part in a search
};

enum class TCheckState { csUnchecked, csChecked, csMixed };

struct TFolderNode {
  TNodeData Data;
  TCheckState State = TCheckState::csChecked;
  bool bExpanded = false;
  TFolderNode* Parent = nullptr;
  std::vector<std::unique_ptr<TFolderNode>> Children;
};

class TOutlookFolderTree {
 public:
  TOutlookFolderTree() = default;
  TOutlookFolderTree(const TOutlookFolderTree&) = delete;
  TOutlookFolderTree& operator=(const TOutlookFolderTree&) = delete;

  // A null application leaves the one held unchanged.
  void SetIDspApp(_Application* app);
  void SetShowFolders(TShowFolders value) { FShowFolders = value; }
  TShowFolders ShowFolders() const { return FShowFolders; }
  // How many images the control's image list holds (15 with the folder strip).
  void SetImageCount(int count) { FImageCount = count; }

  // Rebuilds the tree from Outlook; false without an application, session or
  // store list. Object-model failures propagate, the nodes made so far stay.
  bool FillTree();
  void Clear();

  // The records of all nodes in pre-order (a folder, its sub-folders, then its
  // next sibling), the order in which the nodes were made.
  const std::vector<TNodeData*>& Datas() const { return FDatas; }
  const std::vector<std::unique_ptr<TFolderNode>>& Roots() const { return FRoots; }
  // The entry identifiers of the folders left out because their kind is not
  // listed; the window keeps them out of the search.
  const std::vector<std::wstring>& HiddenEntryIDs() const { return FHiddenEntryIDs; }
  // The node of a record, or null.
  TFolderNode* NodeOf(const TNodeData* data) const;

  // Checks or unchecks a node with all its descendants; ancestors follow the
  // tri-state rule.
  void SetChecked(TFolderNode* node, bool checked);
  void SelectAll();        // "&Select All"
  void UnselectAll();      // "&Unselect All"
  void InverseSelection(); // "&Inverse Selection": leaves toggle, parents follow

  // The recognisers; false when either argument is null.
  bool IsFolderKind(TShowFolder kind, MAPIFolder* folder, _NameSpace* nameSpace) const;

 private:
  void EnumFolders(_Folders* folders, TFolderNode* parent, _NameSpace* nameSpace);
  // The image of a non-root folder, and whether its kind is listed.
  bool Classify(MAPIFolder* folder, _NameSpace* nameSpace, int& image) const;
  TFolderNode* AddNode(TFolderNode* parent, MAPIFolder* folder, int image, _NameSpace* nameSpace);
  void DoChecked(TFolderNode* node);
  void SetState(TFolderNode* node, TCheckState state);
  void UpdateAncestors(TFolderNode* node);
  template <typename TVisit>
  void PreOrder(TVisit visit);

  TComPtr<_Application> m_IDspApp;
  TShowFolders FShowFolders = kDefaultShowFolders;
  int FImageCount = 15;
  std::vector<std::unique_ptr<TFolderNode>> FRoots;
  std::vector<TNodeData*> FDatas;
  std::vector<std::wstring> FHiddenEntryIDs;
};
