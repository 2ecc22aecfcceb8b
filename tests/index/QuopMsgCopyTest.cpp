#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "index/QuopMsgCopy.h"

namespace {

// Hands out blocks filled with 0xCC, remembers their sizes, and fails the
// allocation numbered nFailAt (1-based) when set.
class TRecordingAllocator final : public TStringAllocator {
 public:
  void* Alloc(std::size_t nSize) override {
    if (++nAllocs == nFailAt) return nullptr;
    void* block = std::malloc(nSize);
    std::memset(block, 0xCC, nSize);
    Sizes[block] = nSize;
    return block;
  }
  void Free(void* block) override {
    ASSERT_EQ(Sizes.erase(block), 1u) << "freeing a block not handed out";
    ++nFrees;
    std::free(block);
  }
  ~TRecordingAllocator() {
    for (auto& [block, nSize] : Sizes) std::free(block);
  }

  std::map<void*, std::size_t> Sizes;  // live blocks
  int nAllocs = 0;
  int nFrees = 0;
  int nFailAt = 0;
};

// A record with every string set and distinctive scalars.
struct TSourceMsg {
  char szEntryID[9] = "00AB12CD";
  char szSenderName[4] = "Ann";
  char szSenderEmail[12] = "ann@x.test";
  char szSubject[6] = "Hello";
  char szAttached[6] = "a.txt";
  char szTo[4] = "Bob";
  char szCC[4] = "Cid";
  char szBCC[4] = "Dee";
  char szFolder[6] = "Inbox";
  TQuopMsg msg;

  TSourceMsg() {
    msg.szEntryID = szEntryID;
    msg.szSenderName = szSenderName;
    msg.szSenderEmail = szSenderEmail;
    msg.szSubject = szSubject;
    msg.szAttached = szAttached;
    msg.szTo = szTo;
    msg.szCC = szCC;
    msg.szBCC = szBCC;
    msg.szFolder = szFolder;
    msg.dtRecivedTime = 45351.25;
    msg.dtSendTime = 45350.5;
    msg.lBodyCrc = -123456789;
    msg.nMsgSize = 4096;
    msg.bRead = 1;
    msg.bFirst = 0;
    msg.nIndex = 77;
  }
};

constexpr char* TQuopMsg::*kStrings[] = {
    &TQuopMsg::szEntryID, &TQuopMsg::szSenderName, &TQuopMsg::szSenderEmail,
    &TQuopMsg::szSubject, &TQuopMsg::szAttached,   &TQuopMsg::szTo,
    &TQuopMsg::szCC,      &TQuopMsg::szBCC,        &TQuopMsg::szFolder,
};

// Strings null, dates and numbers 0, bFirst true, nIndex (77 in every source) kept.
void ExpectCleared(const TQuopMsg& msg) {
  for (char* TQuopMsg::*field : kStrings) EXPECT_EQ(msg.*field, nullptr);
  EXPECT_EQ(msg.dtRecivedTime, 0);
  EXPECT_EQ(msg.dtSendTime, 0);
  EXPECT_EQ(msg.lBodyCrc, 0);
  EXPECT_EQ(msg.nMsgSize, 0);
  EXPECT_EQ(msg.bRead, 0);
  EXPECT_EQ(msg.bFirst, 1);
  EXPECT_EQ(msg.nIndex, 77);
}

TQuopMsg ZeroedMsg() {
  TQuopMsg msg;
  std::memset(&msg, 0, sizeof msg);
  return msg;
}

// The gap bytes of the record on this platform: after szAttached and after bFirst.
std::vector<std::size_t> GapOffsets() {
  std::vector<std::size_t> offsets;
  for (std::size_t i = offsetof(TQuopMsg, szAttached) + sizeof(char*); i < offsetof(TQuopMsg, dtRecivedTime); ++i)
    offsets.push_back(i);
  for (std::size_t i = offsetof(TQuopMsg, bFirst) + 1; i < offsetof(TQuopMsg, nIndex); ++i)
    offsets.push_back(i);
  return offsets;
}

TEST(QuopMsgCopy, InitClearsAllButIndexAndGaps) {
  TQuopMsg msg = TSourceMsg().msg;
  auto* bytes = reinterpret_cast<unsigned char*>(&msg);
  for (std::size_t offset : GapOffsets()) bytes[offset] = 0x5A;
  InitQuopMsg(msg);
  ExpectCleared(msg);
  for (std::size_t offset : GapOffsets()) EXPECT_EQ(bytes[offset], 0x5A) << "gap byte " << offset;
}

TEST(QuopMsgCopy, CopiesEveryFieldIntoOwnZeroFilledBlocks) {
  TSourceMsg source;
  TRecordingAllocator allocator;
  TQuopMsg copy = ZeroedMsg();
  for (std::size_t offset : GapOffsets()) {
    reinterpret_cast<unsigned char*>(&source.msg)[offset] = 0xA5;
    reinterpret_cast<unsigned char*>(&copy)[offset] = 0x5A;
  }
  ASSERT_TRUE(CopyMsg(source.msg, &copy, allocator));
  for (std::size_t offset : GapOffsets()) {
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&copy)[offset], 0x5A) << "gap byte " << offset;
  }
  for (char* TQuopMsg::*field : kStrings) {
    const char* original = source.msg.*field;
    ASSERT_NE(copy.*field, nullptr);
    EXPECT_NE(copy.*field, original);
    EXPECT_STREQ(copy.*field, original);
    ASSERT_EQ(allocator.Sizes.count(copy.*field), 1u);
    const std::size_t nSize = allocator.Sizes[copy.*field];
    EXPECT_EQ(nSize, std::strlen(original) + 2) << original;
    EXPECT_EQ((copy.*field)[nSize - 2], 0);
    EXPECT_EQ((copy.*field)[nSize - 1], 0) << "block not zero-filled";
  }
  EXPECT_EQ(copy.dtRecivedTime, 45351.25);
  EXPECT_EQ(copy.dtSendTime, 45350.5);
  EXPECT_EQ(copy.lBodyCrc, -123456789);
  EXPECT_EQ(copy.nMsgSize, 4096);
  EXPECT_EQ(copy.bRead, 1);
  EXPECT_EQ(copy.bFirst, 0);
  EXPECT_EQ(copy.nIndex, 77);
  UnInitQuopMsg(copy, allocator);
  EXPECT_TRUE(allocator.Sizes.empty());
}

