// The module (DLL or program) that holds given code, its file and its folder.
#pragma once

#include <windows.h>

#include <string>

// The module this code is linked into: inside the add-in that is the
// add-in's DLL, not the host program; in a test program, the program. Its
// window classes and resources belong to it. The reference count is left
// alone, so there is nothing to free.
HMODULE OwnModule();

// The full file name of the module that holds address; empty when the
// address lies in no module.
std::string ModuleFileNameOf(const void* address);

// The folder, without a trailing "\", of the module that holds address;
// empty when the address lies in no module.
std::string ModuleFolderOf(const void* address);

// The file and folder of OwnModule().
std::string OwnModuleFileName();
std::string OwnModuleFolder();
