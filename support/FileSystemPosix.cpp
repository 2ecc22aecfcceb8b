// FileSystem.h and FileSystemPlatform.h on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "support/FileSystem.h"
#include "support/FileSystemPlatform.h"

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

namespace platform {

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

// rename() replaces an existing file in one step here.
bool RenameOver(const std::string& strFrom, const std::string& strTo) {
  return std::rename(strFrom.c_str(), strTo.c_str()) == 0;
}

void MakeFolder(const std::string& strFolder) { mkdir(strFolder.c_str(), 0777); }

std::string ExecutableFile() {
  std::vector<char> buffer(4096);
  const ssize_t nLength = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (nLength <= 0 || static_cast<std::size_t>(nLength) >= buffer.size()) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(nLength));
}

}  // namespace platform
}  // namespace fsys