TEST(QuopMsgCopy, FiveCharacterSubjectGetsSevenZeroEndedBytes) {
  TQuopMsg source = ZeroedMsg();
  char szSubject[] = "Hello";
  source.szSubject = szSubject;
  TRecordingAllocator allocator;
  TQuopMsg copy = ZeroedMsg();
  ASSERT_TRUE(CopyMsg(source, &copy, allocator));
  ASSERT_EQ(allocator.Sizes.size(), 1u);
  EXPECT_EQ(allocator.Sizes[copy.szSubject], 7u);
  EXPECT_EQ(std::memcmp(copy.szSubject, "Hello\0\0", 7), 0);
  UnInitQuopMsg(copy, allocator);
}

TEST(QuopMsgCopy, NullSourceStringLeavesTheDestinationField) {
  TSourceMsg source;
  source.msg.szTo = nullptr;
  source.msg.szFolder = nullptr;
  TRecordingAllocator allocator;
  TQuopMsg copy = ZeroedMsg();
  char szKept[] = "kept";
  copy.szFolder = szKept;
  ASSERT_TRUE(CopyMsg(source.msg, &copy, allocator));
  EXPECT_EQ(copy.szTo, nullptr);
  EXPECT_EQ(copy.szFolder, szKept);
  EXPECT_EQ(allocator.Sizes.size(), 7u);
  copy.szFolder = nullptr;
  UnInitQuopMsg(copy, allocator);
}

TEST(QuopMsgCopy, AllocationFailurePartWayKeepsWhatWasCopied) {
  const TSourceMsg source;
  TRecordingAllocator allocator;
  allocator.nFailAt = 4;  // szSubject, the fourth string
  TQuopMsg copy = ZeroedMsg();
  copy.nIndex = -1;
  EXPECT_FALSE(CopyMsg(source.msg, &copy, allocator));
  EXPECT_STREQ(copy.szEntryID, "00AB12CD");
  EXPECT_STREQ(copy.szSenderName, "Ann");
  EXPECT_STREQ(copy.szSenderEmail, "ann@x.test");
  EXPECT_EQ(copy.szSubject, nullptr);
  EXPECT_EQ(copy.szFolder, nullptr);
  EXPECT_EQ(copy.nIndex, -1) << "nothing after the failure is copied";
  UnInitQuopMsg(copy, allocator);
  EXPECT_EQ(allocator.nFrees, 3);
  EXPECT_TRUE(allocator.Sizes.empty());
}

TEST(QuopMsgCopy, NullDestinationFails) {
  TRecordingAllocator allocator;
  EXPECT_FALSE(CopyMsg(TSourceMsg().msg, nullptr, allocator));
  EXPECT_EQ(allocator.nAllocs, 0);
}

TEST(QuopMsgCopy, UnInitTwiceFreesNothingTheSecondTime) {
  TRecordingAllocator allocator;
  TQuopMsg copy = ZeroedMsg();
  ASSERT_TRUE(CopyMsg(TSourceMsg().msg, &copy, allocator));
  UnInitQuopMsg(copy, allocator);
  EXPECT_EQ(allocator.nFrees, 9);
  ExpectCleared(copy);
  UnInitQuopMsg(copy, allocator);
  EXPECT_EQ(allocator.nFrees, 9);
}

TEST(QuopMsgCopy, DefaultAllocatorRoundTrip) {
  TQuopMsg copy = ZeroedMsg();
  ASSERT_TRUE(CopyMsg(TSourceMsg().msg, &copy));
  EXPECT_STREQ(copy.szBCC, "Dee");
  UnInitQuopMsg(copy);
  EXPECT_EQ(copy.szBCC, nullptr);
}

}  // namespace
