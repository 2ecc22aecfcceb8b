// The check-box tree of Outlook folders: every store of the profile with its
// folders, special kinds the window does not want left out, every folder
// checked but Deleted Items. This is the tree's model; a tree control shows
// it and reports check clicks back through SetChecked.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "om/OutlookCalls.h"
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
  // store list. The default folders are asked for once per fill: a kind
  // whose default folder cannot be had is recognised by nothing (see
  // DefaultFolderFailures). Other object-model failures propagate, the
  // nodes made so far stay.
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

  // The special kind of a folder by the recognisers, in the order of
  // FolderKinds, against the default folders of the last fill; none for an
  // ordinary folder or a null one.
  std::optional<TShowFolder> KindOf(MAPIFolder* folder) const;
  // The failures of the last fill's default-folder requests other than "the
  // default store has no such folder", as "NameSpace.GetDefaultFolder
  // failed: 0x..." texts; each is also written to the debugger output.
  const std::vector<std::string>& DefaultFolderFailures() const { return FDefaultFailures; }

 private:
  // What the recognisers compare: a folder's identifier and name.
  struct TFolderFacts {
    MAPIFolder* folder;
    std::wstring strEntryID, strName;
  };
  // The default folder of one kind; bKnown false when there is none.
  struct TDefaultFolder {
    bool bKnown = false;
    std::wstring strEntryID, strName;
  };

  void ReadDefaultFolders(_NameSpace* nameSpace);
  void EnumFolders(_Folders* folders, TFolderNode* parent);
  const TFolderKind* KindOf(const TFolderFacts& facts) const;
  // A node for a listed folder; `kind` null for an ordinary folder or a root.
  TFolderNode* AddNode(TFolderNode* parent, const TFolderFacts& facts, const TFolderKind* kind);
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
  std::array<TDefaultFolder, FolderKinds.size()> FDefaults{};  // by position in FolderKinds
  std::vector<std::string> FDefaultFailures;
};
