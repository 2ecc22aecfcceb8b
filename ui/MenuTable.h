// The window's menus as one table: the main menu bar and the three popup
// menus, each item with its component name, its English caption and the
// menu it belongs to. The menus, the command identifiers and the language
// components of the items all come from this table.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "support/LangComponent.h"

enum TMenuCommand : UINT {
  cmdNone = 0,
  cmdFirst = 40001,
  // main menu
  cmdFile = cmdFirst, cmdSkipped, cmdExport, cmdUndo, cmdN4, cmdExit, cmdMessages, cmdSelectAllDuplicates1,
  cmdClearSelected1, cmdInverseSelection1, cmdN3, cmdCompare1, cmdNearMisses1, cmdN5, cmdCheckedEmails1, cmdDelete1, cmdDeletePermanently1,
  cmdCopyToFolder1, cmdMoveToFolder1, cmdHelp, cmdHome, cmdAbout,
  // pmEmail
  cmdViewEmail, cmdCompare, cmdCheckedEmails, cmdDelete, cmdDeletePermanently, cmdCopyToFolder,
  cmdMoveToFolder, cmdN1, cmdSelectAllDuplicates, cmdClearSelected, cmdInverseSelection, cmdN2,
  cmdExpandAll, cmdCollapseAll,
  // pmFolder
  cmdFolderSelectAll, cmdFolderUnselectAll, cmdFolderInverseSelection,
  // pmFields
  cmdSelectDefault, cmdFieldSelectAll, cmdFieldUnselectAll, cmdFieldInverseSelection,
  cmdLast
};

enum class TMenuRoot { MainMenu, pmEmail, pmFolder, pmFields };

struct TMenuItemRow {
  TMenuCommand nCommand;
  const char* szName;     // component name, the language file's key prefix
  const char* szCaption;  // English caption; null for a separator
  TMenuRoot root;
  TMenuCommand nParent;   // the item whose submenu holds this one; cmdNone: the root
  bool bDefault;          // the popup's default item (bold)
};

extern const std::array<TMenuItemRow, cmdLast - cmdFirst> MenuItems;

// The six selection commands and the eight treatment commands, in both menus.
extern const std::array<TMenuCommand, 6> SelectionCommands;
extern const std::array<TMenuCommand, 8> TreatmentCommands;

// The menus built from the table; destroyed with this object unless the main
// menu has been given to a window.
class TMenus {
 public:
  TMenus();
  ~TMenus();
  TMenus(const TMenus&) = delete;
  TMenus& operator=(const TMenus&) = delete;

  HMENU Root(TMenuRoot root) const { return FRoots[static_cast<int>(root)]; }
  // The main menu now belongs to the window it was set on.
  void MainMenuGiven() { FMainGiven = true; }

  void Enable(TMenuCommand command, bool enabled);
  bool IsEnabled(TMenuCommand command) const;
  std::string Caption(TMenuCommand command) const;
  void SetCaption(TMenuCommand command, const std::string& caption);

  // The items (separators included) as components of the language file.
  std::vector<std::unique_ptr<ILangComponent>> MakeLangComponents(HWND hwndMenuOwner);

 private:
  HMENU MenuOf(TMenuCommand command) const;

  std::array<HMENU, 4> FRoots{};
  std::array<HMENU, cmdLast - cmdFirst> FItemMenu{};  // the menu holding each item
  bool FMainGiven = false;
};
