// Folder names in file names, with the system's separator.
#pragma once

#include <string>

// Creates every missing folder of the folder part of a file name: the text
// up to and including the last separator. A name without one does nothing.
void ForceDir(const std::string& strFileName);

// The name after the last separator.
std::string ExtractFileName(const std::string& strFileName);

// True for a full path: one with a drive (":\"), or natively one that
// begins with "/".
bool IsFullPath(const std::string& strFileName);
