// Runs the console scan (quopscan.exe beside the test program) over a profile
// and reads its --json report.
#pragma once

#include <string>
#include <vector>

struct ScanRun {
  int exitCode = -1;  // -1: the program could not be started
  std::string out, err;
};

// quopscan.exe <args> --json --profile <profile> --index <a fresh file>.
ScanRun RunQuopscan(const std::string& profile, const std::vector<std::string>& args);
