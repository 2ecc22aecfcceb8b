// The version resource of one file.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The message of a missing file, "制定文件未找到", as code page 936 bytes.
inline constexpr char kFileNotFoundText[] = "\xd6\xc6\xb6\xa8\xce\xc4\xbc\xfe\xce\xb4\xd5\xd2\xb5\xbd";

struct TBuildInfo {
  std::uint16_t nMajor = 0;
  std::uint16_t nMinor = 0;
  std::uint16_t nRelease = 0;
  std::uint16_t nBuild = 0;
};

class TFileAction {
 public:
  explicit TFileAction(std::string strFileName) : FFileName(std::move(strFileName)) {}

  const std::string& FileName() const { return FFileName; }
  bool FileExit() const { return GetFileExit(); }

  // True when the file exists (a folder does not count).
  bool GetFileExit() const;
  // The four numbers of the fixed file version; false when the file has
  // no version information.
  bool GetBuildInfo(TBuildInfo& info) const;
  // "major.minor.release.build", zeros without version information; throws
  // std::runtime_error(kFileNotFoundText) for a missing file.
  std::string GetFileVersionAsText() const;

 private:
  std::string FFileName;
};
