#include "standin/ProfileJson.h"

#include <windows.h>
#include <mapix.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "standin/GeneratedMail.h"

namespace standin {
namespace {

using nlohmann::ordered_json;

// A message record whose identifier is made once its store is read.
constexpr TextId kNoId = 0xFFFFFFFF;

// The store's limits by their JSON names, in the order written.
constexpr std::pair<const char*, std::optional<ULONG> StoreRules::*> kStoreLimits[] = {
    {"largePropertyLimit", &StoreRules::largePropertyLimit},
    {"responseLimit", &StoreRules::responseLimit},
    {"maxOpenMessages", &StoreRules::maxOpenMessages},
    {"maxOpenFolders", &StoreRules::maxOpenFolders},
    {"maxOpenAttachments", &StoreRules::maxOpenAttachments},
    {"maxRowsPerQuery", &StoreRules::maxRowsPerQuery},
    {"callMicroseconds", &StoreRules::callMicroseconds},
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// Builds the profile's tree as the parser reads it, except that each
// message, once its object ends, is kept in `mail` and its place in the
// tree holds the record's number instead.
class ProfileReader final : public nlohmann::json_sax<ordered_json> {
 public:
  explicit ProfileReader(StoredMail& mail) : FMail(mail) {}
  ordered_json& Root() { return FRoot; }

  bool null() override { return Value(nullptr); }
  bool boolean(bool value) override { return Value(value); }
  bool number_integer(number_integer_t value) override { return Value(value); }
  bool number_unsigned(number_unsigned_t value) override { return Value(value); }
  bool number_float(number_float_t value, const string_t&) override { return Value(value); }
  bool string(string_t& value) override { return Value(std::move(value)); }
  bool binary(binary_t& value) override { return Value(ordered_json::binary(std::move(value))); }
  bool start_object(std::size_t) override { return Open(ordered_json::object()); }
  bool key(string_t& key) override {
    FKey = std::move(key);
    return true;
  }
  bool end_object() override { return Close(); }
  bool start_array(std::size_t) override { return Open(ordered_json::array()); }
  bool end_array() override { return Close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override { throw e; }

 private:
  // What a container of the tree is, as far as messages are concerned.
  enum class Place { Other, Root, Stores, Store, Folder, Folders, Messages };
  struct Container {
    ordered_json* value;
    Place place;
  };

  Place PlaceOfNext(bool object) const {
    if (FOpen.empty()) return object ? Place::Root : Place::Other;
    const Container& parent = FOpen.back();
    if (parent.value->is_array()) {
      if (parent.place == Place::Stores && object) return Place::Store;
      if (parent.place == Place::Folders && object) return Place::Folder;
      return Place::Other;
    }
    if (parent.place == Place::Root && FKey == "stores" && !object) return Place::Stores;
    if (parent.place == Place::Store && FKey == "subtree" && object) return Place::Folder;
    if (parent.place == Place::Folder && FKey == "folders" && !object) return Place::Folders;
    if (parent.place == Place::Folder && FKey == "messages" && !object) return Place::Messages;
    return Place::Other;
  }

  // Puts a value where the parser is; open containers never move, since
  // only the innermost one grows.
  ordered_json* Add(ordered_json value) {
    if (FOpen.empty()) {
      FRoot = std::move(value);
      return &FRoot;
    }
    ordered_json& parent = *FOpen.back().value;
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    ordered_json& slot = parent[FKey];
    slot = std::move(value);
    return &slot;
  }

  bool Value(ordered_json value) {
    Done(Add(std::move(value)));
    return true;
  }
  bool Open(ordered_json value) {
    const Place place = PlaceOfNext(value.is_object());
    FOpen.push_back({Add(std::move(value)), place});
    return true;
  }
  bool Close() {
    ordered_json* value = FOpen.back().value;
    FOpen.pop_back();
    Done(value);
    return true;
  }

  void Done(ordered_json* value) {
    if (FOpen.empty() || FOpen.back().place != Place::Messages) return;
    std::optional<Bytes> id;
    const MessageContent content = ReadMessage(*value, id);
    *value = FMail.Add(content, id ? FMail.Texts().Keep(*id) : kNoId);
  }

  StoredMail& FMail;
  ordered_json FRoot;
  std::vector<Container> FOpen;
  std::string FKey;
};

Bytes FolderIdOf(const ordered_json& j, StoreData& store) {
  auto it = j.find("id");
  Bytes id = it != j.end() ? FromHex(it->get<std::string>(), "id") : store.NewId('F');
  if (id.empty()) Fail("empty id");
  if (store.folders.contains(id) || store.index.contains(std::string_view(id)))
    Fail("id used twice in store " + store.name + ": " + ToHex(id));
  return id;
}

// Puts a message record into its folder under its own identifier, or a
// fresh one when the profile gave none.
void PlaceRecord(std::uint32_t record, StoreData& store, FolderData& folder) {
  StoredMail& mail = *store.mail;
  if (mail[record].id == kNoId) {
    mail[record].id = mail.Texts().Keep(store.NewId('M'));
  } else {
    const Bytes id(mail.IdOf(record));
    if (id.empty()) Fail("empty id");
    if (store.folders.contains(id) || store.index.contains(std::string_view(id)))
      Fail("id used twice in store " + store.name + ": " + ToHex(id));
  }
  mail[record].folder = &folder;
  store.index.emplace(mail.IdOf(record), record);
  folder.messages.AddRecord(record);
}

std::shared_ptr<FolderData> ReadFolder(const ordered_json& j, StoreData& store, const Bytes& parentId) {
  auto folder = std::make_shared<FolderData>();
  folder->id = FolderIdOf(j, store);
  folder->storeUid = store.uid;
  folder->parentId = parentId;
  folder->name = j.value("name", "");
  if (j.contains("class")) folder->containerClass = j["class"].get<std::string>();
  folder->role = j.value("role", "");
  store.folders[folder->id] = folder;
  for (const auto& m : j.value("messages", ordered_json::array())) {
    if (m.is_number_unsigned()) {  // read already by ProfileReader
      PlaceRecord(m.get<std::uint32_t>(), store, *folder);
      continue;
    }
    std::optional<Bytes> id;
    const MessageContent content = ReadMessage(m, id);
    PlaceRecord(store.mail->Add(content, id ? store.mail->Texts().Keep(*id) : kNoId), store, *folder);
  }
  for (const auto& child : j.value("folders", ordered_json::array())) folder->folders.push_back(ReadFolder(child, store, folder->id));
  return folder;
}

ordered_json WriteFolder(const FolderData& folder, const StoreData& store) {
  ordered_json j;
  j["name"] = folder.name;
  j["id"] = ToHex(folder.id);
  if (folder.containerClass) j["class"] = *folder.containerClass;
  if (!folder.role.empty()) j["role"] = folder.role;
  if (folder.messages.Size() != 0) {
    ordered_json& messages = j["messages"] = ordered_json::array();
    for (size_t i = 0; i < folder.messages.Size(); ++i)
      messages.push_back(WriteMessage(*store.Materialize(folder.messages.At(i))));
  }
  for (const auto& child : folder.folders) j["folders"].push_back(WriteFolder(*child, store));
  return j;
}

ULONG ReadCount(const ordered_json& value, const std::string& what) {
  if (!value.is_number_unsigned() || value.get<unsigned long long>() > 0xFFFFFFFFull)
    Fail(what + " is not a count: " + value.dump());
  return value.get<ULONG>();
}

void ReadRules(const ordered_json& js, StoreData& store) {
  StoreRules& rules = store.rules;
  if (js.contains("kind")) {
    const std::string name = js["kind"].get<std::string>();
    const auto kind = StoreKindNamed(name);
    if (!kind) Fail("store " + store.name + ": unknown kind: " + name);
    rules.kind = *kind;
  }
  if (js.contains("unicode")) rules.unicode = js["unicode"].get<bool>();
  for (const auto& [name, member] : kStoreLimits) {
    auto it = js.find(name);
    if (it != js.end()) rules.*member = ReadCount(*it, "store " + store.name + ": " + name);
  }
}

void WriteRules(const StoreRules& rules, ordered_json& js) {
  if (rules.kind != StoreKind::Pst) js["kind"] = StoreKindName(rules.kind);
  if (rules.unicode) js["unicode"] = *rules.unicode;
  for (const auto& [name, member] : kStoreLimits) {
    if (rules.*member) js[name] = *(rules.*member);
  }
}

// Folders a generated store may add, at most.
constexpr ULONG kMostGeneratedFolders = 10000;

MailboxShape ReadMailboxShape(const ordered_json& j, const std::string& store) {
  const std::string what = "store " + store + ": generate";
  if (!j.is_object()) Fail(what + " is not an object");
  auto share = [&](const std::string& key, const ordered_json& value) {
    if (!value.is_number() || value.get<double>() < 0 || value.get<double>() > 1)
      Fail(what + ": " + key + " is not a share from 0 to 1: " + value.dump());
    return value.get<double>();
  };
  MailboxShape shape;
  for (const auto& [key, value] : j.items()) {
    if (key == "messages") {
      shape.messages = ReadCount(value, what + ": messages");
    } else if (key == "seed") {
      if (!value.is_number_unsigned()) Fail(what + ": seed is not a count: " + value.dump());
      shape.seed = value.get<std::uint64_t>();
    } else if (key == "exact") {
      shape.exact = share(key, value);
    } else if (key == "near") {
      shape.nearCopies = share(key, value);
    } else if (key == "folders") {
      shape.folders = ReadCount(value, what + ": folders");
      if (shape.folders > kMostGeneratedFolders) Fail(what + ": more than 10000 folders");
    } else if (key == "realistic") {
      shape.realistic = value.get<bool>();
    } else {
      Fail(what + ": unknown key " + key);
    }
  }
  if (shape.exact + shape.nearCopies > 1) Fail(what + ": exact and near add up to more than 1");
  return shape;
}

std::shared_ptr<StoreData> ReadStore(const ordered_json& js, const Profile& profile) {
  auto store = std::make_shared<StoreData>();
  store->mail = profile.mail;
  store->name = js.value("name", "");
  store->uid = FromHex(js.value("uid", ""), "uid");
  if (store->uid.size() != 16) Fail("store " + store->name + ": uid must have 16 bytes");
  if (profile.StoreByUid(store->uid) != nullptr) Fail("two stores with uid " + ToHex(store->uid));
  store->isDefault = js.value("default", false);
  ReadRules(js, *store);
  if (js.contains("generate")) {
    if (js.contains("subtree")) Fail("store " + store->name + ": generate and subtree exclude each other");
    store->generated = std::make_shared<GeneratedMail>(ReadMailboxShape(js["generate"], store->name), store->name);
    store->subtree = ReadFolder(store->generated->Mailbox().Subtree(), *store, Bytes());
    store->generated->Place(*store);
  } else if (js.contains("subtree")) {
    store->subtree = ReadFolder(js["subtree"], *store, Bytes());
  }
  return store;
}

HRESULT ReadHr(const ordered_json& j) {
  if (j.is_number_integer()) return static_cast<HRESULT>(j.get<long long>());
  return static_cast<HRESULT>(std::stoul(j.get<std::string>(), nullptr, 16));
}

template <class Input>
LoadedProfile Parse(Input&& input) {
  LoadedProfile loaded;
  loaded.profile = std::make_shared<Profile>();
  try {
    ProfileReader reader(*loaded.profile->mail);
    ordered_json::sax_parse(std::forward<Input>(input), &reader);
    const ordered_json& root = reader.Root();
    for (const auto& js : root.value("stores", ordered_json::array()))
      loaded.profile->stores.push_back(ReadStore(js, *loaded.profile));
    for (const auto& jf : root.value("faults", ordered_json::array())) {
      FaultRule rule;
      rule.call = jf.at("call").get<std::string>();
      rule.target = jf.at("target").get<std::string>();
      if (jf.contains("prop")) rule.propTag = ReadPropTag(jf["prop"]);
      if (jf.contains("hr")) rule.hr = ReadHr(jf["hr"]);
      rule.nth = jf.value("nth", 0UL);
      loaded.faults.push_back(std::move(rule));
    }
  } catch (const nlohmann::json::exception& e) {
    Fail(e.what());
  }
  return loaded;
}

}  // namespace

LoadedProfile ParseProfile(const std::string& jsonText) { return Parse(jsonText); }
LoadedProfile ParseProfile(std::istream& json) { return Parse(json); }

std::string WriteProfile(const Profile& profile, const std::vector<FaultRule>& faults) {
  ordered_json root;
  root["stores"] = ordered_json::array();
  for (const auto& s : profile.stores) {
    ordered_json js;
    js["name"] = s->name;
    js["uid"] = ToHex(s->uid);
    js["default"] = s->isDefault;
    WriteRules(s->rules, js);
    if (s->subtree) js["subtree"] = WriteFolder(*s->subtree, *s);
    root["stores"].push_back(js);
  }
  if (!faults.empty()) {
    for (const FaultRule& f : faults) {
      char hr[16];
      std::snprintf(hr, sizeof hr, "0x%08lX", static_cast<unsigned long>(f.hr));
      ordered_json jf{{"call", f.call}, {"target", f.target}, {"hr", hr}};
      if (f.propTag != 0) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "0x%08lX", f.propTag);
        jf["prop"] = tag;
      }
      if (f.nth != 0) jf["nth"] = f.nth;
      root["faults"].push_back(jf);
    }
  }
  return root.dump(1) + "\n";
}

}  // namespace standin
