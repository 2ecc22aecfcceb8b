#include "quopdb/StoredMsg.h"

#include <bit>
#include <cstring>

#include "quopdb/FastHash.h"

static_assert(std::endian::native == std::endian::little,
              "the store is written in little-endian order");

namespace quopdb {
namespace {

constexpr std::uint64_t kCheckSeed = 0x51756f7044425631ULL;

template <typename T>
void Put(std::string& out, std::size_t at, T value) {
  std::memcpy(&out[at], &value, sizeof value);
}

template <typename T>
T Get(const unsigned char* p, std::size_t at) {
  T value;
  std::memcpy(&value, p + at, sizeof value);
  return value;
}

std::uint32_t CheckValue(const unsigned char* p, std::size_t len) {
  return static_cast<std::uint32_t>(HashBytes(p + 8, len - 8, kCheckSeed));
}

}  // namespace

const char* TextOf(const TQuopMsg& msg, int field) {
  return TextOf(const_cast<TQuopMsg&>(msg), field);
}

char*& TextOf(TQuopMsg& msg, int field) { return msg.*QuopMsgTextFields[field]; }

bool EncodeStoredMsg(const TQuopMsg& msg, std::uint32_t folderRun, std::string& out) {
  std::size_t lens[kTextCount];
  std::size_t size = kStoredHeaderSize;
  std::uint16_t nullMask = 0;
  for (int i = 0; i < kTextCount; ++i) {
    const char* s = TextOf(msg, i);
    lens[i] = s ? std::strlen(s) : 0;
    if (!s) nullMask |= static_cast<std::uint16_t>(1u << i);
    if (lens[i] > kStoredMaxSize) return false;
    size += lens[i] + 1;
  }
  size = (size + 7) & ~std::size_t{7};
  if (size > kStoredMaxSize) return false;

  const std::size_t at = out.size();
  out.resize(at + size, '\0');
  Put<std::uint32_t>(out, at + 0, static_cast<std::uint32_t>(size));
  Put<std::uint32_t>(out, at + 8, folderRun);
  Put<std::uint16_t>(out, at + 12, nullMask);
  out[at + 14] = msg.bRead ? 1 : 0;
  Put<double>(out, at + 16, msg.dtRecivedTime);
  Put<double>(out, at + 24, msg.dtSendTime);
  Put<std::int32_t>(out, at + 32, msg.lBodyCrc);
  Put<std::int32_t>(out, at + 36, msg.nMsgSize);
  std::size_t pos = at + kStoredHeaderSize;
  for (int i = 0; i < kTextCount; ++i) {
    Put<std::uint32_t>(out, at + 40 + 4 * i, static_cast<std::uint32_t>(lens[i]));
    if (lens[i]) std::memcpy(&out[pos], TextOf(msg, i), lens[i]);
    pos += lens[i] + 1;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(out.data() + at);
  Put<std::uint32_t>(out, at + 4, CheckValue(p, size));
  return true;
}

std::uint32_t StoredMsgLength(const void* data) {
  return Get<std::uint32_t>(static_cast<const unsigned char*>(data), 0);
}

bool DecodeStoredMsg(const void* data, std::size_t len, TStoredMsgView& view, bool checked) {
  const auto* p = static_cast<const unsigned char*>(data);
  if (len < kStoredMinSize || len > kStoredMaxSize || len % 8 != 0) return false;
  if (Get<std::uint32_t>(p, 0) != len) return false;
  if (!checked && Get<std::uint32_t>(p, 4) != CheckValue(p, len)) return false;
  const auto nullMask = Get<std::uint16_t>(p, 12);
  if (nullMask >= (1u << kTextCount) || p[14] > 1 || p[15] != 0) return false;
  view.folderRun = Get<std::uint32_t>(p, 8);
  view.bRead = p[14] != 0;
  view.dtRecivedTime = Get<double>(p, 16);
  view.dtSendTime = Get<double>(p, 24);
  view.lBodyCrc = Get<std::int32_t>(p, 32);
  view.nMsgSize = Get<std::int32_t>(p, 36);
  std::size_t pos = kStoredHeaderSize;
  for (int i = 0; i < kTextCount; ++i) {
    const std::size_t n = Get<std::uint32_t>(p, 40 + 4 * i);
    view.isNull[i] = (nullMask >> i) & 1;
    if (n >= len || pos + n + 1 > len || p[pos + n] != 0) return false;
    if (view.isNull[i] && n != 0) return false;
    view.text[i] = std::string_view(reinterpret_cast<const char*>(p + pos), n);
    pos += n + 1;
  }
  return true;
}

}  // namespace quopdb
