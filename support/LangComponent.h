// What the language component needs of a form and the components it owns:
// their names, a few kinds, and access to named properties by type. Forms,
// data modules and frames answer the owner questions as well. Everything
// has a neutral default, so a component implements only what it has.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TLangOwnerKind { None, Form, DataModule, Frame };

enum class TLangKind { Other, Splitter, Timer, ListView, TreeView, HeaderControl, DataGrid };

struct TLangFont {
  std::string strName;  // face name
  int nSize = 0;        // points
  int nCharset = 1;     // character-set number, 0 to 255

  friend bool operator==(const TLangFont&, const TLangFont&) = default;
};

// A list-view row: its caption, then the texts of its sub-items.
struct TLangListItem {
  std::string strCaption;
  std::vector<std::string> subItems;

  friend bool operator==(const TLangListItem&, const TLangListItem&) = default;
};

class ILangComponent {
 public:
  virtual ~ILangComponent() = default;

  virtual std::string Name() const = 0;
  virtual TLangKind Kind() const { return TLangKind::Other; }

  // True when the component has a property of that name, of any type.
  virtual bool HasProperty(std::string_view name) const = 0;
  // A single-string property; none when there is no such string property.
  virtual std::optional<std::string> GetText(std::string_view /*name*/) const { return std::nullopt; }
  virtual void SetText(std::string_view /*name*/, const std::string& /*value*/) {}
  // A string-list property; none when the property is not a string list.
  virtual std::optional<std::vector<std::string>> GetLines(std::string_view /*name*/) const { return std::nullopt; }
  virtual void SetLines(std::string_view /*name*/, const std::vector<std::string>& /*lines*/) {}
  // An integer property ("FontSize", "FontCharset").
  virtual std::optional<int> GetInteger(std::string_view /*name*/) const { return std::nullopt; }
  virtual void SetInteger(std::string_view /*name*/, int /*value*/) {}

  // The font property; none for a component without one.
  virtual std::optional<TLangFont> GetFont() const { return std::nullopt; }
  virtual void SetFont(const TLangFont& /*font*/) {}

  // The captions of the list kinds: list-view columns, tree-view nodes in
  // the tree's absolute order, header sections, data-grid column titles.
  virtual std::vector<std::string> GetCaptions() const { return {}; }
  virtual void SetCaptions(const std::vector<std::string>& /*captions*/) {}
  // The rows of a list view.
  virtual std::vector<TLangListItem> GetListItems() const { return {}; }
  virtual void SetListItems(const std::vector<TLangListItem>& /*items*/) {}

  // Owners only: what kind of owner, its class name (the section of the
  // language file), whether it is being designed, and the components it
  // owns in the order of their creation.
  virtual TLangOwnerKind OwnerKind() const { return TLangOwnerKind::None; }
  virtual std::string ClassName() const { return {}; }
  virtual bool IsDesigning() const { return false; }
  virtual std::vector<ILangComponent*> OwnedComponents() const { return {}; }
};
