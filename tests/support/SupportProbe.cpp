// A DLL that answers the path and version functions from inside itself;
// built with and without a version resource.
#include <string>

#include "support/GFunctions.h"

namespace {
std::string strAnswer;
}

extern "C" {

__declspec(dllexport) const char* ProbeFileVersion() {
  strAnswer = GetFileVersion();
  return strAnswer.c_str();
}

__declspec(dllexport) const char* ProbeAppPath() {
  strAnswer = GetAppPath();
  return strAnswer.c_str();
}

__declspec(dllexport) const char* ProbeSkinFile() {
  strAnswer = GetSkinFile();
  return strAnswer.c_str();
}

}  // extern "C"
