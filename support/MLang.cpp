#include "support/MLang.h"

#include <stdexcept>

#include "support/FileSystem.h"
#include "support/IniDocument.h"
#include "support/PathText.h"

TMLang::TMLang(ILangComponent* owner)
    : m_Owner(owner), m_OwnerKind(owner != nullptr ? owner->OwnerKind() : TLangOwnerKind::None) {
  if (m_OwnerKind == TLangOwnerKind::None) throw std::runtime_error("Owner Error!");
  UpdateLangRes();
}

void TMLang::SetFileName(const std::string& strValue) {
  m_FileName = strValue;
  m_FileNameFull = IsFullPath(strValue) ? strValue : fsys::ExecutableFolder() + fsys::kPathDelim + strValue;
  ForceDir(m_FileNameFull);
  m_IniFile = std::make_unique<TIniFile>(m_FileNameFull);
  UpdateLangRes();
}

void TMLang::SetActive(bool bValue) {
  m_Active = bValue;
  UpdateLangRes();
}

void TMLang::SetIgnoreEmptyString(bool bValue) {
  m_IgnoreEmptyString = bValue;
  UpdateLangRes();
}

void TMLang::SetAutoCreateMode(bool bValue) {
  m_AutoCreateMode = bValue;
  UpdateLangRes();
}

void TMLang::SetIgnoreFormCaption(bool bValue) {
  m_IgnoreFormCaption = bValue;
  UpdateLangRes();
}

void TMLang::SetIncludeListViewItems(bool bValue) {
  m_IncludeListViewItems = bValue;
  UpdateLangRes();
}

void TMLang::SetIncludeListViewHead(bool bValue) {
  m_IncludeListViewHead = bValue;
  UpdateLangRes();
}

void TMLang::SetIncludeTreeViewItems(bool bValue) {
  m_IncludeTreeViewItems = bValue;
  UpdateLangRes();
}

void TMLang::SetProperties(const TLangLines& lines) {
  m_Properties = lines;
  UpdateLangRes();
}

void TMLang::SetStrsProperties(const TLangLines& lines) {
  m_StrsProperties = lines;
  UpdateLangRes();
}

void TMLang::SetIgnoreControls(const TLangLines& lines) {
  m_IgnoreControls = lines;
  UpdateLangRes();
}

void TMLang::SetSaveFontSizeCtrls(const TLangLines& lines) {
  m_SaveFontSizeCtrls = lines;
  UpdateLangRes();
}

void TMLang::SetMsgList(const TLangLines& lines) {
  m_MsgList = lines;
  OnMsgListChange();
}

void TMLang::OnMsgListChange() {
  if (!m_bSelfModify) UpdateLangRes();
}

void TMLang::UpdateLangRes() {
  if (m_Active && !m_Owner->IsDesigning()) DoUpdateLangRes();
}

std::optional<std::string> TMLang::ReadValue(const std::string& strSection, const std::string& strKey) const {
  if (!m_IniFile) return std::nullopt;
  auto value = m_IniFile->ReadString(strSection, strKey);
  if (!value || value->empty()) return std::nullopt;
  return value;
}

std::optional<int> TMLang::ReadNumber(const std::string& strSection, const std::string& strKey, int nAbsent) const {
  if (!m_IniFile) return std::nullopt;
  const auto value = m_IniFile->ReadInteger(strSection, strKey);
  if (!value || *value == nAbsent) return std::nullopt;
  return value;
}

void TMLang::Write(const std::string& strSection, const std::string& strKey, const std::string& strValue) {
  if (m_IniFile) m_IniFile->WriteString(strSection, strKey, strValue);
}

void TMLang::RegisterKeyValueToFile(const std::string& strKey, const std::string& strDefault, std::string& strValue,
                                    std::string strSection) {
  if (!m_IniFile) return;
  if (strSection.empty()) strSection = Section();
  // The key is read from the section it is written to.
  if (const auto value = ReadValue(strSection, strKey)) {
    strValue = ProcessedStr(*value);
    return;
  }
  if (m_AutoCreateMode && (!strDefault.empty() || !m_IgnoreEmptyString)) {
    Write(strSection, strKey, UnProcessedStr(strDefault));
  }
  strValue.clear();
}

namespace {

// The text after "=" of the first line whose name is the key (case-insensitive).
std::string ValueOfLines(const TLangLines& lines, const std::string& strKey) {
  for (const std::string& line : lines) {
    const std::size_t nEqual = line.find('=');
    if (nEqual != std::string::npos && SameIniName(line.substr(0, nEqual), strKey)) return line.substr(nEqual + 1);
  }
  return {};
}

}  // namespace

std::string TMLang::GetResString(const std::string& strKey, bool bAutoWrite, const std::string& strDefault) {
  if (strKey.empty()) return {};
  std::string strValue = ValueOfLines(m_MsgList, strKey);
  if (strValue.empty()) {
    if (bAutoWrite) RegisterKeyValueToFile(strKey, strDefault, strValue, {});
    if (strValue.empty()) strValue = strDefault;
  }
  if (strValue.empty()) strValue = strKey;
  return TreatString(strValue);
}

std::string TMLang::GetResString(const std::string& strKey, const std::string& strSection,
                                 const std::string& strDefault, bool bAutoWrite) {
  if (strKey.empty() || strSection.empty()) return {};
  std::string strValue = ReadValue(strSection, strKey).value_or("");
  if (strValue.empty()) {
    if (bAutoWrite) RegisterKeyValueToFile(strKey, strDefault, strValue, strSection);
    if (strValue.empty()) strValue = strDefault;
  }
  if (strValue.empty()) strValue = strKey;
  return TreatString(strValue);
}

std::string TMLang::ProcessedStr(const std::string& s) {
  if (s.size() >= 2 && s.front() == '<' && s.back() == '>') return s.substr(1, s.size() - 2);
  return s;
}

std::string TMLang::UnProcessedStr(const std::string& s) const { return m_AddBracket ? "<" + s + ">" : s; }

std::string TMLang::TreatString(std::string s) {
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] == '\\' && s[i + 1] == 'n') {
      s[i] = '\r';
      s[++i] = '\n';
    }
  }
  return s;
}

bool TMLang::IsHasProperty(const ILangComponent& component, const std::string& strName) {
  return component.HasProperty(strName);
}
