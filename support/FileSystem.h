// The few file-system services that the portable support code needs
// (FileSystem.cpp, over the platform calls of FileSystemPlatform.h). File
// names are 8-bit strings in the system code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fsys {

// The separator of folder names: "\" on Windows, "/" elsewhere.
extern const char kPathDelim;

// Files larger than this are not read as text files.
inline constexpr std::size_t kMaxTextFileSize = 16u << 20;

// The whole content of a regular file; nullopt when it does not exist, is a
// folder, cannot be read or is larger than kMaxTextFileSize.
std::optional<std::string> ReadWholeFile(const std::string& strFileName);

enum class TFileState { Missing, Regular, ReadOnly, Folder, Other };
TFileState StateOf(const std::string& strFileName);

// Replaces the content of a file atomically: writes a temporary file beside
// it and renames that over the file. A read-only file, a folder or a failed
// write leave the old content untouched and answer false.
bool ReplaceFileContent(const std::string& strFileName, std::string_view content);

// Creates a folder and every missing folder above it; true when it exists
// afterwards.
bool CreateFolderChain(const std::string& strFolder);

// The folder of the running program (the host process), without a trailing
// separator; empty when the system cannot tell.
std::string ExecutableFolder();

// The folder part of a file name: the text before its last separator (on
// Windows "/" counts as one too); empty when it has none.
std::string FolderOfFile(const std::string& strFileName);

}  // namespace fsys
