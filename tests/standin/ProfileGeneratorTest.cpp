// The sample-profile generator: its shares of exact and near copies, copies
// across stores, unique identifiers, and the same text for the same options.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

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

}  // namespace
