// The portable part of FileSystem.h, over the calls of FileSystemPlatform.h.
#include "support/FileSystem.h"

#include <atomic>
#include <cstdio>

#include "support/FileSystemPlatform.h"

namespace fsys {
namespace {

// A temporary name beside the file, unique within the process.
std::string TempNameFor(const std::string& strFileName) {
  static std::atomic<unsigned> nCounter{0};
  return strFileName + ".~" + std::to_string(platform::ProcessId()) + "-" + std::to_string(++nCounter) + ".tmp";
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
bool WriteNewFile(const std::string& strName, std::string_view content) {
  TStdFile file(strName, "wb");
  if (!file) return false;
  const bool bWritten = std::fwrite(content.data(), 1, content.size(), file.Get()) == content.size();
  if (file.Close() && bWritten) return true;
  std::remove(strName.c_str());
  return false;
}

// Reads a stream to its end, at most nMaxSize bytes; false on a read error or
// when the stream is longer.
bool ReadStream(std::FILE* file, std::size_t nMaxSize, std::string& strContent) {
  char buffer[16384];
  for (;;) {
    const std::size_t nRead = std::fread(buffer, 1, sizeof buffer, file);
    strContent.append(buffer, nRead);
    if (strContent.size() > nMaxSize) return false;
    if (nRead < sizeof buffer) return std::ferror(file) == 0;
  }
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& strFileName) {
  const TFileState state = StateOf(strFileName);
  if (state != TFileState::Regular && state != TFileState::ReadOnly) return std::nullopt;
  TStdFile file(strFileName, "rb");
  std::string strContent;
  if (!file || !ReadStream(file.Get(), kMaxTextFileSize, strContent)) return std::nullopt;
  return strContent;
}

bool ReplaceFileContent(const std::string& strFileName, std::string_view content) {
  const TFileState state = StateOf(strFileName);
  if (state != TFileState::Missing && state != TFileState::Regular) return false;
  const std::string strTemp = TempNameFor(strFileName);
  if (!WriteNewFile(strTemp, content)) return false;
  if (platform::RenameOver(strTemp, strFileName)) return true;
  std::remove(strTemp.c_str());
  return false;
}

bool CreateFolderChain(const std::string& strFolder) {
  if (strFolder.empty()) return false;
  for (std::size_t nPos = 1; nPos <= strFolder.size(); ++nPos) {
    if (nPos < strFolder.size() && strFolder[nPos] != kPathDelim) continue;
    platform::MakeFolder(strFolder.substr(0, nPos));
  }
  return StateOf(strFolder) == TFileState::Folder;
}

std::string ExecutableFolder() { return FolderOfFile(platform::ExecutableFile()); }

std::string FolderOfFile(const std::string& strFileName) {
  const std::size_t nDelim = strFileName.find_last_of(kPathDelim == '\\' ? "\\/" : "/");
  return nDelim == std::string::npos ? std::string() : strFileName.substr(0, nDelim);
}

}  // namespace fsys
