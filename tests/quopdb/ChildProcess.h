// Runs another program of the build, found beside the test program, and
// returns its exit code (-1 when it could not be started).
#pragma once

#include <string>
#include <vector>

int RunProgramBeside(const std::string& name, const std::vector<std::string>& args);
