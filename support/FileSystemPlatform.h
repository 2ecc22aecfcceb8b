// The few calls in which the platforms differ, under the portable file-system
// services of FileSystem.cpp; one implementation per platform
// (FileSystemWin32.cpp, FileSystemPosix.cpp). kPathDelim and StateOf of
// FileSystem.h come from there too.
#pragma once

#include <string>

namespace fsys::platform {

unsigned long ProcessId();

// Renames a file over another, replacing it in one step; false when it
// cannot (the source is then still there).
bool RenameOver(const std::string& strFrom, const std::string& strTo);

// Makes one folder whose parent exists. An existing folder, a drive letter or
// a server name fails, harmlessly: the caller looks at the result itself.
void MakeFolder(const std::string& strFolder);

// The full file name of the running program (the host process); empty when
// the system cannot tell.
std::string ExecutableFile();

#ifdef _WIN32
// The full file name of a module loaded in this process (an HMODULE; null
// for the program); empty when the system cannot tell.
std::string ModuleFile(void* module);
#endif

}  // namespace fsys::platform
