// Building messages and reading duplicate groups back, for the index tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"
#include "tests/quopdb/IndexUnderTest.h"

namespace testmsg {

// Entry identifiers in the long-term layout: flags, then the store's UID.
std::string EntryID(char store, int n);

// A record over string literals; fields not given stay null or 0.
TQuopMsg Msg(const char* entryID, const char* subject, const char* email = "a@example.com",
             std::int32_t crc = 7, const char* folder = "Inbox");

struct TOutMsg {
  std::string entryID, subject, folder;
  bool bFirst;
  std::int32_t nIndex;
};
using TGroups = std::vector<std::vector<std::string>>;  // entry ids, group by group

// Reads every record, frees each, and checks what must hold of any stream:
// a group starts with bFirst, nIndex never falls and stays within the count.
TGroups ReadGroups(TIndexUnderTest& index, std::vector<TOutMsg>* records = nullptr);

TMsgSet Settings(std::int32_t mask, bool overFolders = false, double from = 0, double to = 0);

// A fresh folder for one test's files, removed at the end.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  std::filesystem::path Path(const char* name) const { return dir_ / name; }
  std::string File(const char* name) const { return Path(name).string(); }

 private:
  std::filesystem::path dir_;
};

}  // namespace testmsg
