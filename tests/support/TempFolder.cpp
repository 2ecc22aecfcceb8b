#include "tests/support/TempFolder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace {

std::string UniqueName() {
  static std::atomic<int> nCounter{0};
  std::ostringstream name;
  name << "quop-support-" << std::hex << std::random_device{}() << "-" << ++nCounter;
  return name.str();
}

}  // namespace

TTempFolder::TTempFolder() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / UniqueName();
  std::filesystem::create_directories(folder);
  FPath = folder.string();
  while (!FPath.empty() && (FPath.back() == '\\' || FPath.back() == '/')) FPath.pop_back();
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  // Read-only files must become writable before they can go everywhere.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FPath, error)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
  }
  std::filesystem::remove_all(FPath, error);
}

std::string FileBytes(const std::string& strFileName) {
  std::ifstream file(strFileName, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteBytes(const std::string& strFileName, const std::string& content) {
  std::ofstream file(strFileName, std::ios::binary | std::ios::trunc);
  file << content;
}

void SetReadOnly(const std::string& strFileName, bool bReadOnly) {
  using std::filesystem::perms;
  std::filesystem::permissions(strFileName, perms::owner_write | perms::group_write | perms::others_write,
                               bReadOnly ? std::filesystem::perm_options::remove
                                         : std::filesystem::perm_options::add);
}
