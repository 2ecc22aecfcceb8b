#include "support/FileSystem.h"

#include <windows.h>

#include <vector>

#include "support/FileSystemCommon.h"

namespace fsys {

const char kPathDelim = '\\';

TFileState StateOf(const std::string& strFileName) {
  const DWORD nAttributes = GetFileAttributesA(strFileName.c_str());
  if (nAttributes == INVALID_FILE_ATTRIBUTES) return TFileState::Missing;
  if (nAttributes & FILE_ATTRIBUTE_DIRECTORY) return TFileState::Folder;
  if (nAttributes & FILE_ATTRIBUTE_DEVICE) return TFileState::Other;
  return (nAttributes & FILE_ATTRIBUTE_READONLY) ? TFileState::ReadOnly : TFileState::Regular;
}

std::optional<std::string> ReadWholeFile(const std::string& strFileName) {
  const TFileState state = StateOf(strFileName);
  if (state != TFileState::Regular && state != TFileState::ReadOnly) return std::nullopt;
  detail::TStdFile file(strFileName, "rb");
  std::string strContent;
  if (!file || !detail::ReadStream(file.Get(), kMaxTextFileSize, strContent)) return std::nullopt;
  return strContent;
}

bool ReplaceFileContent(const std::string& strFileName, std::string_view content) {
  const TFileState state = StateOf(strFileName);
  if (state != TFileState::Missing && state != TFileState::Regular) return false;
  const std::string strTemp = detail::TempNameFor(strFileName, GetCurrentProcessId());
  if (!detail::WriteNewFile(strTemp, content)) return false;
  if (MoveFileExA(strTemp.c_str(), strFileName.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(strTemp.c_str());
  return false;
}

bool CreateFolderChain(const std::string& strFolder) {
  if (strFolder.empty()) return false;
  for (std::size_t nPos = 1; nPos <= strFolder.size(); ++nPos) {
    if (nPos < strFolder.size() && strFolder[nPos] != '\\') continue;
    // Drive letters, server names and existing levels fail harmlessly.
    CreateDirectoryA(strFolder.substr(0, nPos).c_str(), nullptr);
  }
  return StateOf(strFolder) == TFileState::Folder;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD nLength = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (nLength == 0) return {};
    if (nLength < buffer.size()) {
      std::string strPath(buffer.data(), nLength);
      const std::size_t nSlash = strPath.find_last_of("\\/");
      return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace fsys
