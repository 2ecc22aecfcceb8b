// The body cache answers only for the message, time and size it was given,
// and a file it cannot trust in every byte is not used at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "mapi/BodyCache.h"

namespace {

class BodyCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("body-cache-test-" + std::to_string(std::hash<std::string>{}(
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name())) +
              ".bin"))
                .string();
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::string Bytes() {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Write(const std::string& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  std::string path_;
  const TBodyCacheKey a_ = BodyCacheKey("store-1", "message-a", 133000000000000000ULL, 4096);
  const TBodyCacheKey b_ = BodyCacheKey("store-1", "message-b", 133000000000000001ULL, 77);
};

TEST_F(BodyCacheTest, AnEntryAnswersOnlyForItsMessageTimeAndSize) {
  TBodyCache cache;
  cache.Put(a_, -12345, TBodyForm::Html);
  cache.Put(BodyCacheKey("store-1", "no time", 0, 10), 7, TBodyForm::Text);
  ASSERT_TRUE(cache.Save(path_));
  EXPECT_EQ(Bytes().size(), 16u + 32u) << "32 bytes a message; one without a time is never kept";

  TBodyCache loaded;
  ASSERT_EQ(loaded.Load(path_), TBodyCacheLoad::loaded);
  std::int32_t crc = 0;
  TBodyForm form = TBodyForm::None;
  EXPECT_TRUE(loaded.Find(a_, crc, form));
  EXPECT_EQ(crc, -12345);
  EXPECT_EQ(form, TBodyForm::Html) << "the form the CRC was taken from comes back with it";
  const struct {
    const char* change;
    TBodyCacheKey key;
  } stale[] = {{"modified", BodyCacheKey("store-1", "message-a", a_.modified + 1, 4096)},
               {"size", BodyCacheKey("store-1", "message-a", a_.modified, 4097)},
               {"store", BodyCacheKey("store-2", "message-a", a_.modified, 4096)},
               {"entry identifier", BodyCacheKey("store-1", "message-A", a_.modified, 4096)},
               {"split of the same bytes", BodyCacheKey("store-1m", "essage-a", a_.modified, 4096)}};
  for (const auto& s : stale) EXPECT_FALSE(loaded.Find(s.key, crc, form)) << s.change;
}

TEST_F(BodyCacheTest, AFileNotTrustedInEveryByteIsNotUsed) {
  TBodyCache cache;
  cache.Put(a_, 1, TBodyForm::Text);
  cache.Put(b_, 2, TBodyForm::Text);
  ASSERT_TRUE(cache.Save(path_));
  const std::string good = Bytes();
  ASSERT_EQ(good.size(), 16u + 2 * 32u);
  const auto flipped = [&good](std::size_t at) {
    std::string s = good;
    s[at] = static_cast<char>(s[at] ^ 0x01);
    return s;
  };
  std::string otherVersion = good;
  otherVersion[4] = static_cast<char>(otherVersion[4] + 1);
  const struct {
    const char* name;
    std::string bytes;
    TBodyCacheLoad expected;
  } cases[] = {{"empty", "", TBodyCacheLoad::damaged},
               {"cut short", good.substr(0, good.size() - 5), TBodyCacheLoad::damaged},
               {"one more byte", good + "x", TBodyCacheLoad::damaged},
               {"a CRC changed", flipped(16 + 24), TBodyCacheLoad::damaged},
               {"a time changed", flipped(16 + 32 + 12), TBodyCacheLoad::damaged},
               {"the checksum changed", flipped(12), TBodyCacheLoad::damaged},
               {"another file", "not a cache at all, just some text", TBodyCacheLoad::damaged},
               {"another version", otherVersion, TBodyCacheLoad::otherVersion}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Write(c.bytes);
    TBodyCache loaded;
    loaded.Put(b_, 99, TBodyForm::Text);  // whatever it held before goes too
    EXPECT_EQ(loaded.Load(path_), c.expected);
    EXPECT_EQ(loaded.Size(), 0u);
  }
  std::filesystem::remove(path_);
  TBodyCache none;
  EXPECT_EQ(none.Load(path_), TBodyCacheLoad::missing);
}

TEST_F(BodyCacheTest, AStoreWalkedWholeDropsTheEntriesOfMessagesGone) {
  const TBodyCacheKey other = BodyCacheKey("store-2", "message-c", 5, 5);
  TBodyCache cache;
  cache.Put(a_, 1, TBodyForm::Text);
  cache.Put(b_, 2, TBodyForm::Text);
  cache.Put(other, 3, TBodyForm::Text);
  ASSERT_TRUE(cache.Save(path_));
  TBodyCache next;
  ASSERT_EQ(next.Load(path_), TBodyCacheLoad::loaded);
  next.MarkPresent(a_);
  next.DropAbsent(a_.store);
  std::int32_t crc = 0;
  TBodyForm form = TBodyForm::None;
  EXPECT_TRUE(next.Find(a_, crc, form));
  EXPECT_FALSE(next.Find(b_, crc, form)) << "gone from the store walked whole";
  EXPECT_TRUE(next.Find(other, crc, form)) << "another store's entry stays";
}

}  // namespace
