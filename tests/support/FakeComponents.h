// Plain components and owners for the language component's tests: named
// properties in maps, a font, list texts, and an owner with its components
// in the order they were added.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/LangComponent.h"

class TFakeComponent : public ILangComponent {
 public:
  explicit TFakeComponent(std::string strName, TLangKind kind = TLangKind::Other)
      : strName(std::move(strName)), kind(kind) {}

  std::string strName;
  TLangKind kind;
  std::map<std::string, std::string, std::less<>> texts;
  std::map<std::string, std::vector<std::string>, std::less<>> lines;
  std::map<std::string, int, std::less<>> integers;
  std::optional<TLangFont> font;
  std::vector<std::string> captions;
  std::vector<TLangListItem> items;

  std::string Name() const override { return strName; }
  TLangKind Kind() const override { return kind; }
  bool HasProperty(std::string_view name) const override {
    return texts.count(name) || lines.count(name) || integers.count(name) || (name == "Font" && font);
  }
  std::optional<std::string> GetText(std::string_view name) const override { return Find(texts, name); }
  void SetText(std::string_view name, const std::string& value) override { texts.find(name)->second = value; }
  std::optional<std::vector<std::string>> GetLines(std::string_view name) const override { return Find(lines, name); }
  void SetLines(std::string_view name, const std::vector<std::string>& value) override {
    lines.find(name)->second = value;
  }
  std::optional<int> GetInteger(std::string_view name) const override { return Find(integers, name); }
  void SetInteger(std::string_view name, int value) override { integers.find(name)->second = value; }
  std::optional<TLangFont> GetFont() const override { return font; }
  void SetFont(const TLangFont& value) override { font = value; }
  std::vector<std::string> GetCaptions() const override { return captions; }
  void SetCaptions(const std::vector<std::string>& value) override { captions = value; }
  std::vector<TLangListItem> GetListItems() const override { return items; }
  void SetListItems(const std::vector<TLangListItem>& value) override { items = value; }

 private:
  template <class TMap>
  static std::optional<typename TMap::mapped_type> Find(const TMap& map, std::string_view name) {
    const auto it = map.find(name);
    if (it == map.end()) return std::nullopt;
    return it->second;
  }
};

class TFakeForm : public TFakeComponent {
 public:
  TFakeForm(std::string strName, std::string strClassName, TLangOwnerKind ownerKind = TLangOwnerKind::Form)
      : TFakeComponent(std::move(strName)), strClassName(std::move(strClassName)), ownerKind(ownerKind) {}

  std::string strClassName;
  TLangOwnerKind ownerKind;
  bool bDesigning = false;
  std::vector<std::unique_ptr<TFakeComponent>> owned;

  TFakeComponent& Add(const std::string& strName, TLangKind kind = TLangKind::Other) {
    return *owned.emplace_back(std::make_unique<TFakeComponent>(strName, kind));
  }
  TFakeComponent& Child(const std::string& strName) {
    for (auto& component : owned) {
      if (component->strName == strName) return *component;
    }
    throw std::out_of_range(strName);
  }

  TLangOwnerKind OwnerKind() const override { return ownerKind; }
  std::string ClassName() const override { return strClassName; }
  bool IsDesigning() const override { return bDesigning; }
  std::vector<ILangComponent*> OwnedComponents() const override {
    std::vector<ILangComponent*> result;
    for (const auto& component : owned) result.push_back(component.get());
    return result;
  }
};
