// The sample-profile generator: its shares of exact and near copies, copies
// across stores, unique identifiers, the same text for the same options, and
// the traits of real mailboxes that --realistic and --big-folder add.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "tools/profilegen/GenSupport.h"
#include "tools/profilegen/ProfileGenerator.h"

namespace {

using nlohmann::json;

struct Placed {
  json message;
  std::string store;
};

void Collect(const json& folder, const std::string& store, std::vector<Placed>& out) {
  for (const auto& m : folder.value("messages", json::array())) {
    if (m.value("messageClass", "") == "IPM.Note") out.push_back({m, store});
  }
  for (const auto& f : folder.value("folders", json::array())) Collect(f, store, out);
}

std::vector<Placed> Mail(const json& profile) {
  std::vector<Placed> out;
  for (const auto& s : profile["stores"]) Collect(s["subtree"], s["name"], out);
  return out;
}

json WithoutId(json m) {
  m.erase("id");
  return m;
}

// Fields in which two messages differ.
int Differences(const json& a, const json& b) {
  int n = 0;
  const json fields = WithoutId(a);
  for (const auto& [key, value] : fields.items()) n += b.value(key, json()) != value;
  return n;
}

ProfileGenOptions Options(int messages, double exact, double nearCopies, std::uint64_t seed = 7) {
  ProfileGenOptions o;
  o.messages = messages;
  o.exact = exact;
  o.nearCopies = nearCopies;
  o.seed = seed;
  return o;
}

// Distinct contents, and whether one message is one field away from all others.
struct Shape {
  size_t distinct;
  bool oneFieldFromAnOriginal;
};

Shape ShapeOf(const std::vector<Placed>& mail) {
  std::set<std::string> distinct;
  for (const auto& p : mail) distinct.insert(WithoutId(p.message).dump());
  bool oneField = false;
  for (const auto& original : mail) {
    bool all = true;
    for (const auto& p : mail) {
      if (&p != &original && Differences(original.message, p.message) != 1) all = false;
    }
    oneField |= all;
  }
  return {distinct.size(), oneField};
}

TEST(ProfileGenerator, SharesOfCopiesAreWhatWasAskedFor) {
  // No copies: all differ. Only exact copies: one content. Only near copies:
  // every message is one field away from the one original.
  const auto none = ShapeOf(Mail(json::parse(GenerateProfile(Options(60, 0.0, 0.0)))));
  EXPECT_EQ(none.distinct, 60u);
  EXPECT_FALSE(none.oneFieldFromAnOriginal);
  const auto exact = ShapeOf(Mail(json::parse(GenerateProfile(Options(60, 1.0, 0.0)))));
  EXPECT_EQ(exact.distinct, 1u);
  const auto nearOnes = ShapeOf(Mail(json::parse(GenerateProfile(Options(60, 0.0, 1.0)))));
  EXPECT_TRUE(nearOnes.oneFieldFromAnOriginal);
  EXPECT_GT(nearOnes.distinct, 5u);
}

TEST(ProfileGenerator, CopiesLandInSeveralStoresAndIdsStayUnique) {
  const json profile = json::parse(GenerateProfile(Options(300, 0.5, 0.0)));
  const auto mail = Mail(profile);
  std::map<std::string, std::set<std::string>> storesOf;  // content -> stores holding it
  for (const auto& p : mail) storesOf[WithoutId(p.message).dump()].insert(p.store);
  bool acrossStores = false;
  for (const auto& [content, stores] : storesOf) acrossStores |= stores.size() > 1;
  EXPECT_TRUE(acrossStores);

  std::set<std::string> ids;
  size_t objects = 0;
  std::function<void(const json&)> walk = [&](const json& f) {
    ids.insert(f["id"]);
    ++objects;
    for (const auto& m : f.value("messages", json::array())) ids.insert(m["id"].get<std::string>()), ++objects;
    for (const auto& c : f.value("folders", json::array())) walk(c);
  };
  for (const auto& s : profile["stores"]) walk(s["subtree"]);
  EXPECT_EQ(ids.size(), objects);
  int defaults = 0;
  for (const auto& s : profile["stores"]) defaults += s["default"].get<bool>();
  EXPECT_EQ(defaults, 1);
}

TEST(ProfileGenerator, SameOptionsSameTextOtherSeedOtherText) {
  EXPECT_EQ(GenerateProfile(Options(50, 0.2, 0.2, 3)), GenerateProfile(Options(50, 0.2, 0.2, 3)));
  EXPECT_NE(GenerateProfile(Options(50, 0.2, 0.2, 3)), GenerateProfile(Options(50, 0.2, 0.2, 4)));
}

// --- The realistic mix ---------------------------------------------------

struct Found {
  json message;
  std::size_t store;
  std::string folder, role;
};

void CollectAll(const json& folder, std::size_t store, std::vector<Found>& out) {
  for (const auto& m : folder.value("messages", json::array())) {
    if (m.value("messageClass", "") == "IPM.Note") out.push_back({m, store, folder["id"], folder.value("role", "")});
  }
  for (const auto& f : folder.value("folders", json::array())) CollectAll(f, store, out);
}

std::vector<Found> AllMail(const json& profile) {
  std::vector<Found> out;
  for (std::size_t s = 0; s < profile["stores"].size(); ++s) CollectAll(profile["stores"][s]["subtree"], s, out);
  return out;
}

std::u32string CodePoints(const std::string& utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = utf8[i];
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    out += cp;
    i += 1 + extra;
  }
  return out;
}

