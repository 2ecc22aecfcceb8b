#include "ui/MenuTable.h"

#include <stdexcept>

namespace {

using R = TMenuRoot;
constexpr const char* kSeparator = nullptr;

}  // namespace

const std::array<TMenuItemRow, cmdLast - cmdFirst> MenuItems{{
    {cmdFile, "mniFile", "&File", R::MainMenu, cmdNone, false},
    {cmdSkipped, "mniSkipped", "&Skipped Items...", R::MainMenu, cmdFile, false},
    {cmdExport, "mniExport", "&Export results...", R::MainMenu, cmdFile, false},
    {cmdUndo, "mniUndo", "&Undo last treatment", R::MainMenu, cmdFile, false},
    {cmdN4, "N4", kSeparator, R::MainMenu, cmdFile, false},
    {cmdExit, "mniExit", "&Exit", R::MainMenu, cmdFile, false},
    {cmdMessages, "mniMessages", "&Messages", R::MainMenu, cmdNone, false},
    {cmdSelectAllDuplicates1, "mniEmailSelectAllDuplicates1", "&Select All Duplicates", R::MainMenu, cmdMessages, false},
    {cmdClearSelected1, "mniEmailClearSelected1", "&Unselect All", R::MainMenu, cmdMessages, false},
    {cmdInverseSelection1, "mniInverseSelection1", "&Inverse Selection", R::MainMenu, cmdMessages, false},
    {cmdN3, "N3", kSeparator, R::MainMenu, cmdMessages, false},
    {cmdCompare1, "mniCompare1", "&Compare...", R::MainMenu, cmdMessages, false},
    {cmdNearMisses1, "mniNearMisses1", "&Near Misses...", R::MainMenu, cmdMessages, false},
    {cmdN5, "N5", kSeparator, R::MainMenu, cmdMessages, false},
    {cmdCheckedEmails1, "mniCheckedEmails1", "Checked &Emails", R::MainMenu, cmdMessages, false},
    {cmdDelete1, "mniDelete1", "Delete (Move to deleted Items folder)", R::MainMenu, cmdCheckedEmails1, false},
    {cmdDeletePermanently1, "mniDeletePermanently1", "Delete permanently", R::MainMenu, cmdCheckedEmails1, false},
    {cmdCopyToFolder1, "mniCopytoFolder1", "Copy to Folder ...", R::MainMenu, cmdCheckedEmails1, false},
    {cmdMoveToFolder1, "mniMovetoFolder1", "Move to Folder ...", R::MainMenu, cmdCheckedEmails1, false},
    {cmdHelp, "mniHelp", "&Help", R::MainMenu, cmdNone, false},
    {cmdHome, "mniHome", "H&ome...", R::MainMenu, cmdHelp, false},
    {cmdAbout, "mniAbout", "&About...", R::MainMenu, cmdHelp, false},
    {cmdViewEmail, "mniViewEmail", "&View Email", R::pmEmail, cmdNone, true},
    {cmdCompare, "mniCompare", "&Compare...", R::pmEmail, cmdNone, false},
    {cmdCheckedEmails, "mniCheckedEmails", "Checked &Emails", R::pmEmail, cmdNone, false},
    {cmdDelete, "mniDelete", "Delete (Move to deleted Items folder)", R::pmEmail, cmdCheckedEmails, false},
    {cmdDeletePermanently, "mniDeletePermanently", "Delete permanently", R::pmEmail, cmdCheckedEmails, false},
    {cmdCopyToFolder, "mniCopytoFolder", "Copy to Folder ...", R::pmEmail, cmdCheckedEmails, false},
    {cmdMoveToFolder, "mniMovetoFolder", "Move to Folder ...", R::pmEmail, cmdCheckedEmails, false},
    {cmdN1, "N1", kSeparator, R::pmEmail, cmdNone, false},
    {cmdSelectAllDuplicates, "mniEmailSelectAllDuplicates", "&Select All Duplicates", R::pmEmail, cmdNone, false},
    {cmdClearSelected, "mniEmailClearSelected", "&Unselect All", R::pmEmail, cmdNone, false},
    {cmdInverseSelection, "mniInverseSelection", "&Inverse Selection", R::pmEmail, cmdNone, false},
    {cmdN2, "N2", kSeparator, R::pmEmail, cmdNone, false},
    {cmdExpandAll, "mniEmailExpandAll", "Expand &All", R::pmEmail, cmdNone, false},
    {cmdCollapseAll, "mniEmailCollapseAll", "&Collapse All", R::pmEmail, cmdNone, false},
    {cmdFolderSelectAll, "mniFolderSelectAll", "&Select All", R::pmFolder, cmdNone, false},
    {cmdFolderUnselectAll, "mniFolderUnselectAll", "&Unselect All", R::pmFolder, cmdNone, false},
    {cmdFolderInverseSelection, "mniFolderInverseSelection", "&Inverse Selection", R::pmFolder, cmdNone, false},
    {cmdSelectDefault, "mniSelectDefault", "Select &Default", R::pmFields, cmdNone, false},
    {cmdFieldSelectAll, "mniFieldSelectAll", "&Select All", R::pmFields, cmdNone, false},
    {cmdFieldUnselectAll, "mniFieldUnselectAll", "&Unselect All", R::pmFields, cmdNone, false},
    {cmdFieldInverseSelection, "mniFieldInverseSelection", "&Inverse Selection", R::pmFields, cmdNone, false},
}};

