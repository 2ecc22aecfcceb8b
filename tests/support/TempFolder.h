// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "support/FileSystem.h"

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  // The folder's path, in the system's own notation.
  const std::string& Path() const { return FPath; }
  // A name inside the folder ("a" + delimiter + "b" for Join("a", "b")).
  std::string File(const std::string& strName) const { return FPath + fsys::kPathDelim + strName; }

 private:
  std::string FPath;
};

// Bytes of a file; empty when it cannot be read.
std::string FileBytes(const std::string& strFileName);
void WriteBytes(const std::string& strFileName, const std::string& content);
// Gives or takes away the write permission (the read-only attribute).
void SetReadOnly(const std::string& strFileName, bool bReadOnly);
