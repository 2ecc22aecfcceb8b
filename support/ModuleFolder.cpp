#include "support/ModuleFolder.h"

#include "support/FileSystem.h"
#include "support/FileSystemPlatform.h"

namespace {

// The module that holds address, or null; the reference count stays
// unchanged.
HMODULE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

// Empty for no module: GetModuleFileName(null) would name the program.
std::string ModuleFileName(HMODULE module) { return module ? fsys::platform::ModuleFile(module) : std::string(); }

}  // namespace

HMODULE OwnModule() {
  // This function's own address lies in the module this code is linked into.
  static const HMODULE module = ModuleOf(reinterpret_cast<const void*>(&OwnModule));
  return module;
}

std::string ModuleFileNameOf(const void* address) { return ModuleFileName(ModuleOf(address)); }

std::string ModuleFolderOf(const void* address) { return fsys::FolderOfFile(ModuleFileNameOf(address)); }

std::string OwnModuleFileName() { return ModuleFileName(OwnModule()); }

std::string OwnModuleFolder() { return fsys::FolderOfFile(OwnModuleFileName()); }
