#include "results/KeepRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace results;

namespace {

TKeepCandidate Copy(double received, std::uint64_t size = 100, std::string path = "Inbox",
                    int attachments = 0, bool read = false, bool flagged = false,
                    std::string store = "Mailbox") {
  return {received, size, attachments, read, flagged, std::move(store), std::move(path)};
}

TKeepChain Chain(std::string_view text) {
  auto parsed = ParseKeepChain(text);
  EXPECT_TRUE(parsed.ok) << text << ": " << parsed.error;
  return parsed.chain;
}

struct TChooseCase {
  const char* name;
  std::vector<TKeepCandidate> group;
  const char* chain;
  std::size_t kept;
  EKeepRule decidedBy;
};

}  // namespace

TEST(KeepRules, ChainsChooseFromATableOfGroups) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const TChooseCase cases[] = {
      {"oldest wins", {Copy(3), Copy(1), Copy(2)}, "oldest", 1, EKeepRule::ReceivedFirst},
      {"newest wins", {Copy(3), Copy(1), Copy(2)}, "newest", 0, EKeepRule::ReceivedLast},
      {"unset time is never oldest", {Copy(0), Copy(5)}, "oldest", 1, EKeepRule::ReceivedFirst},
      {"unset time is never newest", {Copy(5), Copy(0)}, "newest", 0, EKeepRule::ReceivedLast},
      {"unreadable time is never newest", {Copy(nan), Copy(5)}, "newest", 1, EKeepRule::ReceivedLast},
      {"all unset: earliest added", {Copy(0), Copy(nan)}, "newest", 0, EKeepRule::EarliestAdded},
      {"largest", {Copy(1, 10), Copy(2, 30), Copy(3, 20)}, "largest", 1, EKeepRule::Largest},
      {"largest tie falls to newest", {Copy(1, 30), Copy(2, 30), Copy(3, 20)}, "largest,newest", 1,
       EKeepRule::ReceivedLast},
      {"most attachments", {Copy(1, 9, "Inbox", 1), Copy(2, 9, "Inbox", 3)}, "attachments", 1,
       EKeepRule::MostAttachments},
      {"read before unread", {Copy(1), Copy(2, 9, "Inbox", 0, true)}, "read", 1, EKeepRule::ReadOrFlagged},
      {"flagged counts as read", {Copy(1), Copy(2, 9, "Inbox", 0, false, true)}, "read,oldest", 1,
       EKeepRule::ReadOrFlagged},
      {"read tie falls to oldest", {Copy(2, 9, "Inbox", 0, true), Copy(1, 9, "Inbox", 0, false, true)},
       "read,oldest", 1, EKeepRule::ReceivedFirst},
      {"whole tie: earliest added", {Copy(1, 5), Copy(1, 5), Copy(1, 5)}, "largest,oldest", 0,
       EKeepRule::EarliestAdded},
      {"earlier folder entry wins", {Copy(1, 5, "Inbox"), Copy(2, 5, "Keep"), Copy(3, 5, "Archive")},
       R"(folder:"Archive",folder:"Keep")", 2, EKeepRule::PreferredFolder},
      {"folder covers its subfolders", {Copy(1, 5, "Inbox"), Copy(2, 5, "archive/2024/Q1")},
       R"(folder:"Archive/2024")", 1, EKeepRule::PreferredFolder},
      {"name prefix is not a subfolder", {Copy(1, 5, "Archive/20245"), Copy(2, 5, "Archive/2024")},
       R"(folder:"Archive/2024")", 1, EKeepRule::PreferredFolder},
      {"store-qualified entry", {Copy(1, 5, "Inbox", 0, false, false, "Old"), Copy(2, 5, "Inbox")},
       R"(folder:"Mailbox/Inbox")", 1, EKeepRule::PreferredFolder},
      {"two copies in listed folders tie to next rule",
       {Copy(1, 5, "A/x"), Copy(2, 5, "A/y"), Copy(3, 5, "B")}, R"(folder:"A",newest)", 1,
       EKeepRule::ReceivedLast},
      {"no folder listed: next rule", {Copy(1, 5, "X"), Copy(2, 7, "Y")}, R"(folder:"Z",largest)", 1,
       EKeepRule::Largest},
  };
  for (const auto& c : cases) {
    const auto choice = ChooseKeep(c.group, Chain(c.chain));
    EXPECT_EQ(choice.index, c.kept) << c.name;
    EXPECT_EQ(choice.decidedBy, c.decidedBy) << c.name;
  }
}

TEST(KeepRules, DefaultChainIsTodaysProposal) {
  // Collected groups are in received order, so the default keeps row 0.
  const std::vector<TKeepCandidate> group = {Copy(1, 10), Copy(2, 99), Copy(0, 500)};
  EXPECT_EQ(ChooseKeep(group, DefaultKeepChain()).index, 0u);
  EXPECT_EQ(FormatKeepChain(DefaultKeepChain()), "oldest");
}

TEST(KeepRules, ParseAndFormatRoundTrip) {
  const char* texts[] = {"newest", R"(newest,folder:"Archive/2024",largest)",
                         R"(folder:"A",folder:"Say ""hi""",read,attachments,oldest)"};
  for (const char* text : texts) {
    const auto parsed = ParseKeepChain(text);
    ASSERT_TRUE(parsed.ok) << text << ": " << parsed.error;
    EXPECT_EQ(FormatKeepChain(parsed.chain), text);
  }
  const auto quoted = ParseKeepChain(R"(folder:"A",folder:"Say ""hi""")");
  ASSERT_EQ(quoted.chain.size(), 1u);
  EXPECT_EQ(quoted.chain[0].folders, (std::vector<std::string>{"A", "Say \"hi\""}));
}

TEST(KeepRules, ParseRejectsWithAClearError) {
  const struct {
    const char* text;
    const char* mentions;
  } cases[] = {
      {"", "no keep rule"},          {"newest,biggest", "biggest"}, {"folder", "quoted"},
      {"folder:Archive", "quoted"},  {"folder:\"Archive", "closing quote"},
      {"newest,", "single commas"}, {"newest,,largest", "\"\""},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseKeepChain(c.text);
    EXPECT_FALSE(parsed.ok) << c.text;
    EXPECT_NE(parsed.error.find(c.mentions), std::string::npos) << c.text << ": " << parsed.error;
  }
}

TEST(KeepRules, EveryRuleHasAKeyAndText) {
  for (auto rule : {EKeepRule::ReceivedFirst, EKeepRule::ReceivedLast, EKeepRule::Largest,
                    EKeepRule::MostAttachments, EKeepRule::ReadOrFlagged, EKeepRule::PreferredFolder,
                    EKeepRule::EarliestAdded}) {
    const auto text = KeepRuleText(rule);
    EXPECT_EQ(std::string_view(text.key).substr(0, 7), "strKeep");
    EXPECT_FALSE(std::string_view(text.english).empty());
  }
  EXPECT_STREQ(KeepRuleText(EKeepRule::ReceivedFirst).key, "strKeepReceivedFirst");
}
