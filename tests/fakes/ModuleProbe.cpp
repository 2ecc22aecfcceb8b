// A DLL that holds the index wrapper, built into a folder of its own next
// to a copy of the recording fake named QuopDB.dll: it shows that the
// wrapper looks for the library beside the module it is linked into, not
// beside the host program.
#include <windows.h>

#include <string>

#include "support/ModuleFolder.h"
#include "index/uDB.h"

extern "C" {

const char* QUOPDB_CALL ProbeModuleFolder() {
  static std::string strFolder;
  strFolder = OwnModuleFolder();
  return strFolder.c_str();
}

// The file of the library that Init("") loaded and resolved completely, or "".
const char* QUOPDB_CALL ProbeDefaultLibrary() {
  static std::string strFile;
  strFile.clear();
  TQuopDB db;
  if (db.Init("")) {
    char szName[MAX_PATH] = {};
    GetModuleFileNameA(db.Handle(), szName, MAX_PATH);
    strFile = szName;
  }
  return strFile.c_str();
}

}  // extern "C"
