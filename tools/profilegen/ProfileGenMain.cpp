// profilegen: writes a sample profile for the stand-in MAPI provider.
//
//   profilegen [--stores N] [--messages N] [--exact F] [--near F] [--seed N]
//              [--realistic] [--big-folder N] [--out FILE | --check FILE]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/profilegen/ProfileGenerator.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: profilegen [--stores N] [--messages N] [--exact FRACTION] [--near FRACTION]\n"
               "                  [--seed N] [--realistic] [--big-folder N] [--out FILE | --check FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ProfileGenOptions o;
  std::string outPath, checkPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--realistic") {
      o.realistic = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (arg == "--stores") o.stores = std::atoi(value);
    else if (arg == "--messages") o.messages = std::atoi(value);
    else if (arg == "--exact") o.exact = std::atof(value);
    else if (arg == "--near") o.nearCopies = std::atof(value);
    else if (arg == "--seed") o.seed = std::strtoull(value, nullptr, 10);
    else if (arg == "--big-folder") o.bigFolder = std::atoi(value);
    else if (arg == "--out") outPath = value;
    else if (arg == "--check") checkPath = value;
    else return Usage();
  }
  if (o.stores < 1 || o.messages < 0 || o.bigFolder < 0 || o.exact < 0 || o.nearCopies < 0 || o.exact + o.nearCopies > 1) return Usage();
  const std::string text = GenerateProfile(o);
  if (!checkPath.empty()) {
    std::ifstream in(checkPath, std::ios::binary);
    std::ostringstream old;
    old << in.rdbuf();
    if (old.str() == text) return 0;
    std::fprintf(stderr, "%s differs from what these options generate\n", checkPath.c_str());
    return 1;
  }
  if (outPath.empty()) {
    std::cout << text;
    return std::cout.good() ? 0 : 1;
  }
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  out << text;
  return out.good() ? 0 : 1;
}
