// The language component of a form: translates the form's texts from a
// language file and hands out message strings by key. Texts missing from
// the file are written to it with their current value, so a first run
// produces a complete file in the program's own language.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/IniFile.h"
#include "support/LangComponent.h"

using TLangLines = std::vector<std::string>;

class TMLang {
 public:
  // The owner must be a form, a data module or a frame; anything else
  // throws std::runtime_error "Owner Error!".
  explicit TMLang(ILangComponent* owner);
  TMLang(const TMLang&) = delete;
  TMLang& operator=(const TMLang&) = delete;

  // Setting the name opens the file: a name with ":\" is a full path, any
  // other is relative to the running program's folder; the missing folders
  // of the result are created. Then a pass runs when active.
  const std::string& LangFileName() const { return m_FileName; }
  void SetFileName(const std::string& strValue);
  const std::string& LangFileNameFull() const { return m_FileNameFull; }

  // Each setter stores the value and runs a pass when active (AddBracket
  // only stores). Failed writes throw EIniWriteError.
  bool ActiveNow() const { return m_Active; }
  void SetActive(bool bValue);
  bool IgnoreEmptyString() const { return m_IgnoreEmptyString; }
  void SetIgnoreEmptyString(bool bValue);
  bool AutoCreateMode() const { return m_AutoCreateMode; }
  void SetAutoCreateMode(bool bValue);
  bool AddBracket() const { return m_AddBracket; }
  void SetAddBracket(bool bValue) { m_AddBracket = bValue; }
  bool IgnoreFormCaption() const { return m_IgnoreFormCaption; }
  void SetIgnoreFormCaption(bool bValue);
  bool IncludeListViewItems() const { return m_IncludeListViewItems; }
  void SetIncludeListViewItems(bool bValue);
  bool IncludeListViewHead() const { return m_IncludeListViewHead; }
  void SetIncludeListViewHead(bool bValue);
  bool IncludeTreeViewItems() const { return m_IncludeTreeViewItems; }
  void SetIncludeTreeViewItems(bool bValue);

  // The name lists: a setter copies the lines and runs a pass when active.
  const TLangLines& StringProperties() const { return m_Properties; }
  void SetProperties(const TLangLines& lines);
  const TLangLines& StringsProperties() const { return m_StrsProperties; }
  void SetStrsProperties(const TLangLines& lines);
  const TLangLines& IgnoreControls() const { return m_IgnoreControls; }
  void SetIgnoreControls(const TLangLines& lines);
  const TLangLines& SaveFontSizeCtrls() const { return m_SaveFontSizeCtrls; }
  void SetSaveFontSizeCtrls(const TLangLines& lines);
  // Message lines "key=text"; a pass replaces each text by the file's.
  const TLangLines& StrList() const { return m_MsgList; }
  void SetMsgList(const TLangLines& lines);

  // The "[Info]" values of the file as last read.
  const std::string& LanguageName() const { return m_strLanguageName; }
  const std::string& LanguageID() const { return m_strLanguageID; }
  const std::string& LanguageVer() const { return m_strLanguageVer; }

  // Runs the translation pass when active and the owner is not being designed.
  void UpdateLangRes();

  // A message: StrList first, then the owner's section of the file (written
  // with the default when missing and bAutoWrite), then the default, then
  // the key itself. "\n" becomes a line break.
  std::string GetResString(const std::string& strKey, bool bAutoWrite, const std::string& strDefault);
  // A text of a named section; angle brackets found there are kept.
  std::string GetResString(const std::string& strKey, const std::string& strSection,
                           const std::string& strDefault, bool bAutoWrite);

  static std::string ProcessedStr(const std::string& s);
  std::string UnProcessedStr(const std::string& s) const;
  static std::string TreatString(std::string s);
  static bool IsHasProperty(const ILangComponent& component, const std::string& strName);

 private:
  void DoUpdateLangRes();
  void RegisterLangInfoToFile();
  void RegisterFontPropToFile(ILangComponent& form);
  void RegisterComponentFontProp(ILangComponent& component, ILangComponent& form);
  void RegisterStrPropToFile(ILangComponent& component, const std::string& strProperty);
  void RegisterStrsPropToFile(ILangComponent& component, const std::string& strProperty);
  void RegisterListView(ILangComponent& component);
  void RegisterListViewItems(ILangComponent& component);
  void RegisterTreeViewItems(ILangComponent& component);
  void RegisterHeaderControl(ILangComponent& component);
  void RegisterDBGrid(ILangComponent& component);
  void RegisterCaptions(ILangComponent& component, const std::string& strKeyPart);
  void RegisterOwnedComponent(ILangComponent& component);
  void RegisterMessages();
  // Key and default: Value becomes the file's text, or stays empty after
  // the default was written (or nothing could be read).
  void RegisterKeyValueToFile(const std::string& strKey, const std::string& strDefault, std::string& strValue,
                              std::string strSection);

  // The read-or-write rule for one text in the owner's section: true (and
  // strText replaced) when the file has a value for the key.
  bool ReadOrWrite(const std::string& strKey, std::string& strText);
  // A non-empty value of the file; none when missing, empty or no file.
  std::optional<std::string> ReadValue(const std::string& strSection, const std::string& strKey) const;
  std::optional<int> ReadNumber(const std::string& strSection, const std::string& strKey, int nAbsent) const;
  void Write(const std::string& strSection, const std::string& strKey, const std::string& strValue);
  std::string Section() const { return m_Owner->ClassName(); }
  bool IsIgnored(const std::string& strName) const;
  void OnMsgListChange();

  ILangComponent* m_Owner;  // the form, data module or frame
  TLangOwnerKind m_OwnerKind;
  bool m_Active = false;
  std::string m_FileName = "English.ini";
  std::string m_FileNameFull = "English.ini";
  bool m_IgnoreEmptyString = false;
  bool m_AutoCreateMode = true;
  bool m_AddBracket = false;
  TLangLines m_Properties{"Caption"};
  TLangLines m_StrsProperties{"Tabs", "Items"};
  TLangLines m_IgnoreControls;
  TLangLines m_SaveFontSizeCtrls;
  bool m_IgnoreFormCaption = false;
  bool m_IncludeListViewItems = false;
  bool m_IncludeListViewHead = false;
  bool m_IncludeTreeViewItems = false;
  TLangLines m_MsgList;
  bool m_bSelfModify = false;
  std::unique_ptr<TIniFile> m_IniFile;
  std::string m_strLanguageName;
  std::string m_strLanguageID;
  std::string m_strLanguageVer = "1.0";
};
