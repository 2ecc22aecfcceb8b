#include "support/GFunctions.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "support/ModuleFolder.h"
#include "support/uFileAction.h"

std::string GetAppPath() { return OwnModuleFolder(); }

std::string GetAppDataPath() {
  char szFolder[MAX_PATH + 1] = {};
  // CSIDL_APPDATA with CSIDL_FLAG_CREATE: 0x801A.
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder))) {
    return {};
  }
  return std::string(szFolder) + "\\Quop\\Ruveruder";
}

std::string GetSkinFile() { return GetAppPath() + "\\office2007.skn"; }

std::string GetLangFile() {
  const std::string strFile = GetAppDataPath() + "\\langs\\English.lng";
  ForceDir(strFile);
  return strFile;
}

std::intptr_t ShellOpen(const std::string& strFile, const std::string& strParameters) {
  const HINSTANCE result = ShellExecuteA(nullptr, "open", strFile.c_str(),
                                         strParameters.empty() ? nullptr : strParameters.c_str(), nullptr,
                                         SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

void GotoUrl(const std::string& strAddress) { GotoUrlWith(strAddress, ShellOpen); }

void GotoUrlWith(const std::string& strAddress, const TShellOpen& open) {
  if (open(strAddress, {}) > 32) return;
  if (open("rundll32.exe", "url.dll,FileProtocolHandler " + strAddress) > 32) return;
  open("IEXPLORE.EXE", strAddress);
}

std::string GetFileVersion() {
  const std::string strFile = OwnModuleFileName();
  if (strFile.empty()) return "0.0.0.0";
  return TFileAction(strFile).GetFileVersionAsText();
}
