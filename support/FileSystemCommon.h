// Pieces shared by the two platform files of FileSystem.h.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>

namespace fsys::detail {

// A temporary name beside the file, unique within the process.
inline std::string TempNameFor(const std::string& strFileName, unsigned long nProcessId) {
  static std::atomic<unsigned> nCounter{0};
  return strFileName + ".~" + std::to_string(nProcessId) + "-" + std::to_string(++nCounter) + ".tmp";
}

// Owner of a C stream: closed exactly once.
class TStdFile {
 public:
  TStdFile(const std::string& strName, const char* mode) : FFile(std::fopen(strName.c_str(), mode)) {}
  ~TStdFile() { Close(); }
  TStdFile(const TStdFile&) = delete;
  TStdFile& operator=(const TStdFile&) = delete;

  std::FILE* Get() const { return FFile; }
  explicit operator bool() const { return FFile != nullptr; }
  // Closes now; false when flushing the buffered data failed.
  bool Close() {
    if (FFile == nullptr) return true;
    const bool bOk = std::fclose(FFile) == 0;
    FFile = nullptr;
    return bOk;
  }

 private:
  std::FILE* FFile = nullptr;
};

// Writes the content to a new file; false (and no file left) on any failure.
inline bool WriteNewFile(const std::string& strName, std::string_view content) {
  TStdFile file(strName, "wb");
  if (!file) return false;
  const bool bWritten = std::fwrite(content.data(), 1, content.size(), file.Get()) == content.size();
  if (file.Close() && bWritten) return true;
  std::remove(strName.c_str());
  return false;
}

// Reads a stream to its end, at most nMaxSize bytes; false on a read error or
// when the stream is longer.
inline bool ReadStream(std::FILE* file, std::size_t nMaxSize, std::string& strContent) {
  char buffer[16384];
  for (;;) {
    const std::size_t nRead = std::fread(buffer, 1, sizeof buffer, file);
    strContent.append(buffer, nRead);
    if (strContent.size() > nMaxSize) return false;
    if (nRead < sizeof buffer) return std::ferror(file) == 0;
  }
}

}  // namespace fsys::detail
