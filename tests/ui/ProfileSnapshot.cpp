#include "tests/ui/ProfileSnapshot.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

constexpr std::size_t kFlagDigits = 8, kUidDigits = 32;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void ReadFolder(const nlohmann::json& folder, const std::string& path, const std::string& uid,
                std::map<std::string, TSnapshotFolder>& into) {
  TSnapshotFolder& f = into[path];
  f.storeUid = uid;
  f.id = Upper(folder.value("id", ""));
  f.role = folder.value("role", "");
  for (const auto& m : folder.value("messages", nlohmann::json::array())) f.messages.push_back(m);
  for (const auto& child : folder.value("folders", nlohmann::json::array()))
    ReadFolder(child, path + "/" + child.value("name", ""), uid, into);
}

}  // namespace

TProfileSnapshot TProfileSnapshot::Take(TStandin& standin) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("quop-snapshot-" + std::to_string(GetCurrentProcessId()) + ".json");
  standin.SaveProfile(file.string());
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  std::filesystem::remove(file);
  return TProfileSnapshot(nlohmann::json::parse(text.str()));
}

TProfileSnapshot::TProfileSnapshot(const nlohmann::json& profile) {
  for (const auto& store : profile.value("stores", nlohmann::json::array())) {
    if (!store.contains("subtree")) continue;
    // The subtree itself is the store's path; its folders go below it.
    ReadFolder(store["subtree"], store.value("name", ""), Upper(store.value("uid", "")), FFolders);
  }
}

std::size_t TProfileSnapshot::MessageCount() const {
  std::size_t n = 0;
  for (const auto& [path, folder] : FFolders) n += folder.messages.size();
  return n;
}

std::string TProfileSnapshot::FolderEntryID(const std::string& path) const {
  const auto it = FFolders.find(path);
  return it == FFolders.end() ? std::string() : std::string(kFlagDigits, '0') + it->second.storeUid + it->second.id;
}

std::string TProfileSnapshot::PathOf(const std::string& entryId) const {
  if (entryId.size() <= kFlagDigits + kUidDigits) return {};
  const std::string uid = Upper(entryId.substr(kFlagDigits, kUidDigits));
  const std::string id = Upper(entryId.substr(kFlagDigits + kUidDigits));
  for (const auto& [path, folder] : FFolders) {
    if (folder.storeUid != uid) continue;
    for (const auto& m : folder.messages)
      if (Upper(m.value("id", "")) == id) return path;
  }
  return {};
}

std::string TProfileSnapshot::DeletedItemsOf(const std::string& entryId) const {
  if (entryId.size() <= kFlagDigits + kUidDigits) return {};
  const std::string uid = Upper(entryId.substr(kFlagDigits, kUidDigits));
  for (const auto& [path, folder] : FFolders)
    if (folder.storeUid == uid && folder.role == "deleted") return path;
  return {};
}

nlohmann::json TProfileSnapshot::Take(const std::string& entryId) {
  const std::string path = PathOf(entryId);
  if (path.empty()) return nullptr;
  const std::string id = Upper(entryId.substr(kFlagDigits + kUidDigits));
  auto& messages = FFolders[path].messages;
  const auto it = std::find_if(messages.begin(), messages.end(),
                               [&](const nlohmann::json& m) { return Upper(m.value("id", "")) == id; });
  nlohmann::json message = *it;
  messages.erase(it);
  // The search key a message is served with unless it has its own; copies
  // and moves carry it along, so the saved profile names it on them.
  if (!message.contains("searchKey")) message["searchKey"] = Upper(entryId.substr(kFlagDigits));
  return message;
}

void TProfileSnapshot::Put(const std::string& path, nlohmann::json message) {
  message.erase("id");
  FFolders[path].messages.push_back(std::move(message));
}

bool TProfileSnapshot::Holds(const std::string& storeUid, const std::string& id) const {
  for (const auto& [path, folder] : FFolders) {
    if (folder.storeUid != storeUid) continue;
    for (const auto& m : folder.messages)
      if (Upper(m.value("id", "")) == id) return true;
  }
  return false;
}

std::map<std::string, std::vector<std::string>> TProfileSnapshot::Contents(const TProfileSnapshot& known) const {
  std::map<std::string, std::vector<std::string>> contents;
  for (const auto& [path, folder] : FFolders) {
    std::vector<std::string>& texts = contents[path];
    for (nlohmann::json m : folder.messages) {
      if (!m.contains("id") || !known.Holds(folder.storeUid, Upper(m["id"].get<std::string>()))) m.erase("id");
      texts.push_back(m.dump());
    }
    std::sort(texts.begin(), texts.end());
  }
  return contents;
}

::testing::AssertionResult SameMessages(const TProfileSnapshot& expected, const TProfileSnapshot& actual,
                                        const TProfileSnapshot& known) {
  const auto want = expected.Contents(known);
  const auto got = actual.Contents(known);
  std::set<std::string> paths;
  for (const auto& [path, texts] : want) paths.insert(path);
  for (const auto& [path, texts] : got) paths.insert(path);
  std::ostringstream diff;
  for (const std::string& path : paths) {
    const auto w = want.find(path), g = got.find(path);
    const std::vector<std::string> none;
    const auto& wt = w == want.end() ? none : w->second;
    const auto& gt = g == got.end() ? none : g->second;
    if (w == want.end() || g == got.end()) diff << "folder " << path << (w == want.end() ? " unexpected\n" : " missing\n");
    if (wt == gt) continue;
    std::vector<std::string> lacking, surplus;
    std::set_difference(wt.begin(), wt.end(), gt.begin(), gt.end(), std::back_inserter(lacking));
    std::set_difference(gt.begin(), gt.end(), wt.begin(), wt.end(), std::back_inserter(surplus));
    diff << "in " << path << ":\n";
    for (const auto& m : lacking) diff << "  missing  " << m << "\n";
    for (const auto& m : surplus) diff << "  surplus  " << m << "\n";
  }
  if (diff.str().empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << diff.str();
}
