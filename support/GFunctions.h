// Where the program's files are, opening a web address, and the library's
// own version as text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/PathText.h"  // ForceDir

// The folder of the module that holds this code (the add-in's DLL, not the
// host program); empty when the system cannot tell.
std::string GetAppPath();
// The user's roaming application-data folder followed by "\Quop\Ruveruder";
// empty when the shell cannot give the folder. Creates nothing of its own.
std::string GetAppDataPath();
// GetAppPath followed by "\office2007.skn".
std::string GetSkinFile();
// GetAppDataPath followed by "\langs\English.lng"; its folder is created.
std::string GetLangFile();

// One shell "open" of a file with parameters (none when empty), shown
// normally and without a working folder; answers the shell's result, where
// 32 or less means failure.
using TShellOpen = std::function<std::intptr_t(const std::string& strFile, const std::string& strParameters)>;
std::intptr_t ShellOpen(const std::string& strFile, const std::string& strParameters);

// Opens the address in the user's browser: as a document, else through
// url.dll's protocol handler, else with Internet Explorer. Reports nothing.
void GotoUrl(const std::string& strAddress);
void GotoUrlWith(const std::string& strAddress, const TShellOpen& open);

// The file version of the module holding this code, "major.minor.release.build";
// "0.0.0.0" when it has none.
std::string GetFileVersion();
