#include "tests/quopdb/TestMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <random>

namespace testmsg {

std::string EntryID(char store, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "00000000%032d%08X", 0, n);
  std::string id = buf;
  for (int i = 8; i < 40; ++i) id[i] = store;  // the store provider's UID
  return id;
}

TQuopMsg Msg(const char* entryID, const char* subject, const char* email, std::int32_t crc,
             const char* folder) {
  // Texts outlive the record: tests pass literals or keep them in a deque.
  static std::deque<std::string> keep;
  TQuopMsg m;
  m.szEntryID = entryID ? keep.emplace_back(entryID).data() : nullptr;
  m.szSenderName = nullptr;
  m.szSenderEmail = const_cast<char*>(email);
  m.szSubject = const_cast<char*>(subject);
  m.szAttached = nullptr;
  m.dtRecivedTime = 0;
  m.dtSendTime = 0;
  m.szTo = m.szCC = m.szBCC = nullptr;
  m.szFolder = const_cast<char*>(folder);
  m.lBodyCrc = crc;
  m.nMsgSize = 0;
  m.bRead = 0;
  m.bFirst = 1;
  m.nIndex = 0;
  return m;
}

TGroups ReadGroups(TIndexUnderTest& index, std::vector<TOutMsg>* records) {
  TGroups groups;
  const std::int32_t count = index.GetMsgCount();
  std::int32_t lastIndex = -1;
  for (TQuopMsg* m = index.FindFirstMsg(); m; m = index.FindNextMsg()) {
    EXPECT_GE(count, 1);
    EXPECT_GE(m->nIndex, lastIndex) << "progress went back";
    EXPECT_LE(m->nIndex, count);
    lastIndex = m->nIndex;
    if (m->bFirst) groups.emplace_back();
    EXPECT_FALSE(groups.empty()) << "a stream must start with a group's first record";
    if (groups.empty()) groups.emplace_back();
    groups.back().push_back(m->szEntryID ? m->szEntryID : "");
    if (records)
      records->push_back({m->szEntryID ? m->szEntryID : "", m->szSubject ? m->szSubject : "",
                          m->szFolder ? m->szFolder : "", m->bFirst != 0, m->nIndex});
    index.FreeQuopMsg(m);
  }
  for (const auto& g : groups) EXPECT_GE(g.size(), 2u) << "a group of one was returned";
  return groups;
}

TMsgSet Settings(std::int32_t mask, bool overFolders, double from, double to) {
  TMsgSet s;
  s.szSelEntryID = const_cast<char*>("");
  s.nSelFields = mask;
  s.dtReceivedFrom = from;
  s.dtReceivedTo = to;
  s.bSearchOverFolders = overFolders ? 1 : 0;
  return s;
}

TTempDir::TTempDir() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "quopdb-";
  name += info ? info->name() : "test";
  name += "-" + std::to_string(std::random_device{}() % 1000000) + "-" +
          std::to_string(counter++);
  for (char& c : name)
    if (c == '/') c = '_';
  dir_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

}  // namespace testmsg
