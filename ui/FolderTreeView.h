// The tree control of the "Search &In" section over the folder tree model:
// one item per node with its image and a tri-state check box. Check clicks
// and the space key go to the model, and every item then shows the model's
// state again.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "support/WinHandles.h"
#include "ui/CheckImages.h"
#include "ui/OutlookFolderTree.h"

class TFolderTreeView {
 public:
  TFolderTreeView(HWND parent, int nId, TOutlookFolderTree& model);
  ~TFolderTreeView();
  TFolderTreeView(const TFolderTreeView&) = delete;
  TFolderTreeView& operator=(const TFolderTreeView&) = delete;

  HWND Handle() const { return FHandle; }
  // How many folder images the control has (0 when the strip is missing).
  int ImageCount() const;

  // Rebuilds the items from the model.
  void Reload();
  // Shows the model's check states on every item.
  void RefreshChecks();
  // Handles the control's notifications; true when handled.
  bool OnNotify(NMHDR* header, LRESULT& result);

  // The node of an item, or null.
  TFolderNode* NodeOf(HTREEITEM item) const;
  HTREEITEM ItemOf(const TFolderNode* node) const;
  // Toggles a node as a click on its check box does.
  void ToggleCheck(TFolderNode* node);

 private:
  void AddItems(const std::vector<std::unique_ptr<TFolderNode>>& nodes, HTREEITEM parent);

  HWND FHandle;
  TOutlookFolderTree& FModel;
  TImageList FFolderImages;
  TImageList FStateImages;
};
