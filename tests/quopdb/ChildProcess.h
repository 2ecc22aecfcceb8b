// Files and programs of the build found beside the test program.
#pragma once

#include <string>
#include <vector>

int RunProgramBeside(const std::string& name, const std::vector<std::string>& args);

// The path of a file in the test program's own folder.
std::string BesideTestProgram(const std::string& file);
