#include "support/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "support/FileSystemCommon.h"

namespace fsys {

const char kPathDelim = '/';

TFileState StateOf(const std::string& strFileName) {
  struct stat info {};
  if (stat(strFileName.c_str(), &info) != 0) return TFileState::Missing;
  if (S_ISDIR(info.st_mode)) return TFileState::Folder;
  if (!S_ISREG(info.st_mode)) return TFileState::Other;
  // Like the read-only attribute of Windows: no write permission for anyone,
  // whoever runs the program.
  return (info.st_mode & 0222) == 0 ? TFileState::ReadOnly : TFileState::Regular;
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
  const std::string strTemp = detail::TempNameFor(strFileName, static_cast<unsigned long>(getpid()));
  if (!detail::WriteNewFile(strTemp, content)) return false;
  if (std::rename(strTemp.c_str(), strFileName.c_str()) == 0) return true;
  std::remove(strTemp.c_str());
  return false;
}

bool CreateFolderChain(const std::string& strFolder) {
  if (strFolder.empty()) return false;
  for (std::size_t nPos = 1; nPos <= strFolder.size(); ++nPos) {
    if (nPos < strFolder.size() && strFolder[nPos] != '/') continue;
    mkdir(strFolder.substr(0, nPos).c_str(), 0777);  // existing levels fail harmlessly
  }
  return StateOf(strFolder) == TFileState::Folder;
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  const ssize_t nLength = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (nLength <= 0 || static_cast<std::size_t>(nLength) >= buffer.size()) return {};
  std::string strPath(buffer.data(), static_cast<std::size_t>(nLength));
  const std::size_t nSlash = strPath.rfind('/');
  return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash);
}

}  // namespace fsys
