// The translation pass of TMLang: every text of the owner and of the
// components it owns is read from the language file or written to it.
#include <algorithm>

#include "support/MLang.h"
#include "support/PathText.h"

namespace {

std::string Indexed(const std::string& strPrefix, std::size_t i) { return strPrefix + "[" + std::to_string(i) + "]"; }

bool Contains(const TLangLines& lines, const std::string& strName) {
  return std::find(lines.begin(), lines.end(), strName) != lines.end();
}

// Clears a flag however the scope is left.
class TFlagScope {
 public:
  explicit TFlagScope(bool& bFlag) : FFlag(bFlag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& FFlag;
};

}  // namespace

void TMLang::DoUpdateLangRes() {
  RegisterLangInfoToFile();
  if (m_OwnerKind == TLangOwnerKind::DataModule) return;
  ILangComponent& owner = *m_Owner;
  RegisterFontPropToFile(owner);
  for (const std::string& strProperty : m_Properties) {
    if (m_IgnoreFormCaption && strProperty == "Caption") continue;
    if (owner.GetText(strProperty)) RegisterStrPropToFile(owner, strProperty);
  }
  for (const std::string& strProperty : m_StrsProperties) {
    if (IsHasProperty(owner, strProperty)) RegisterStrsPropToFile(owner, strProperty);
  }
  for (ILangComponent* component : owner.OwnedComponents()) {
    if (component != nullptr) RegisterOwnedComponent(*component);
  }
  RegisterMessages();
}

void TMLang::RegisterOwnedComponent(ILangComponent& component) {
  const TLangKind kind = component.Kind();
  if (kind == TLangKind::Splitter || kind == TLangKind::Timer || IsIgnored(component.Name())) return;
  RegisterComponentFontProp(component, *m_Owner);
  if (kind == TLangKind::ListView) {
    if (m_IncludeListViewHead) RegisterListView(component);
    if (m_IncludeListViewItems) RegisterListViewItems(component);
  } else if (kind == TLangKind::TreeView && m_IncludeTreeViewItems) {
    RegisterTreeViewItems(component);
  } else if (kind == TLangKind::HeaderControl) {
    RegisterHeaderControl(component);
  } else if (kind == TLangKind::DataGrid) {
    RegisterDBGrid(component);
  } else {
    for (const std::string& strProperty : m_Properties) {
      if (component.GetText(strProperty)) RegisterStrPropToFile(component, strProperty);
    }
    for (const std::string& strProperty : m_StrsProperties) {
      if (IsHasProperty(component, strProperty)) RegisterStrsPropToFile(component, strProperty);
    }
  }
}

bool TMLang::IsIgnored(const std::string& strName) const { return Contains(m_IgnoreControls, strName); }

void TMLang::RegisterMessages() {
  const TFlagScope selfModify(m_bSelfModify);
  for (std::string& line : m_MsgList) {
    const std::size_t nEqual = line.find('=');
    if (nEqual == std::string::npos) continue;
    const std::string strKey = line.substr(0, nEqual);
    std::string strValue;
    RegisterKeyValueToFile(strKey, line.substr(nEqual + 1), strValue, {});
    if (strValue.empty()) continue;
    line = strKey + "=" + strValue;
    OnMsgListChange();  // the list's change notice, silenced by m_bSelfModify
  }
}

void TMLang::RegisterLangInfoToFile() {
  if (!m_IniFile) return;
  const std::string strFile = ExtractFileName(m_FileName);
  const std::string strName = strFile.size() > 4 ? strFile.substr(0, strFile.size() - 4) : std::string();
  if (!m_IniFile->SectionExists("Info")) {
    m_IniFile->Prepend("[Info]\r\nVer=1.0\r\nLanguageName=" + strName + "\r\nLanguageID=0x0409\r\n\r\n");
  }
  const struct {
    const char* szKey;
    std::string* target;
    std::string strDefault;
  } entries[] = {{"LanguageName", &m_strLanguageName, strName},
                 {"LanguageID", &m_strLanguageID, "0x0409"},
                 {"Ver", &m_strLanguageVer, "1.0"}};
  for (const auto& entry : entries) {
    if (const auto value = ReadValue("Info", entry.szKey)) {
      *entry.target = ProcessedStr(*value);
    } else if (m_AutoCreateMode) {
      Write("Info", entry.szKey, entry.strDefault);
    }
  }
}

bool TMLang::ReadOrWrite(const std::string& strKey, std::string& strText) {
  if (!m_IniFile) return false;
  if (const auto value = ReadValue(Section(), strKey)) {
    strText = ProcessedStr(*value);
    return true;
  }
  if (m_AutoCreateMode && (!strText.empty() || !m_IgnoreEmptyString)) Write(Section(), strKey, UnProcessedStr(strText));
  return false;
}

void TMLang::RegisterStrPropToFile(ILangComponent& component, const std::string& strProperty) {
  std::string strText = component.GetText(strProperty).value_or("");
  if (ReadOrWrite(component.Name() + "_" + strProperty, strText)) component.SetText(strProperty, strText);
}

void TMLang::RegisterStrsPropToFile(ILangComponent& component, const std::string& strProperty) {
  auto lines = component.GetLines(strProperty);
  if (!lines) return;
  for (std::size_t i = 0; i < lines->size(); ++i) {
    if (ReadOrWrite(Indexed(component.Name() + "_" + strProperty, i), (*lines)[i])) component.SetLines(strProperty, *lines);
  }
}

void TMLang::RegisterCaptions(ILangComponent& component, const std::string& strKeyPart) {
  std::vector<std::string> captions = component.GetCaptions();
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (ReadOrWrite(Indexed(component.Name() + strKeyPart, i), captions[i])) component.SetCaptions(captions);
  }
}

