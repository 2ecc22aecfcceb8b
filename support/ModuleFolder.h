// The file and folder of the module (DLL or program) that contains given code.
#pragma once

#include <string>

// The full file name of the module that holds address; empty when the
// address lies in no module.
std::string ModuleFileNameOf(const void* address);

// The folder, without a trailing "\", of the module that holds address;
// empty when the address lies in no module.
std::string ModuleFolderOf(const void* address);

// The module this code is linked into: inside the add-in that is the
// add-in's DLL, not the host program.
std::string OwnModuleFileName();
std::string OwnModuleFolder();
