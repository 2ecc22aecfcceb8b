// An INI file on disk, read and written by the rules of the system's profile
// functions (see IniDocument.h). Every call reads the file's current content;
// nothing is cached. Writes replace the file atomically.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A write the file system refused; the file keeps its old content.
class EIniWriteError : public std::runtime_error {
 public:
  explicit EIniWriteError(const std::string& strFileName);
};

class TIniFile {
 public:
  explicit TIniFile(std::string strFileName) : FFileName(std::move(strFileName)) {}

  const std::string& FileName() const { return FFileName; }

  // The value as the profile functions read it; none when the key is
  // missing or its line has no "=". An empty value is returned as empty.
  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;

  // The value as a decimal or "0x" hexadecimal integer; none for a missing
  // key or any other text.
  std::optional<int> ReadInteger(std::string_view section, std::string_view key) const;

  bool SectionExists(std::string_view section) const;

  // Throws EIniWriteError when the file cannot be written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Puts text in front of the file's content, which stays as it is.
  void Prepend(std::string_view text);

 private:
  enum class TContent { Text, Missing, Unusable };
  // The file's bytes; a file that is not text (a folder, unreadable, too
  // large or holding NUL bytes) is unusable: it reads as empty and is never
  // written.
  TContent Load(std::string& strText) const;
  void Store(std::string_view text);

  std::string FFileName;
};
