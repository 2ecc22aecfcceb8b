#include "support/IniDocument.h"

#include <charconv>
#include <cstdint>

bool IsIniBlank(char c) {
  switch (static_cast<unsigned char>(c)) {
    case ' ': case '\t': case '\n': case '\v': case '\f': case '\r':
    case 0x1A:  // the end-of-file mark of old editors
      return true;
    default:
      return false;
  }
}

bool SameIniName(std::string_view a, std::string_view b) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::string_view TrimIniBlanks(std::string_view text) {
  while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
  return text;
}

namespace {

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
  return text;
}

// A header line "[name]" (up to the last "]"); none for any other line.
std::optional<std::string_view> HeaderName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t nClose = line.rfind(']');
  if (nClose == std::string_view::npos || nClose == 0) return std::nullopt;
  return TrimIniBlanks(line.substr(1, nClose - 1));
}

TIniKey KeyOfLine(std::string_view line) {
  const std::size_t nEqual = line.find('=');
  if (nEqual == std::string_view::npos) return {std::string(line), std::nullopt};
  return {std::string(TrimIniBlanks(line.substr(0, nEqual))),
          std::string(TrimLeft(line.substr(nEqual + 1)))};
}

}  // namespace

TIniDocument TIniDocument::Parse(std::string_view text) {
  TIniDocument doc;
  doc.FSections.push_back({});
  while (!text.empty()) {
    const std::size_t nEnd = text.find_first_of("\r\n");
    const std::string_view line = TrimIniBlanks(text.substr(0, nEnd));
    text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
    if (line.empty()) continue;
    if (const auto name = HeaderName(line)) {
      doc.FSections.push_back({std::string(*name), {}});
    } else {
      doc.FSections.back().keys.push_back(KeyOfLine(line));
    }
  }
  return doc;
}

std::string TIniDocument::Serialize() const {
  std::string strText;
  for (const TIniSection& section : FSections) {
    if (!section.strName.empty()) strText += "[" + section.strName + "]\r\n";
    for (const TIniKey& key : section.keys) {
      strText += key.strName;
      if (key.value) strText += "=" + *key.value;
      strText += "\r\n";
    }
  }
  return strText;
}

const TIniSection* TIniDocument::FindSection(std::string_view section) const {
  section = TrimIniBlanks(section);
  for (const TIniSection& candidate : FSections) {
    if (SameIniName(candidate.strName, section)) return &candidate;
  }
  return nullptr;
}

TIniSection& TIniDocument::SectionForWrite(std::string_view section) {
  for (TIniSection& candidate : FSections) {
    if (SameIniName(candidate.strName, section)) return candidate;
  }
  return FSections.emplace_back(TIniSection{std::string(section), {}});
}

std::optional<std::string> TIniDocument::RawValue(std::string_view section, std::string_view key) const {
  const TIniSection* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  key = TrimIniBlanks(key);
  for (const TIniKey& candidate : found->keys) {
    if (SameIniName(candidate.strName, key)) return candidate.value;
  }
  return std::nullopt;
}

bool TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimIniBlanks(section);
  key = TrimIniBlanks(key);
  TIniSection& target = SectionForWrite(section);
  TIniKey* entry = nullptr;
  for (TIniKey& candidate : target.keys) {
    if (SameIniName(candidate.strName, key)) {
      entry = &candidate;
      break;
    }
  }
  if (entry == nullptr) entry = &target.keys.emplace_back(TIniKey{std::string(key), std::nullopt});
  value = TrimLeft(value);
  if (entry->value && *entry->value == value) return false;
  entry->value = std::string(value);
  return true;
}

std::string ValueAsRead(std::string_view stored, std::size_t nBufferSize) {
  if (nBufferSize == 0) return {};
  bool bQuoted = false;
  if (stored.size() > 1 && (stored.front() == '"' || stored.front() == '\'') && stored.back() == stored.front()) {
    bQuoted = true;
    stored.remove_prefix(1);
  }
  std::string strValue(stored.substr(0, nBufferSize - 1));
  // The closing mark goes only when the whole rest fitted the buffer; at the
  // limit that drops the last character copied instead, as the system does.
  if (bQuoted && nBufferSize >= stored.size() && !strValue.empty()) strValue.pop_back();
  return strValue;
}

std::optional<int> ParseIniInteger(std::string_view text) {
  std::uint32_t nMagnitude = 0;
  const bool bHex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  bool bNegative = false;
  if (bHex) {
    text.remove_prefix(2);
  } else if (!text.empty() && text.front() == '-') {
    bNegative = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nMagnitude, bHex ? 16 : 10);
  if (error != std::errc() || pEnd != text.data() + text.size()) return std::nullopt;
  if (bHex) return static_cast<int>(nMagnitude);  // "0xFFFFFFFF" is -1
  if (bNegative) {
    if (nMagnitude > 2147483648u) return std::nullopt;
    return static_cast<int>(-static_cast<std::int64_t>(nMagnitude));
  }
  if (nMagnitude > 2147483647u) return std::nullopt;
  return static_cast<int>(nMagnitude);
}
