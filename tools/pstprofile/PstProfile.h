// Writes a stand-in mail profile (standin/README.md) from .pst and .ost
// files, one store per file, the first the default store. Message by
// message, so no more than one message is held in memory. The same files
// give the same bytes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct PstProfileReport {
  long stores = 0, folders = 0, messages = 0;
  // One line per folder or message that could not be read and is missing
  // from the profile. A file that cannot be opened, or a folder whose
  // contents cannot be listed, throws: the text written so far is not a
  // whole profile then.
  std::vector<std::string> errors;
};

void WritePstProfile(const std::vector<std::string>& paths, std::ostream& out, PstProfileReport& report);