const std::array<TMenuCommand, 6> SelectionCommands{
    cmdSelectAllDuplicates, cmdClearSelected, cmdInverseSelection,
    cmdSelectAllDuplicates1, cmdClearSelected1, cmdInverseSelection1};

const std::array<TMenuCommand, 8> TreatmentCommands{
    cmdDelete, cmdDeletePermanently, cmdCopyToFolder, cmdMoveToFolder,
    cmdDelete1, cmdDeletePermanently1, cmdCopyToFolder1, cmdMoveToFolder1};

namespace {

const TMenuItemRow& RowOf(TMenuCommand command) {
  if (command < cmdFirst || command >= cmdLast) throw std::out_of_range("menu command");
  return MenuItems[command - cmdFirst];
}

bool HasChildren(TMenuCommand command) {
  for (const TMenuItemRow& row : MenuItems) {
    if (row.nParent == command) return true;
  }
  return false;
}

// A menu item as the language component sees it: its name and "Caption".
class TMenuItemLang : public ILangComponent {
 public:
  TMenuItemLang(TMenus& menus, TMenuCommand command, HWND owner)
      : FMenus(menus), FCommand(command), FOwner(owner) {}

  std::string Name() const override { return RowOf(FCommand).szName; }
  bool HasProperty(std::string_view name) const override { return name == "Caption"; }
  std::optional<std::string> GetText(std::string_view name) const override {
    if (name != "Caption") return std::nullopt;
    return FMenus.Caption(FCommand);
  }
  void SetText(std::string_view name, const std::string& value) override {
    if (name != "Caption" || RowOf(FCommand).szCaption == nullptr) return;
    FMenus.SetCaption(FCommand, value);
    if (FOwner && RowOf(FCommand).root == TMenuRoot::MainMenu) DrawMenuBar(FOwner);
  }

 private:
  TMenus& FMenus;
  TMenuCommand FCommand;
  HWND FOwner;
};

}  // namespace

TMenus::TMenus() {
  FRoots[static_cast<int>(TMenuRoot::MainMenu)] = CreateMenu();
  for (TMenuRoot r : {TMenuRoot::pmEmail, TMenuRoot::pmFolder, TMenuRoot::pmFields})
    FRoots[static_cast<int>(r)] = CreatePopupMenu();
  std::array<HMENU, cmdLast - cmdFirst> submenu{};
  for (const TMenuItemRow& row : MenuItems) {
    const HMENU parent = row.nParent == cmdNone ? Root(row.root) : submenu[row.nParent - cmdFirst];
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.wID = row.nCommand;
    info.fType = row.szCaption ? MFT_STRING : MFT_SEPARATOR;
    info.dwTypeData = const_cast<char*>(row.szCaption ? row.szCaption : "");
    if (HasChildren(row.nCommand)) {
      submenu[row.nCommand - cmdFirst] = CreatePopupMenu();
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = submenu[row.nCommand - cmdFirst];
    }
    InsertMenuItemA(parent, GetMenuItemCount(parent), TRUE, &info);
    FItemMenu[row.nCommand - cmdFirst] = parent;
    if (row.bDefault) SetMenuDefaultItem(parent, row.nCommand, FALSE);
  }
}

TMenus::~TMenus() {
  for (int r = 0; r < 4; ++r) {
    if (r == static_cast<int>(TMenuRoot::MainMenu) && FMainGiven) continue;
    DestroyMenu(FRoots[r]);  // destroys the submenus with it
  }
}

HMENU TMenus::MenuOf(TMenuCommand command) const { return FItemMenu[RowOf(command).nCommand - cmdFirst]; }

void TMenus::Enable(TMenuCommand command, bool enabled) {
  EnableMenuItem(MenuOf(command), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool TMenus::IsEnabled(TMenuCommand command) const {
  const UINT state = GetMenuState(MenuOf(command), command, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::string TMenus::Caption(TMenuCommand command) const {
  char text[256] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof(text) - 1;
  if (!GetMenuItemInfoA(MenuOf(command), command, FALSE, &info)) return {};
  return text;
}

void TMenus::SetCaption(TMenuCommand command, const std::string& caption) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<char*>(caption.c_str());
  SetMenuItemInfoA(MenuOf(command), command, FALSE, &info);
}

std::vector<std::unique_ptr<ILangComponent>> TMenus::MakeLangComponents(HWND hwndMenuOwner) {
  std::vector<std::unique_ptr<ILangComponent>> items;
  for (const TMenuItemRow& row : MenuItems)
    items.push_back(std::make_unique<TMenuItemLang>(*this, row.nCommand, hwndMenuOwner));
  return items;
}
