#include "support/PathText.h"

#include "support/FileSystem.h"

void ForceDir(const std::string& strFileName) {
  const std::size_t nDelim = strFileName.rfind(fsys::kPathDelim);
  if (nDelim == std::string::npos) return;
  fsys::CreateFolderChain(strFileName.substr(0, nDelim + 1));
}

std::string ExtractFileName(const std::string& strFileName) {
  const std::size_t nDelim = strFileName.rfind(fsys::kPathDelim);
  return nDelim == std::string::npos ? strFileName : strFileName.substr(nDelim + 1);
}

bool IsFullPath(const std::string& strFileName) {
  if (strFileName.find(":\\") != std::string::npos) return true;
  return fsys::kPathDelim == '/' && !strFileName.empty() && strFileName.front() == '/';
}
