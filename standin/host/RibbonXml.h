// The host's reading of an add-in's ribbon XML (customUI): the groups and
// buttons it adds to tabs, and their callbacks. A small parser for the
// subset ribbon XML uses: elements, attributes in double or single quotes,
// the five predefined entities and numeric character references, comments
// and the XML declaration. No DTD, no CDATA, no processing instructions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// The customUI namespaces the host accepts: Office 2007's and Office 2010's.
inline constexpr wchar_t kCustomUi2006[] = L"http://schemas.microsoft.com/office/2006/01/customui";
inline constexpr wchar_t kCustomUi2009[] = L"http://schemas.microsoft.com/office/2009/07/customui";

struct RibbonButtonXml {
  std::wstring id;
  std::wstring label;
  std::wstring size;  // "large" or "normal" (the default)
  std::wstring screentip;
  std::wstring tag;
  std::wstring onAction;  // callback names; empty when not given
  std::wstring getImage;
  std::wstring imageMso;  // an Office image by name (not drawn by the host)
};

struct RibbonGroupXml {
  std::wstring tabIdMso;  // the built-in tab ("TabMail"), or
  std::wstring tabId;     // the add-in's own tab
  std::wstring tabLabel;
  std::wstring id;
  std::wstring label;
  std::vector<RibbonButtonXml> buttons;
};

struct RibbonXml {
  std::wstring nameSpace;
  std::vector<RibbonGroupXml> groups;  // in document order, over every tab
};

// Reads `text`; false with the reason in *error for text that is not
// well-formed, has another root than customUI, or a namespace the host
// does not know. Elements the host does not draw are skipped.
bool ParseRibbonXml(std::wstring_view text, RibbonXml* ribbon, std::wstring* error);

}  // namespace host
