// pstprofile: a stand-in mail profile from .pst and .ost files.
//
//   pstprofile [--out FILE] file.pst [file.ost ...]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/pstprofile/PstProfile.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: pstprofile [--out FILE] file.pst [file.ost ...]\n");
  return 2;
}

// Writes the profile to `out`; false (with the reasons on stderr) when
// anything of the files could not be read.
bool Write(const std::vector<std::string>& files, std::ostream& out) {
  PstProfileReport report;
  try {
    WritePstProfile(files, out, report);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pstprofile: %s\n", e.what());
    return false;
  }
  for (const std::string& line : report.errors) std::fprintf(stderr, "pstprofile: %s\n", line.c_str());
  std::fprintf(stderr, "pstprofile: %ld stores, %ld folders, %ld messages, %zu unreadable\n", report.stores,
               report.folders, report.messages, report.errors.size());
  return report.errors.empty() && out.good();
}

}  // namespace

int main(int argc, char** argv) {
  std::string outPath;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc) outPath = argv[++i];
    else if (arg.starts_with("--")) return Usage();
    else files.push_back(arg);
  }
  if (files.empty()) return Usage();
  if (outPath.empty()) return Write(files, std::cout) ? 0 : 1;
  // A partial profile never takes the name: written aside, renamed when whole.
  const std::string part = outPath + ".part";
  bool ok;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    ok = out.is_open() && Write(files, out);
  }
  std::error_code ec;
  if (ok) std::filesystem::rename(part, outPath, ec);
  if (!ok || ec) {
    std::filesystem::remove(part, ec);
    std::fprintf(stderr, "pstprofile: %s not written\n", outPath.c_str());
    return 1;
  }
  return 0;
}
