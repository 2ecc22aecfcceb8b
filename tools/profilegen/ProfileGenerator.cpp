#include "tools/profilegen/ProfileGenerator.h"

#include <vector>

#include "tools/profilegen/GenSupport.h"
#include "tools/profilegen/MailParts.h"
#include "tools/profilegen/RealisticTraits.h"

namespace {

using nlohmann::ordered_json;

const std::vector<std::string> kStoreNames = {"Mailbox - Anna Berg", "Archive 2024", "Project Store",
                                              "Shared Mailbox", "Old Archive"};

class Generator {
 public:
  explicit Generator(const ProfileGenOptions& o) : FOptions(o), FRandom(o.seed) {}

  ordered_json Run() {
    ordered_json root;
    root["stores"] = ordered_json::array();
    for (int s = 0; s < FOptions.stores; ++s) root["stores"].push_back(Store(s));
    // Every store is in place now; messages go into the mail folders of all
    // stores, so copies land across folders and stores. Half of the exact
    // copies go back into their original's folder, as a repeated import does.
    if (FOptions.bigFolder > 0) FBigFolder = &root["stores"][0]["subtree"]["folders"].back();
    for (auto& s : root["stores"]) {
      for (auto& child : s["subtree"]["folders"]) CollectMailFolders(child);
    }
    for (int m = 0; m < FOptions.messages; ++m) {
      ordered_json* folder = FMailFolders[FRandom.Below(static_cast<std::uint32_t>(FMailFolders.size()))];
      ordered_json message = NextMessage(folder);
      (*folder)["messages"].push_back(std::move(message));
    }
    FillBigFolder();
    if (FOptions.realistic) {
      AddRealisticTraits(TraitFoldersOf(root), TraitCountsFor(FOptions.messages), FRandom,
                         [this] { return FIds.Message(); });
      AddMessageIds(root);
    }
    return root;
  }

 private:
  ordered_json Store(int index) {
    ordered_json s;
    s["name"] = index < static_cast<int>(kStoreNames.size()) ? kStoreNames[index] : "Store " + std::to_string(index + 1);
    s["uid"] = Hex(FRandom.Next(), 8) + Hex(FRandom.Next(), 8);
    s["default"] = index == 0;
    if (FOptions.realistic) {
      s["kind"] = StoreKindOf(index);
      s["unicode"] = true;
    }
    s["subtree"] = StoreSubtree(s["name"].get<std::string>(), index, FOptions.bigFolder > 0 && index == 0, FIds);
    return s;
  }

  // Collects the mail folders (class IPF.Note, empty or none) once the store
  // is in the tree, where their addresses stay put. Drafts, junk mail and
  // feeds stay empty: a user's duplicates are in the folders mail arrives in.
  void CollectMailFolders(ordered_json& folder) {
    if (TakesMail(folder) && &folder != FBigFolder) FMailFolders.push_back(&folder);
    for (auto& child : folder["folders"]) CollectMailFolders(child);
  }

  // The big folder takes its own messages only, with the usual shares of copies.
  void FillBigFolder() {
    for (int m = 0; FBigFolder && m < FOptions.bigFolder; ++m) {
      ordered_json* folder = FBigFolder;  // an exact copy stays here too
      (*FBigFolder)["messages"].push_back(NextMessage(folder));
    }
  }

  // Each store's Inbox, its Newsletters and Drafts (positions fixed by Store()).
  TraitFolders TraitFoldersOf(ordered_json& root) const {
    TraitFolders t{FMailFolders, {}, {}, {}};
    for (auto& s : root["stores"]) {
      auto& top = s["subtree"]["folders"];
      t.inbox.push_back(&top[0]);
      t.newsletters.push_back(&top[0]["folders"][1]);
      t.drafts.push_back(&top[4]);
    }
    return t;
  }

  // The next message for `folder`; an exact copy may move `folder` to the
  // folder of its original.
  ordered_json NextMessage(ordered_json*& folder) {
    if (FMailFolders.empty()) return {};
    const double roll = FRandom.Fraction();
    if (!FOriginals.empty() && roll < FOptions.exact) {
      const std::size_t pick = FRandom.Below(static_cast<std::uint32_t>(FOriginals.size()));
      ordered_json copy = FOriginals[pick];
      copy["id"] = FIds.Message();
      if (FRandom.Below(2) == 0) folder = FOriginalFolders[pick];
      return copy;
    }
    if (!FOriginals.empty() && roll < FOptions.exact + FOptions.nearCopies) {
      ordered_json copy = FRandom.Pick(FOriginals);
      copy["id"] = FIds.Message();
      MakeNearCopy(copy, FRandom);
      return copy;
    }
    FOriginals.push_back(NewMessage(FRandom, FIds.Message()));
    FOriginalFolders.push_back(folder);
    return FOriginals.back();
  }

 private:
  const ProfileGenOptions& FOptions;
  Random FRandom;
  IdCounter FIds;
  std::vector<ordered_json*> FMailFolders;
  std::vector<ordered_json> FOriginals;
  std::vector<ordered_json*> FOriginalFolders;  // where each original went
  ordered_json* FBigFolder = nullptr;
};

}  // namespace

std::string GenerateProfile(const ProfileGenOptions& options) { return Generator(options).Run().dump(1) + "\n"; }
