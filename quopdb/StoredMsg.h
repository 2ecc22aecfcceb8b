// One message as the store file holds it: a self-checking little-endian block.
//
//   0  u32  block length in bytes (a multiple of 8, padding included)
//   4  u32  check value over bytes 8 .. length
//   8  u32  folder run (see TIndexEngine: which folder the message came from)
//  12  u16  null mask, bit i set = text i was a null pointer
//  14  u8   read flag (0 or 1)
//  15  u8   0
//  16  f64  received time      24  f64  sent time
//  32  i32  body CRC           36  i32  size
//  40  u32  length of each of the nine texts, in record order
//  76  the nine texts, each followed by a NUL, then zero padding
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "indexapi/QuopRecords.h"

namespace quopdb {

inline constexpr int kTextCount = std::size(QuopMsgTextFields);
// Text positions, in the order of the record's fields.
enum TTextField {
  tfEntryID, tfSenderName, tfSenderEmail, tfSubject, tfAttached, tfTo, tfCC, tfBCC, tfFolder
};

inline constexpr std::size_t kStoredHeaderSize = 76;
inline constexpr std::size_t kStoredMinSize = 88;             // nine empty texts, padded
inline constexpr std::size_t kStoredMaxSize = 256u << 20;     // refuse larger messages

// The texts of a TQuopMsg by position in record order.
const char* TextOf(const TQuopMsg& msg, int field);
char*& TextOf(TQuopMsg& msg, int field);

// A parsed block; the texts point into the buffer it was parsed from.
struct TStoredMsgView {
  std::string_view text[kTextCount];
  bool isNull[kTextCount];
  double dtRecivedTime;
  double dtSendTime;
  std::int32_t lBodyCrc;
  std::int32_t nMsgSize;
  bool bRead;
  std::uint32_t folderRun;
};

// Appends the block of a message to out; returns false when it would be too big.
bool EncodeStoredMsg(const TQuopMsg& msg, std::uint32_t folderRun, std::string& out);

// The block length announced at the start of a buffer (at least 4 bytes).
std::uint32_t StoredMsgLength(const void* data);

// Parses and checks one block of exactly `len` bytes; false when damaged.
// A block checked before may skip the check value.
bool DecodeStoredMsg(const void* data, std::size_t len, TStoredMsgView& view,
                     bool checked = false);

}  // namespace quopdb