void TMLang::RegisterListView(ILangComponent& component) { RegisterCaptions(component, "_ColumnCaption"); }
void TMLang::RegisterTreeViewItems(ILangComponent& component) { RegisterCaptions(component, "_ItemText"); }
void TMLang::RegisterHeaderControl(ILangComponent& component) { RegisterCaptions(component, "_SectionsText"); }
void TMLang::RegisterDBGrid(ILangComponent& component) { RegisterCaptions(component, "_ColumnsCaption"); }

void TMLang::RegisterListViewItems(ILangComponent& component) {
  std::vector<TLangListItem> items = component.GetListItems();
  const std::string strName = component.Name();
  for (std::size_t i = 0; i < items.size(); ++i) {
    bool bChanged = ReadOrWrite(Indexed(strName + "_ItemCaption", i), items[i].strCaption);
    std::vector<std::string>& subItems = items[i].subItems;
    for (std::size_t j = 0; j < subItems.size(); ++j) {
      bChanged |= ReadOrWrite(Indexed(Indexed(strName + "_SubItem", i) + "Caption", j), subItems[j]);
    }
    if (bChanged) component.SetListItems(items);
  }
}

void TMLang::RegisterFontPropToFile(ILangComponent& form) {
  auto font = form.GetFont();
  if (!font || !m_IniFile) return;
  const std::string strSection = Section(), strPrefix = form.Name();
  if (const auto face = ReadValue(strSection, strPrefix + "_FontName")) {
    font->strName = ProcessedStr(*face);
  } else if (m_AutoCreateMode) {
    Write(strSection, strPrefix + "_FontName", font->strName);
  }
  if (const auto size = ReadNumber(strSection, strPrefix + "_FontSize", 0)) {
    font->nSize = *size;
  } else if (m_AutoCreateMode) {
    Write(strSection, strPrefix + "_FontSize", std::to_string(font->nSize));
  }
  const auto charset = ReadNumber(strSection, strPrefix + "_FontCharset", -1);
  if (charset && *charset >= 0 && *charset <= 255) {
    font->nCharset = *charset;
  } else if (m_AutoCreateMode) {
    Write(strSection, strPrefix + "_FontCharset", std::to_string(font->nCharset));
  }
  form.SetFont(*font);
}

void TMLang::RegisterComponentFontProp(ILangComponent& component, ILangComponent& form) {
  if (!m_IniFile) return;
  auto font = component.GetFont();
  const std::string strSection = Section(), strOwn = component.Name(), strForm = form.Name();
  auto face = ReadValue(strSection, strOwn + "_FontName");
  if (!face) face = ReadValue(strSection, strForm + "_FontName");
  if (face) {
    if (font) font->strName = ProcessedStr(*face);
    if (component.GetText("FontName")) component.SetText("FontName", ProcessedStr(*face));
  }
  auto size = ReadNumber(strSection, strOwn + "_FontSize", 0);
  if (!size && Contains(m_SaveFontSizeCtrls, strOwn)) {
    const auto current = font ? std::optional(font->nSize) : component.GetInteger("FontSize");
    if (m_AutoCreateMode && current) Write(strSection, strOwn + "_FontSize", std::to_string(*current));
  } else {
    if (!size) size = ReadNumber(strSection, strForm + "_FontSize", 0);
    if (size) {
      if (font) font->nSize = *size;
      if (component.GetInteger("FontSize")) component.SetInteger("FontSize", *size);
    }
  }
  auto charset = ReadNumber(strSection, strOwn + "_FontCharset", -1);
  if (!charset) charset = ReadNumber(strSection, strForm + "_FontCharset", -1);
  if (charset && *charset >= 0 && *charset <= 255) {
    if (font) font->nCharset = *charset;
    if (component.GetInteger("FontCharset")) component.SetInteger("FontCharset", *charset);
  }
  if (font) component.SetFont(*font);
}
