// The duplicate index as the tests drive it: the engine called directly, or
// QuopDB.dll through the add-in's wrapper. The same cases run against both.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "indexapi/QuopRecords.h"

class TIndexUnderTest {
 public:
  virtual ~TIndexUnderTest() = default;
  virtual bool OpenDB(const std::string& path) = 0;
  virtual void CloseDB() = 0;
  virtual bool AddMsg(const TQuopMsg& msg) = 0;
  virtual TQuopMsg* FindFirstMsg() = 0;
  virtual TQuopMsg* FindNextMsg() = 0;
  virtual void FreeQuopMsg(TQuopMsg* msg) = 0;
  virtual std::int32_t GetMsgCount() = 0;
  virtual void SetMsgSet(const TMsgSet& set) = 0;
  virtual void CommitDB() = 0;
  virtual void StopFindMsg() = 0;
  virtual void ClearDB() = 0;
};

// Made by each test program: an index whose match hash is tiny when asked,
// so that unequal messages collide all the time.
std::unique_ptr<TIndexUnderTest> MakeIndexUnderTest(bool tinyHash);
