#include "support/IniFile.h"

#include <mutex>

#include "support/FileSystem.h"
#include "support/IniDocument.h"

namespace {

// One read-modify-write at a time within the process.
std::mutex& WriteLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

EIniWriteError::EIniWriteError(const std::string& strFileName)
    : std::runtime_error("Unable to write to " + strFileName) {}

TIniFile::TContent TIniFile::Load(std::string& strText) const {
  strText.clear();
  if (fsys::StateOf(FFileName) == fsys::TFileState::Missing) return TContent::Missing;
  auto content = fsys::ReadWholeFile(FFileName);
  if (!content || content->find('\0') != std::string::npos) return TContent::Unusable;
  strText = std::move(*content);
  return TContent::Text;
}

void TIniFile::Store(std::string_view text) {
  if (!fsys::ReplaceFileContent(FFileName, text)) throw EIniWriteError(FFileName);
}

std::optional<std::string> TIniFile::ReadString(std::string_view section, std::string_view key) const {
  std::string strText;
  if (Load(strText) != TContent::Text) return std::nullopt;
  const auto stored = TIniDocument::Parse(strText).RawValue(section, key);
  if (!stored) return std::nullopt;
  return ValueAsRead(*stored);
}

std::optional<int> TIniFile::ReadInteger(std::string_view section, std::string_view key) const {
  const auto value = ReadString(section, key);
  return value ? ParseIniInteger(*value) : std::nullopt;
}

bool TIniFile::SectionExists(std::string_view section) const {
  std::string strText;
  if (Load(strText) != TContent::Text) return false;
  return TIniDocument::Parse(strText).FindSection(section) != nullptr;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::lock_guard<std::mutex> guard(WriteLock());
  std::string strText;
  if (Load(strText) == TContent::Unusable) throw EIniWriteError(FFileName);
  TIniDocument doc = TIniDocument::Parse(strText);
  if (doc.SetValue(section, key, value)) Store(doc.Serialize());
}

void TIniFile::Prepend(std::string_view text) {
  const std::lock_guard<std::mutex> guard(WriteLock());
  std::string strText;
  if (Load(strText) == TContent::Unusable) throw EIniWriteError(FFileName);
  Store(std::string(text) + strText);
}
