#include "ui/FolderTreeView.h"

#include <uxtheme.h>

#include "support/ModuleFolder.h"
#include "support/WinHandles.h"

namespace {

int StateImageOf(TCheckState state) {
  switch (state) {
    case TCheckState::csUnchecked: return 1;
    case TCheckState::csChecked: return 2;
    default: return 3;
  }
}

// The folder images from the "OUTLOOK_FOLDERS" strip, its bottom-left
// pixel's colour transparent; null when the resource is missing.
TImageList LoadFolderImages() {
  const TBitmapHandle strip(static_cast<HBITMAP>(
      LoadImageA(OwnModule(), "OUTLOOK_FOLDERS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!strip) return TImageList();
  COLORREF transparent;
  {
    const TMemoryDC dc(CreateCompatibleDC(nullptr));
    const TSelectedObject selected(dc.Get(), strip.Get());
    BITMAP info{};
    GetObjectA(strip.Get(), sizeof(info), &info);
    transparent = GetPixel(dc.Get(), 0, info.bmHeight - 1);
  }
  // The list copies the pictures: the strip goes when this returns.
  TImageList list(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 15, 0));
  if (list) ImageList_AddMasked(list.Get(), strip.Get(), transparent);
  return list;
}

}  // namespace

TFolderTreeView::TFolderTreeView(HWND parent, int nId, TOutlookFolderTree& model) : FModel(model) {
  FHandle = CreateWindowExA(0, WC_TREEVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                            0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                            OwnModule(), nullptr);
  // A failure here leaves the tree without images.
  FFolderImages = LoadFolderImages();
  if (FFolderImages) TreeView_SetImageList(FHandle, FFolderImages.Get(), TVSIL_NORMAL);
  // Classic +/- buttons and lines; the check boxes keep the theme's look.
  FStateImages = MakeCheckStateImages(parent);
  SetWindowTheme(FHandle, L"", L"");
  if (FStateImages) TreeView_SetImageList(FHandle, FStateImages.Get(), TVSIL_STATE);
  FModel.SetImageCount(ImageCount());
}

TFolderTreeView::~TFolderTreeView() {
  // The control lets go of the image lists before the holders free them.
  if (IsWindow(FHandle)) {
    TreeView_SetImageList(FHandle, nullptr, TVSIL_NORMAL);
    TreeView_SetImageList(FHandle, nullptr, TVSIL_STATE);
  }
}

int TFolderTreeView::ImageCount() const { return FFolderImages ? ImageList_GetImageCount(FFolderImages.Get()) : 0; }

void TFolderTreeView::Reload() {
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(FHandle);
  AddItems(FModel.Roots(), TVI_ROOT);
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TFolderTreeView::AddItems(const std::vector<std::unique_ptr<TFolderNode>>& nodes, HTREEITEM parent) {
  for (const auto& node : nodes) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(node->Data.strCaption.c_str());
    insert.item.iImage = insert.item.iSelectedImage = node->Data.nImageIndex;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(StateImageOf(node->State));
    const HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(FHandle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    AddItems(node->Children, item);
    if (node->bExpanded) TreeView_Expand(FHandle, item, TVE_EXPAND);
  }
}

TFolderNode* TFolderTreeView::NodeOf(HTREEITEM item) const {
  if (!item) return nullptr;
  TVITEMA tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!TreeView_GetItem(FHandle, &tv)) return nullptr;
  return reinterpret_cast<TFolderNode*>(tv.lParam);
}

HTREEITEM TFolderTreeView::ItemOf(const TFolderNode* node) const {
  // Pre-order walk over the items.
  HTREEITEM item = TreeView_GetRoot(FHandle);
  while (item) {
    if (NodeOf(item) == node) return item;
    HTREEITEM next = TreeView_GetChild(FHandle, item);
    while (!next && item) {
      next = TreeView_GetNextSibling(FHandle, item);
      if (!next) item = TreeView_GetParent(FHandle, item);
    }
    item = next;
  }
  return nullptr;
}

void TFolderTreeView::RefreshChecks() {
  HTREEITEM item = TreeView_GetRoot(FHandle);
  while (item) {
    if (TFolderNode* node = NodeOf(item))
      TreeView_SetItemState(FHandle, item, INDEXTOSTATEIMAGEMASK(StateImageOf(node->State)), TVIS_STATEIMAGEMASK);
    HTREEITEM next = TreeView_GetChild(FHandle, item);
    while (!next && item) {
      next = TreeView_GetNextSibling(FHandle, item);
      if (!next) item = TreeView_GetParent(FHandle, item);
    }
    item = next;
  }
}

void TFolderTreeView::ToggleCheck(TFolderNode* node) {
  if (!node) return;
  // Checked becomes unchecked; unchecked and mixed become checked.
  FModel.SetChecked(node, node->State != TCheckState::csChecked);
  RefreshChecks();
}

bool TFolderTreeView::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->hwndFrom != FHandle) return false;
  if (header->code == NM_CUSTOMDRAW) {
    // Labels on the tree's own background, not the window colour.
    auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
    } else {
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && !(draw->nmcd.uItemState & CDIS_SELECTED)) {
        const COLORREF back = TreeView_GetBkColor(FHandle);
        if (back != static_cast<COLORREF>(-1)) draw->clrTextBk = back;
      }
      result = CDRF_DODEFAULT;
    }
    return true;
  }
  if (header->code == NM_CLICK) {
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(FHandle, &hit.pt);
    TreeView_HitTest(FHandle, &hit);
    if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON)) {
      ToggleCheck(NodeOf(hit.hItem));
      result = 1;
      return true;
    }
  } else if (header->code == TVN_KEYDOWN) {
    if (reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey == VK_SPACE) {
      ToggleCheck(NodeOf(TreeView_GetSelection(FHandle)));
      result = 1;
      return true;
    }
  }
  return false;
}
