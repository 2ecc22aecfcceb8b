#include "standin/host/RibbonXml.h"

#include <cwchar>
#include <cwctype>
#include <map>
#include <stdexcept>

namespace host {
namespace {

struct Element {
  std::wstring name;
  std::map<std::wstring, std::wstring> attributes;
  std::vector<Element> children;

  std::wstring Attribute(const wchar_t* key) const {
    auto it = attributes.find(key);
    return it == attributes.end() ? std::wstring() : it->second;
  }
};

class XmlError : public std::runtime_error {
 public:
  XmlError(const std::string& what, size_t at) : std::runtime_error(what + " at " + std::to_string(at)) {}
};

// A recursive-descent reader over the text.
class Reader {
 public:
  explicit Reader(std::wstring_view text) : text_(text) {}

  Element Document() {
    SkipMisc();
    if (!Next(L"<")) Fail("no root element");
    Element root = ElementAfterOpen();
    SkipMisc();
    if (pos_ != text_.size()) Fail("text after the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const char* what) const { throw XmlError(what, pos_); }

  bool Next(std::wstring_view token) {
    if (text_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }
  void Expect(std::wstring_view token, const char* what) {
    if (!Next(token)) Fail(what);
  }
  static bool Blank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
  void SkipBlanks() {
    while (pos_ < text_.size() && Blank(text_[pos_])) ++pos_;
  }
  void SkipPast(std::wstring_view end, const char* what) {
    const size_t found = text_.find(end, pos_);
    if (found == std::wstring_view::npos) Fail(what);
    pos_ = found + end.size();
  }
  // Blanks, comments and the declaration between elements.
  void SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (Next(L"<!--")) {
        SkipPast(L"-->", "unclosed comment");
      } else if (Next(L"<?")) {
        SkipPast(L"?>", "unclosed declaration");
      } else {
        return;
      }
    }
  }
  std::wstring Name() {
    const size_t start = pos_;
    while (pos_ < text_.size() && (std::iswalnum(text_[pos_]) || text_[pos_] == L':' || text_[pos_] == L'_' ||
                                   text_[pos_] == L'-' || text_[pos_] == L'.')) {
      ++pos_;
    }
    if (pos_ == start) Fail("a name expected");
    return std::wstring(text_.substr(start, pos_ - start));
  }
  std::wstring Unescape(std::wstring_view raw) const {
    static const std::map<std::wstring_view, wchar_t> kEntities = {
        {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != L'&') {
        out += raw[i];
        continue;
      }
      const size_t end = raw.find(L';', i);
      if (end == std::wstring_view::npos) Fail("unclosed reference");
      const std::wstring_view name = raw.substr(i + 1, end - i - 1);
      if (!name.empty() && name[0] == L'#') {
        const bool hex = name.size() > 1 && (name[1] == L'x' || name[1] == L'X');
        const std::wstring digits(name.substr(hex ? 2 : 1));
        wchar_t* stop = nullptr;
        const unsigned long code = std::wcstoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (digits.empty() || *stop != L'\0' || code == 0 || code > 0xFFFF) Fail("bad character reference");
        out += static_cast<wchar_t>(code);
      } else {
        auto it = kEntities.find(name);
        if (it == kEntities.end()) Fail("unknown entity");
        out += it->second;
      }
      i = end;
    }
    return out;
  }
  std::wstring AttributeValue() {
    if (pos_ >= text_.size() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) Fail("a quoted value expected");
    const wchar_t quote = text_[pos_++];
    const size_t end = text_.find(quote, pos_);
    if (end == std::wstring_view::npos) Fail("unclosed value");
    const std::wstring_view raw = text_.substr(pos_, end - pos_);
    if (raw.find(L'<') != std::wstring_view::npos) Fail("'<' in a value");
    pos_ = end + 1;
    return Unescape(raw);
  }
  // After "<": the element with its attributes and content.
  Element ElementAfterOpen() {
    Element element;
    element.name = Name();
    for (;;) {
      SkipBlanks();
      if (Next(L"/>")) return element;
      if (Next(L">")) break;
      std::wstring key = Name();
      SkipBlanks();
      Expect(L"=", "'=' expected");
      SkipBlanks();
      if (!element.attributes.emplace(std::move(key), AttributeValue()).second) Fail("a repeated attribute");
    }
    for (;;) {
      SkipMisc();
      if (Next(L"</")) {
        if (Name() != element.name) Fail("mismatched end tag");
        SkipBlanks();
        Expect(L">", "'>' expected");
        return element;
      }
      if (pos_ >= text_.size()) Fail("unclosed element");
      if (!Next(L"<")) Fail("text where only elements may be");
      element.children.push_back(ElementAfterOpen());
    }
  }

  std::wstring_view text_;
  size_t pos_ = 0;
};

const Element* Child(const Element& parent, const wchar_t* name) {
  for (const Element& child : parent.children) {
    if (child.name == name) return &child;
  }
  return nullptr;
}

RibbonButtonXml ButtonOf(const Element& e) {
  return {e.Attribute(L"id"),       e.Attribute(L"label"),    e.Attribute(L"size"),
          e.Attribute(L"screentip"), e.Attribute(L"tag"),     e.Attribute(L"onAction"),
          e.Attribute(L"getImage"),  e.Attribute(L"imageMso")};
}

void ReadTabs(const Element& tabs, RibbonXml* ribbon) {
  for (const Element& tab : tabs.children) {
    if (tab.name != L"tab") continue;
    for (const Element& group : tab.children) {
      if (group.name != L"group") continue;
      RibbonGroupXml read{tab.Attribute(L"idMso"), tab.Attribute(L"id"), tab.Attribute(L"label"),
                          group.Attribute(L"id"), group.Attribute(L"label"), {}};
      for (const Element& control : group.children) {
        if (control.name == L"button") read.buttons.push_back(ButtonOf(control));
      }
      ribbon->groups.push_back(std::move(read));
    }
  }
}

}  // namespace

bool ParseRibbonXml(std::wstring_view text, RibbonXml* ribbon, std::wstring* error) {
  Element root;
  try {
    root = Reader(text).Document();
  } catch (const XmlError& e) {
    const std::string what = e.what();
    *error = L"not well-formed: " + std::wstring(what.begin(), what.end());
    return false;
  }
  if (root.name != L"customUI") {
    *error = L"the root element is " + root.name + L", not customUI";
    return false;
  }
  ribbon->nameSpace = root.Attribute(L"xmlns");
  if (ribbon->nameSpace != kCustomUi2006 && ribbon->nameSpace != kCustomUi2009) {
    *error = L"unknown namespace \"" + ribbon->nameSpace + L"\"";
    return false;
  }
  ribbon->groups.clear();
  if (const Element* bar = Child(root, L"ribbon")) {
    if (const Element* tabs = Child(*bar, L"tabs")) ReadTabs(*tabs, ribbon);
  }
  return true;
}

}  // namespace host
