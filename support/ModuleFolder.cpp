#include "support/ModuleFolder.h"

#include <windows.h>

namespace {

std::string ModuleFileName(HMODULE module) {
  std::string strName(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength = GetModuleFileNameA(module, strName.data(), static_cast<DWORD>(strName.size()));
    if (nLength == 0) return {};
    if (nLength < strName.size()) {
      strName.resize(nLength);
      return strName;
    }
    strName.resize(strName.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace

std::string ModuleFileNameOf(const void* address) {
  HMODULE module = nullptr;
  // The reference count stays unchanged: nothing to release.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module)) {
    return {};
  }
  return ModuleFileName(module);
}

std::string ModuleFolderOf(const void* address) {
  std::string strPath = ModuleFileNameOf(address);
  const std::size_t nSlash = strPath.find_last_of("\\/");
  strPath.resize(nSlash == std::string::npos ? 0 : nSlash);
  return strPath;
}

std::string OwnModuleFileName() {
  return ModuleFileNameOf(reinterpret_cast<const void*>(&OwnModuleFileName));
}

std::string OwnModuleFolder() {
  return ModuleFolderOf(reinterpret_cast<const void*>(&OwnModuleFolder));
}
