#include "bench/MsgGenerator.h"

#include <cstdio>

namespace bench {
namespace {

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

std::uint64_t Below(std::uint64_t& rng, std::uint64_t n) { return n ? SplitMix(rng) % n : 0; }

const char* const kWords[] = {
    "meeting", "report", "quarterly", "budget",  "review", "project", "update", "invoice",
    "draft",   "team",   "schedule",  "minutes", "offer",  "contract", "lunch", "travel",
    "plan",    "notes",  "agenda",    "call",    "status", "release", "design", "summary",
    "Re:",     "Fwd:",   "urgent",    "weekly",  "final",  "approval", "sales", "support"};
constexpr std::uint64_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kNames[] = {"Anna Berg", "Tom Keller", "Maria Lopez", "Chen Wei", "Ola Nordmann",
                              "Sara Ahmed", "John Smith", "Yuki Tanaka"};
constexpr std::uint64_t kNameCount = sizeof kNames / sizeof kNames[0];

}  // namespace

bool TMsgGenerator::IsCopy(std::uint64_t i) const {
  if (i % o_.folderSize == 0) return false;  // nothing earlier in its folder
  std::uint64_t rng = o_.seed * 0x100000001b3ULL ^ (i * 0x9e3779b97f4a7c15ULL);
  return static_cast<double>(SplitMix(rng) >> 11) / 9007199254740992.0 < o_.duplicates;
}

std::uint64_t TMsgGenerator::Original(std::uint64_t i) const {
  while (IsCopy(i)) {
    std::uint64_t rng = o_.seed ^ (i * 0xd6e8feb86659fd93ULL);
    const std::uint64_t folderStart = i - i % o_.folderSize;
    i = folderStart + Below(rng, i - folderStart);
  }
  return i;
}

void TMsgGenerator::Words(std::uint64_t& rng, std::size_t minLen, std::size_t maxLen,
                          std::string& out) {
  out.clear();
  const std::size_t len = minLen + Below(rng, maxLen - minLen + 1);
  while (out.size() < len) {
    if (!out.empty()) out += ' ';
    out += kWords[Below(rng, kWordCount)];
  }
  out.resize(len);
}

void TMsgGenerator::Make(std::uint64_t i, TQuopMsg& msg) {
  const std::uint64_t content = Original(i);
  std::uint64_t rng = o_.seed * 31 + content * 0x2545F4914F6CDD1DULL;

  // 70 bytes as 140 hex digits: provider flags, the store's UID, then the message's own part.
  char hex[141];
  std::snprintf(hex, sizeof hex, "00000000%032X%068llX%032llX", 0x1234,
                static_cast<unsigned long long>(i / o_.folderSize),
                static_cast<unsigned long long>(i * 0x9e3779b97f4a7c15ULL));
  entryID_.assign(hex, 140);

  const char* name = kNames[Below(rng, kNameCount)];
  senderName_ = name;
  senderEmail_.clear();
  for (const char* p = name; *p; ++p) senderEmail_ += *p == ' ' ? '.' : *p;
  senderEmail_ += std::to_string(Below(rng, 500)) + "@example.com";
  Words(rng, 20, 80, subject_);
  to_ = "Team " + std::to_string(Below(rng, 40)) + "; " + kNames[Below(rng, kNameCount)];
  cc_ = Below(rng, 3) == 0 ? kNames[Below(rng, kNameCount)] : "";
  attached_ = Below(rng, 4) == 0 ? std::to_string(1 + Below(rng, 3)) + ":report.pdf" : "";
  folder_ = "Folder " + std::to_string(i / o_.folderSize);

  msg.szEntryID = entryID_.data();
  msg.szSenderName = senderName_.data();
  msg.szSenderEmail = senderEmail_.data();
  msg.szSubject = subject_.data();
  msg.szAttached = attached_.empty() ? nullptr : attached_.data();
  msg.dtRecivedTime = 43000 + static_cast<double>(Below(rng, 3000 * 86400)) / 86400;
  msg.dtSendTime = msg.dtRecivedTime - static_cast<double>(Below(rng, 600)) / 86400;
  msg.szTo = to_.data();
  msg.szCC = cc_.empty() ? nullptr : cc_.data();
  msg.szBCC = nullptr;
  msg.szFolder = folder_.data();
  msg.lBodyCrc = static_cast<std::int32_t>(SplitMix(rng));
  msg.nMsgSize = static_cast<std::int32_t>(2000 + Below(rng, 200000));
  msg.bRead = Below(rng, 2) ? 1 : 0;
  msg.bFirst = 1;
  msg.nIndex = 0;
}

}  // namespace bench
