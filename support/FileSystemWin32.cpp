// FileSystem.h and FileSystemPlatform.h on Windows.
#include <windows.h>

#include <vector>

#include "support/FileSystem.h"
#include "support/FileSystemPlatform.h"

namespace fsys {

const char kPathDelim = '\\';

TFileState StateOf(const std::string& strFileName) {
  const DWORD nAttributes = GetFileAttributesA(strFileName.c_str());
  if (nAttributes == INVALID_FILE_ATTRIBUTES) return TFileState::Missing;
  if (nAttributes & FILE_ATTRIBUTE_DIRECTORY) return TFileState::Folder;
  if (nAttributes & FILE_ATTRIBUTE_DEVICE) return TFileState::Other;
  return (nAttributes & FILE_ATTRIBUTE_READONLY) ? TFileState::ReadOnly : TFileState::Regular;
}

namespace platform {

unsigned long ProcessId() { return GetCurrentProcessId(); }

// rename() of the C library refuses an existing target here.
bool RenameOver(const std::string& strFrom, const std::string& strTo) {
  return MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void MakeFolder(const std::string& strFolder) { CreateDirectoryA(strFolder.c_str(), nullptr); }

std::string ExecutableFile() { return ModuleFile(nullptr); }

std::string ModuleFile(void* module) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD nLength =
        GetModuleFileNameA(static_cast<HMODULE>(module), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (nLength == 0) return {};
    if (nLength < buffer.size()) return std::string(buffer.data(), nLength);
    buffer.resize(buffer.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace platform
}  // namespace fsys
