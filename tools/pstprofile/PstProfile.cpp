#include "tools/pstprofile/PstProfile.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "tools/pstprofile/MessageJson.h"
#include "tools/pstprofile/PropIds.h"
#include "tools/pstprofile/StoreLayout.h"

namespace {

using nlohmann::ordered_json;

std::string Json(const ordered_json& value) {
  // Texts from a damaged file may not be valid UTF-8: replaced, not fatal.
  return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// 32 hex digits derived from the file name alone: the same name, the same uid.
std::string UidFromName(const std::string& name) {
  std::uint64_t a = 0xCBF29CE484222325ULL, b = 0x84222325CBF29CE4ULL;
  for (unsigned char c : name) {
    a = (a ^ c) * 0x100000001B3ULL;
    b = (b ^ c) * 0x100000001B3ULL + 1;
  }
  std::string bytes;
  for (std::uint64_t v : {a, b})
    for (int i = 7; i >= 0; --i) bytes += static_cast<char>(v >> (8 * i) & 0xFF);
  return HexText(bytes);
}

class Writer {
 public:
  Writer(std::ostream& out, PstProfileReport& report) : FOut(out), FReport(report) {}

  void Store(const std::string& path, bool first) {
    FLayout = StoreLayout();  // its items go before the file they came from
    FFile = OpenPffFile(path);
    FPath = path;
    FLayout = ReadStoreLayout(FFile.Get(), path);
    ordered_json head = ordered_json::object();
    head["name"] = FLayout.name;
    head["uid"] = Uid(path);
    head["default"] = first;
    head["kind"] = FLayout.kind;
    head["unicode"] = FLayout.unicode;
    std::string text = Json(head);
    text.pop_back();  // the closing brace: the subtree follows
    FOut << (first ? "\n  " : ",\n  ") << text;
    if (FLayout.subtree) {
      FOut << ", \"subtree\": ";
      Folder(FLayout.subtree.Get(), FolderHead(FLayout.subtree.Get()), "  ");
    }
    FOut << "}";
    ++FReport.stores;
  }

 private:
  // The record key as uid, unless absent or taken by an earlier file (a copy
  // of the same store): then one derived from the file name.
  std::string Uid(const std::string& path) {
    std::string uid = FLayout.recordKey.empty() ? "" : HexText(FLayout.recordKey);
    const std::string name = std::filesystem::path(path).filename().string();
    for (int n = 0; uid.empty() || FUids.contains(uid); ++n) uid = UidFromName(n ? name + "#" + std::to_string(n) : name);
    FUids.insert(uid);
    return uid;
  }

  void Error(const std::string& what, const std::exception& e) {
    FReport.errors.push_back(FPath + ": " + what + ": " + e.what());
  }

  // The folder's own keys as an unclosed JSON object; read before anything
  // of the folder is written, so a folder that cannot be read leaves no trace.
  std::string FolderHead(libpff_item_t* folder) {
    const std::uint32_t node = ItemIdentifier(folder);
    const PffProps props(folder);
    ordered_json head = ordered_json::object();
    head["name"] = props.Text(propid::kDisplayName).value_or("");
    head["id"] = NodeIdText(node);
    if (auto cls = props.Text(propid::kContainerClass)) head["class"] = *cls;
    if (auto role = FLayout.roles.find(node); role != FLayout.roles.end()) head["role"] = role->second;
    std::string text = Json(head);
    text.pop_back();
    return text;
  }

  void Folder(libpff_item_t* folder, const std::string& head, const std::string& indent) {
    FOut << head << ",\n" << indent << " \"messages\": [";
    Messages(folder, indent + "  ");
    FOut << "],\n" << indent << " \"folders\": [";
    SubFolders(folder, indent + "  ");
    FOut << "]}";
    ++FReport.folders;
  }

  void Messages(libpff_item_t* folder, const std::string& indent) {
    int count = 0;
    PffError error;
    if (libpff_folder_get_number_of_sub_messages(folder, &count, error.Out()) != 1)
      error.Throw("cannot count the messages of folder " + std::to_string(ItemIdentifier(folder)));
    bool any = false;
    for (int i = 0; i < count; ++i) {
      try {
        PffItem message;
        if (libpff_folder_get_sub_message(folder, i, message.Out(), error.Out()) != 1)
          error.Throw("cannot open the message");
        const std::string text = Json(MessageJson(message.Get()));
        FOut << (any ? ",\n" : "\n") << indent << text;
        any = true;
        ++FReport.messages;
      } catch (const std::exception& e) {
        Error("folder " + std::to_string(ItemIdentifier(folder)) + " message " + std::to_string(i), e);
      }
    }
  }

  // Search folders hold links to messages elsewhere: a store's IPM subtree
  // does not show them, and neither does the profile.
  void SubFolders(libpff_item_t* folder, const std::string& indent) {
    bool any = false;
    for (int i = 0, n = SubFolderCount(folder); i < n; ++i) {
      PffItem sub;
      std::string head;
      try {
        sub = SubFolder(folder, i);
        if (PffProps(sub.Get()).Number(propid::kFolderType) == propid::kFolderSearch) continue;
        head = FolderHead(sub.Get());
      } catch (const std::exception& e) {
        Error("folder " + std::to_string(ItemIdentifier(folder)) + " sub-folder " + std::to_string(i), e);
        continue;
      }
      FOut << (any ? ",\n" : "\n") << indent;
      any = true;
      Folder(sub.Get(), head, indent);
    }
  }

  std::ostream& FOut;
  PstProfileReport& FReport;
  std::string FPath;
  PffFile FFile;
  StoreLayout FLayout;  // after FFile: its items are freed first
  std::set<std::string> FUids;
};

}  // namespace

void WritePstProfile(const std::vector<std::string>& paths, std::ostream& out, PstProfileReport& report) {
  Writer writer(out, report);
  out << "{\"stores\": [";
  for (std::size_t i = 0; i < paths.size(); ++i) writer.Store(paths[i], i == 0);
  out << "\n]}\n";
}