// The text as code page 1252 shows it, roughly: what Latin-1 lacks is a '?'.
std::string AsAnsi(const std::string& utf8) {
  std::string out;
  for (char32_t cp : CodePoints(utf8)) out += cp < 0x100 ? static_cast<char>(cp) : '?';
  return out;
}

bool HasCodePointIn(const std::string& text, char32_t low, char32_t high) {
  for (char32_t cp : CodePoints(text))
    if (cp >= low && cp <= high) return true;
  return false;
}

json Content(json m) {
  m.erase("id");
  return m;
}

class RealisticProfile : public ::testing::Test {
 protected:
  static constexpr int kMessages = 1000;  // five trait sets of 200 messages each
  static constexpr std::size_t kAtLeast = 5;
  static void SetUpTestSuite() {
    ProfileGenOptions o = Options(kMessages, 0.15, 0.10);
    o.realistic = true;
    Text() = GenerateProfile(o);
  }
  void SetUp() override {
    profile = json::parse(Text());
    mail = AllMail(profile);
  }
  static std::string& Text() {
    static std::string text;
    return text;
  }
  json profile;
  std::vector<Found> mail;
};

TEST_F(RealisticProfile, LargeBodiesNewslettersAndTheirCopies) {
  std::size_t large = 0, megabyte = 0, largeCopies = 0, newsletters = 0;
  std::map<std::string, std::vector<const Found*>> byContent, bySenderSubject;
  for (const Found& f : mail) {
    const std::string body = f.message.value("body", "");
    if (body.size() <= 16 * 1024) continue;
    ++large;
    megabyte += body.size() >= 1024 * 1024;
    byContent[Content(f.message).dump()].push_back(&f);
    bySenderSubject[f.message.value("senderEmail", "") + "|" + f.message.value("subject", "")].push_back(&f);
  }
  for (const auto& [content, copies] : byContent) largeCopies += copies.size() > 1;
  for (const auto& [key, issues] : bySenderSubject) {
    std::set<std::string> bodies;
    for (const Found* f : issues) bodies.insert(f->message["body"]);
    newsletters += bodies.size() > 1;  // one sender and subject, different large bodies
  }
  EXPECT_GE(large, 4 * kAtLeast);
  EXPECT_GE(megabyte, 1u);
  EXPECT_GE(largeCopies, kAtLeast);
  EXPECT_GE(newsletters, kAtLeast);
}

TEST_F(RealisticProfile, UnicodeTextsInEveryScriptAndSubjectsThatLookAlikeInAnsi) {
  struct Range {
    const char* script;
    char32_t low, high;
  };
  const Range scripts[] = {{"Chinese", 0x4E00, 0x9FFF},
                           {"Cyrillic", 0x0400, 0x04FF},
                           {"Greek", 0x0370, 0x03FF},
                           {"accented Latin", 0x00C0, 0x017F},
                           {"emoji", 0x1F300, 0x1FAFF}};
  for (const Range& r : scripts) {
    std::size_t subjects = 0, senders = 0, bodies = 0;
    for (const Found& f : mail) {
      subjects += HasCodePointIn(f.message.value("subject", ""), r.low, r.high);
      senders += HasCodePointIn(f.message.value("senderName", ""), r.low, r.high);
      bodies += HasCodePointIn(f.message.value("body", ""), r.low, r.high);
    }
    EXPECT_GE(subjects, kAtLeast) << r.script;
    EXPECT_GE(bodies, kAtLeast) << r.script;
    EXPECT_GE(senders, 1u) << r.script;
  }
  // Different subjects, same sender, body and folder, the same in code page 1252.
  std::size_t lookAlikes = 0;
  for (std::size_t i = 0; i < mail.size(); ++i) {
    for (std::size_t k = i + 1; k < mail.size(); ++k) {
      const json &a = mail[i].message, &b = mail[k].message;
      if (mail[i].folder != mail[k].folder || a["subject"] == b["subject"] || a["senderEmail"] != b["senderEmail"] ||
          a.value("body", "") != b.value("body", ""))
        continue;
      lookAlikes += AsAnsi(a["subject"]) == AsAnsi(b["subject"]);
    }
  }
  EXPECT_GE(lookAlikes, kAtLeast);
}

TEST_F(RealisticProfile, ExchangeSendersHaveSmtpCopiesInAnotherStore) {
  std::size_t pairs = 0;
  for (const Found& ex : mail) {
    if (ex.message.value("senderAddrType", "") != "EX") continue;
    EXPECT_EQ(ex.store, 0u) << "Exchange senders are in the online store";
    EXPECT_EQ(ex.message["senderEmail"].get<std::string>().rfind("/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP", 0), 0u);
    const std::string smtp = ex.message.value("senderSmtp", "");
    ASSERT_FALSE(smtp.empty());
    for (const Found& f : mail) {
      const json& m = f.message;
      if (f.store == ex.store || m.value("senderAddrType", "") != "SMTP" || m.value("senderEmail", "") != smtp) continue;
      if (m["subject"] == ex.message["subject"] && m["body"] == ex.message["body"] &&
          m["searchKey"] == ex.message["searchKey"] && m["internetMessageId"] == ex.message["internetMessageId"])
        ++pairs;
    }
  }
  EXPECT_GE(pairs, kAtLeast);
}

