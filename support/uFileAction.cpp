#include "support/uFileAction.h"

#include <windows.h>

#include <vector>

bool TFileAction::GetFileExit() const {
  const DWORD nAttributes = GetFileAttributesA(FFileName.c_str());
  return nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TFileAction::GetBuildInfo(TBuildInfo& info) const {
  DWORD nHandle = 0;
  const DWORD nSize = GetFileVersionInfoSizeA(FFileName.c_str(), &nHandle);
  if (nSize == 0) return false;
  std::vector<char> buffer(nSize);
  if (!GetFileVersionInfoA(FFileName.c_str(), 0, nSize, buffer.data())) return false;
  void* pFixed = nullptr;
  UINT nFixedSize = 0;
  if (!VerQueryValueA(buffer.data(), "\\", &pFixed, &nFixedSize) || pFixed == nullptr ||
      nFixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(pFixed);
  info.nMajor = HIWORD(fixed->dwFileVersionMS);
  info.nMinor = LOWORD(fixed->dwFileVersionMS);
  info.nRelease = HIWORD(fixed->dwFileVersionLS);
  info.nBuild = LOWORD(fixed->dwFileVersionLS);
  return true;
}

std::string TFileAction::GetFileVersionAsText() const {
  if (!FileExit()) throw std::runtime_error(kFileNotFoundText);
  TBuildInfo info;
  if (!GetBuildInfo(info)) info = TBuildInfo{};
  return std::to_string(info.nMajor) + "." + std::to_string(info.nMinor) + "." + std::to_string(info.nRelease) +
         "." + std::to_string(info.nBuild);
}
