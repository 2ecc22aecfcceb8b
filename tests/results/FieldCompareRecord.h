// A compare record for the tests, its texts held in the object itself.
#pragma once

#include <cstdint>
#include <string>

#include "indexapi/QuopRecords.h"

inline constexpr char kStoreA[] = "0123456789ABCDEF0123456789ABCDEF";
inline constexpr char kStoreB[] = "FEDCBA9876543210FEDCBA9876543210";

struct TOwnedRecord {
  std::string id = std::string("00000000") + kStoreA + "0700000000000001";
  std::string name = "Ann Lee", email = "ann@example.com", subject = "Quarterly figures";
  std::string attached = "figures.xlsx (20480)", to = "Bob", cc, bcc, folder = "Inbox";
  double received = 45356.5, sent = 45356.25;
  std::int32_t crc = 0x1234ABCD, size = 40960;
  bool read = true;

  TQuopMsg Msg() {
    TQuopMsg m{};
    m.szEntryID = id.data();
    m.szSenderName = name.data();
    m.szSenderEmail = email.data();
    m.szSubject = subject.data();
    m.szAttached = attached.data();
    m.szTo = to.data();
    m.szCC = cc.data();
    m.szBCC = bcc.data();
    m.szFolder = folder.data();
    m.dtRecivedTime = received;
    m.dtSendTime = sent;
    m.lBodyCrc = crc;
    m.nMsgSize = size;
    m.bRead = read;
    return m;
  }
};