TEST_F(RealisticProfile, CopiesKeepTheirIdentifiersAndOnlyCopiesShareThem) {
  std::map<std::string, std::set<std::string>> contentsOfKey, keysOfContent;
  for (const Found& f : mail) {
    const json& m = f.message;
    ASSERT_TRUE(m.contains("searchKey")) << m["id"];
    EXPECT_EQ(m["searchKey"].get<std::string>().size(), 32u);
    EXPECT_EQ(m.contains("internetMessageId"), m.contains("deliveryTime")) << m["id"];
    json content = Content(m);
    content.erase("lastModificationTime");  // a copy may be changed later than its original
    if (m.value("senderAddrType", "") == "EX") {  // the SMTP copy's sender is written otherwise
      content["senderEmail"] = m["senderSmtp"];
      content["senderAddrType"] = "SMTP";
      content.erase("senderSmtp");
    }
    contentsOfKey[m["searchKey"]].insert(content.dump());
    keysOfContent[content.dump()].insert(m["searchKey"]);
  }
  for (const auto& [key, contents] : contentsOfKey)
    EXPECT_EQ(contents.size(), 1u) << "different messages share the search key " << key;
  for (const auto& [content, keys] : keysOfContent) EXPECT_EQ(keys.size(), 1u) << "copies with other keys: " << content.substr(0, 200);
  // The exact copies (15% of the messages) make some contents repeat.
  EXPECT_LT(keysOfContent.size(), mail.size() * 9 / 10);
}

TEST_F(RealisticProfile, DraftsAreUnsentAndEveryMessageWasModified) {
  std::size_t drafts = 0;
  for (const Found& f : mail) {
    const json& m = f.message;
    ASSERT_TRUE(m.contains("lastModificationTime")) << m["id"];
    if (!m.contains("deliveryTime")) {
      EXPECT_EQ(f.role, "drafts") << "only drafts were never delivered";
      EXPECT_FALSE(m.contains("submitTime"));
      EXPECT_TRUE(m["flags"].get<int>() & 8) << "MSGFLAG_UNSENT";
      ++drafts;
      continue;
    }
    const auto ticks = [](const json& t) { return t.is_number() ? t.get<std::int64_t>() : Ticks(t.get<std::string>()); };
    EXPECT_GE(ticks(m["lastModificationTime"]), ticks(m["deliveryTime"])) << m["id"];
  }
  EXPECT_GE(drafts, kAtLeast);
}

TEST_F(RealisticProfile, StoreKindsAndTheSameTextForTheSameOptions) {
  const char* kinds[] = {"exchange-online", "pst", "exchange-cached"};
  for (std::size_t s = 0; s < 3; ++s) {
    EXPECT_EQ(profile["stores"][s]["kind"], kinds[s]);
    EXPECT_EQ(profile["stores"][s]["unicode"], true);
  }
  ProfileGenOptions o = Options(kMessages, 0.15, 0.10);
  o.realistic = true;
  EXPECT_EQ(GenerateProfile(o), Text());
  o.seed = 8;
  EXPECT_NE(GenerateProfile(o), Text());
}

TEST(ProfileGenerator, BigFolderHoldsExactlyItsMessagesInTheFirstStore) {
  for (const int big : {0, 300}) {
    ProfileGenOptions o = Options(100, 0.15, 0.10);
    o.bigFolder = big;
    const json profile = json::parse(GenerateProfile(o));
    const json* bulk = nullptr;
    for (std::size_t s = 0; s < profile["stores"].size(); ++s) {
      for (const auto& f : profile["stores"][s]["subtree"]["folders"]) {
        if (f["name"] == "Bulk mail") {
          EXPECT_EQ(s, 0u);
          bulk = &f;
        }
      }
    }
    if (big == 0) {
      EXPECT_EQ(bulk, nullptr);
      continue;
    }
    ASSERT_NE(bulk, nullptr);
    EXPECT_EQ((*bulk)["class"], "IPF.Note");
    EXPECT_EQ((*bulk)["messages"].size(), 300u);
    // The 100 ordinary messages are all elsewhere.
    EXPECT_EQ(Mail(profile).size(), 100u + 300u);
  }
}

TEST(ProfileGenerator, WithoutNewOptionsNoNewKeys) {
  const std::string text = GenerateProfile(Options(200, 0.15, 0.10));
  for (const char* key : {"\"kind\"", "\"unicode\"", "\"searchKey\"", "\"internetMessageId\"",
                          "\"senderAddrType\"", "\"lastModificationTime\"", "Bulk mail"})
    EXPECT_EQ(text.find(key), std::string::npos) << key;
}

}  // namespace
