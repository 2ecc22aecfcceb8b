// The mailbox made on demand: each position alone gives its message, the
// shares of copies and where they go are what was asked for, the folders'
// runs cover every position once, and the realistic traits are there.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "tools/profilegen/GeneratedMailbox.h"
#include "tools/profilegen/MailParts.h"

namespace {

using nlohmann::ordered_json;

MailboxShape Shape(std::uint32_t messages, double exact, double nearCopies, std::uint64_t seed = 11) {
  MailboxShape s;
  s.messages = messages;
  s.exact = exact;
  s.nearCopies = nearCopies;
  s.seed = seed;
  return s;
}

std::string Content(ordered_json m) {
  m.erase("id");
  return m.dump();
}

// The message without one of its fields, for each field: a near copy shares
// one of these with its original.
std::vector<std::string> AllButOne(const ordered_json& m) {
  std::vector<std::string> out;
  for (const auto& [key, value] : m.items()) {
    if (key == "id") continue;
    ordered_json rest = m;
    rest.erase("id");
    rest.erase(key);
    out.push_back(key + "|" + rest.dump());
  }
  return out;
}

TEST(GeneratedMailbox, SharesOfCopiesAndWhereTheyGoAreWhatWasAsked) {
  const GeneratedMailbox box(Shape(3000, 0.30, 0.20), "Big");
  std::map<std::string, std::set<std::size_t>> foldersOf;  // content -> folders that had it before
  std::set<std::string> earlierButOne;
  std::size_t exact = 0, exactInSameFolder = 0, nearOnes = 0;
  for (std::uint32_t p = 0; p < box.Messages(); ++p) {
    const ordered_json m = box.Message(p);
    std::set<std::size_t>& folders = foldersOf[Content(m)];
    const bool copy = !folders.empty();
    exactInSameFolder += folders.contains(box.MailFolderOf(p));
    folders.insert(box.MailFolderOf(p));
    if (copy) {
      ++exact;
      continue;
    }
    const auto butOne = AllButOne(m);
    for (const std::string& text : butOne) {
      if (earlierButOne.contains(text)) {
        ++nearOnes;
        break;
      }
    }
    earlierButOne.insert(butOne.begin(), butOne.end());
  }
  EXPECT_NEAR(exact / 3000.0, 0.30, 0.04);
  EXPECT_NEAR(nearOnes / 3000.0, 0.20, 0.04);
  // Half copy a message of their own folder, the others one of any folder.
  EXPECT_NEAR(double(exactInSameFolder) / double(exact), 0.62, 0.1);

  const GeneratedMailbox originalsOnly(Shape(500, 0, 0), "Big");
  std::set<std::string> distinct;
  for (std::uint32_t p = 0; p < 500; ++p) distinct.insert(Content(originalsOnly.Message(p)));
  EXPECT_EQ(distinct.size(), 500u);
}

TEST(GeneratedMailbox, EachPositionAloneGivesItsMessageAndTheSeedDecides) {
  const GeneratedMailbox box(Shape(400, 0.2, 0.2), "Big");
  std::vector<ordered_json> inOrder;
  for (std::uint32_t p = 0; p < 400; ++p) inOrder.push_back(box.Message(p));
  const GeneratedMailbox again(Shape(400, 0.2, 0.2), "Big");
  for (std::uint32_t p : {399u, 7u, 200u, 0u, 398u}) EXPECT_EQ(again.Message(p), inOrder[p]) << p;
  const GeneratedMailbox otherSeed(Shape(400, 0.2, 0.2, 12), "Big");
  EXPECT_NE(Content(otherSeed.Message(5)), Content(inOrder[5]));

  for (std::uint32_t p : {0u, 1u, 255u, 399u}) {
    const std::string bytes = GeneratedMailbox::IdBytes(p);
    EXPECT_EQ(inOrder[p]["id"], Hex(0x4700000000000000ULL | p, 8));
    EXPECT_EQ(box.PositionOf(bytes), p);
  }
  EXPECT_EQ(box.PositionOf(GeneratedMailbox::IdBytes(400)), std::nullopt) << "past the last";
  EXPECT_EQ(box.PositionOf(std::string("M\0\0\0\0\0\0\1", 8)), std::nullopt) << "not a generated id";
  EXPECT_EQ(box.PositionOf("G"), std::nullopt);
}

TEST(GeneratedMailbox, MailFoldersTakeEqualRunsThatCoverEveryPositionOnce) {
  struct Case {
    std::uint32_t messages, folders;
  };
  for (const Case c : {Case{1000, 0}, Case{1001, 3}, Case{4, 0}, Case{0, 2}}) {
    MailboxShape shape = Shape(c.messages, 0.15, 0.1);
    shape.folders = c.folders;
    const GeneratedMailbox box(shape, "Big");
    const auto& runs = box.MailFolders();
    ASSERT_EQ(runs.size(), 9u + c.folders);  // Inbox, Customers, Newsletters, Sent, Outbox, Deleted, Mail from contacts, Projects, Alpha
    std::uint32_t next = 0;
    for (std::size_t j = 0; j < runs.size(); ++j) {
      EXPECT_EQ(runs[j].first, next);
      EXPECT_LE(runs[j].count, c.messages / runs.size() + 1);
      for (std::uint32_t p = runs[j].first; p < runs[j].first + runs[j].count; ++p) EXPECT_EQ(box.MailFolderOf(p), j);
      next += runs[j].count;
    }
    EXPECT_EQ(next, c.messages);

    // The expanded subtree: every position once, in the folder of its run.
    std::map<std::string, std::vector<std::string>> idsIn;
    std::function<void(const ordered_json&)> walk = [&](const ordered_json& f) {
      for (const auto& m : f["messages"]) idsIn[f["id"]].push_back(m["id"]);
      for (const auto& child : f["folders"]) walk(child);
    };
    walk(box.Expanded());
    for (const auto& run : runs) {
      std::vector<std::string> want;
      for (std::uint32_t p = run.first; p < run.first + run.count; ++p) want.push_back(Hex(0x4700000000000000ULL | p, 8));
      EXPECT_EQ(idsIn[run.id], want);
    }
    if (c.folders > 0) {
      EXPECT_EQ(box.Subtree()["folders"].back()["name"], "Mail folder " + std::to_string(c.folders));
    }
  }
}

TEST(GeneratedMailbox, RealisticTraitsAreThereAndCopiesKeepTheirIdentifiers) {
  MailboxShape shape = Shape(4000, 0.15, 0.10);
  shape.realistic = true;
  const GeneratedMailbox box(shape, "Big");
  std::size_t large = 0, megabyte = 0, exchange = 0, drafts = 0, chinese = 0;
  std::map<std::string, std::set<std::string>> contentsOfKey;
  for (std::uint32_t p = 0; p < box.Messages(); ++p) {
    ordered_json m = box.Message(p);
    const std::string body = m.value("body", "");
    large += body.size() > 16 * 1024;
    megabyte += body.size() >= 1024 * 1024;
    exchange += m.value("senderAddrType", "") == "EX";
    drafts += !m.contains("deliveryTime");
    chinese += m.value("subject", "").find("\xE4\xBC\x9A") != std::string::npos;  // 会
    ASSERT_TRUE(m.contains("searchKey") && m.contains("lastModificationTime")) << p;
    const std::string key = m["searchKey"];
    m.erase("lastModificationTime");  // a copy may be changed later than its original
    if (m.value("senderAddrType", "") == "EX") {  // its copy in another store has the SMTP sender
      m["senderEmail"] = m["senderSmtp"];
      m["senderAddrType"] = "SMTP";
      m.erase("senderSmtp");
    }
    contentsOfKey[key].insert(Content(m));
  }
  // Twenty sets of traits (one per 200 positions), two of them with a pair
  // of 1 MB bodies; ordinary copies may copy them too.
  EXPECT_GE(large, 20u * 4);
  EXPECT_GE(megabyte, 4u);
  EXPECT_GE(exchange, 20u);
  EXPECT_GE(drafts, 20u);
  EXPECT_GT(chinese, 0u);
  for (const auto& [key, contents] : contentsOfKey) EXPECT_EQ(contents.size(), 1u) << "one search key, one content";
  EXPECT_LT(contentsOfKey.size(), box.Messages() * 9 / 10) << "copies share their key";
}

TEST(GeneratedMailbox, SharesOutsideZeroToOneAreRefused) {
  EXPECT_THROW(GeneratedMailbox(Shape(10, 0.8, 0.3), "x"), std::invalid_argument);
  EXPECT_THROW(GeneratedMailbox(Shape(10, -0.1, 0), "x"), std::invalid_argument);
}

}  // namespace
