// The controls of the "Copy to &keep" section: the keep rules as a check
// list the user orders with Up and Down (a checked rule is in the chain, in
// list order), and the ordered folder list of "In a preferred folder", fed
// from the folder selected in the "Search &In" tree.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "results/KeepRules.h"

class TKeepPanel {
 public:
  // Control identifiers; the panel forwards their commands to the window.
  enum : int {
    idRules = 0x600, idRuleUp, idRuleDown, idFoldersLabel, idFolders, idFolderAdd, idFolderRemove, idFolderUp,
    idFolderDown
  };
  // The client height the section needs below its caption bar.
  static constexpr int kDesignHeight = 246;

  // A rule's text in the list (UTF-8), translated by the caller.
  using TRuleName = std::function<std::string(const results::TKeepRuleText&)>;
  TKeepPanel(HWND parent, HFONT font, TRuleName ruleName);
  TKeepPanel(const TKeepPanel&) = delete;
  TKeepPanel& operator=(const TKeepPanel&) = delete;

  // The controls the language file translates, by component name.
  struct TNamedControl {
    const char* name;
    HWND hwnd;
  };
  std::vector<TNamedControl> Controls() const;

  // The chain as the controls show it, and back. Rules not in a chain stay
  // in the list unchecked, after the chain's, in their usual order.
  results::TKeepChain Chain() const;
  void SetChain(const results::TKeepChain& chain);

  // The folder "Add" takes ("Store/Path"), or none when no folder is selected.
  std::function<std::optional<std::string>()> SelectedFolder;

  // A click on one of the panel's buttons; false for any other command.
  bool OnCommand(UINT nId, UINT nCode);
  // A check clicked in the rule list; false for any other notification.
  bool OnNotify(const NMHDR* header);
  // Places the controls in the section's content rectangle.
  void Layout(const RECT& content);

  // What the controls show and the buttons' actions, for the window's tests.
  HWND RuleList() const { return FRules; }
  HWND FolderList() const { return FFolders; }
  std::vector<results::EKeepRule> RuleOrder() const;
  void SelectRule(int row);
  void MoveRule(int delta);  // the selected rule, up (-1) or down (+1)
  std::vector<std::string> Folders() const { return FFolderEntries; }
  void SelectFolder(int row);
  void AddFolder();
  void RemoveFolder();
  void MoveFolder(int delta);

 private:
  struct TRuleRow {
    results::EKeepRule rule;
    bool checked;
  };
  std::vector<TRuleRow> ReadRules() const;
  results::TKeepChain ReadChain() const;
  void ShowRules(const std::vector<TRuleRow>& rows, int selected);
  void ShowFolders(int selected);
  int SelectedRule() const;
  int SelectedFolderRow() const;
  HWND Child(const char* szClass, const char* szText, DWORD nStyle, int nId, bool wide = false);

  HWND FParent;
  HFONT FFont;
  TRuleName FRuleName;
  HWND FRules = nullptr, FRuleUp = nullptr, FRuleDown = nullptr, FFoldersLabel = nullptr, FFolders = nullptr,
       FFolderAdd = nullptr, FFolderRemove = nullptr, FFolderUp = nullptr, FFolderDown = nullptr;
  std::vector<std::string> FFolderEntries;  // UTF-8, in preference order
  // The chain as last read from the controls; every group of a load asks
  // for it, and reading the list costs a dozen messages.
  mutable std::optional<results::TKeepChain> FChain;
};
