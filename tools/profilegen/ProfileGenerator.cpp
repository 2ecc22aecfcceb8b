#include "tools/profilegen/ProfileGenerator.h"

#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "tools/profilegen/GenSupport.h"
#include "tools/profilegen/RealisticTraits.h"

namespace {


using nlohmann::ordered_json;

const std::vector<std::string> kStoreNames = {"Mailbox - Anna Berg", "Archive 2024", "Project Store",
                                              "Shared Mailbox", "Old Archive"};
const std::vector<std::string> kPeople = {"Anna Berg", "Bruno Costa", "Chen Wei", "Dana Evans", "Emil Fischer",
                                          "Farah Gill", "Goran Horvat", "Hana Ito"};
const std::vector<std::string> kWords = {"budget", "meeting", "report", "invoice", "travel", "review", "launch",
                                         "contract", "schedule", "update", "draft", "question", "minutes", "order"};

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
                         [this] { return Hex(0x4D00000000000000ULL | ++FIds, 8); });
      AddMessageIds(root);
    }
    return root;
  }

 private:
  ordered_json Folder(const std::string& name, const char* cls, const char* role = nullptr) {
    ordered_json f;
    f["name"] = name;
    f["id"] = Hex(0x4600000000000000ULL | ++FIds, 8);  // 'F' ...
    if (cls != nullptr) f["class"] = cls;
    if (role != nullptr) f["role"] = role;
    f["messages"] = ordered_json::array();
    f["folders"] = ordered_json::array();
    return f;
  }

  ordered_json Store(int index) {
    ordered_json s;
    s["name"] = index < static_cast<int>(kStoreNames.size()) ? kStoreNames[index] : "Store " + std::to_string(index + 1);
    s["uid"] = Hex(FRandom.Next(), 8) + Hex(FRandom.Next(), 8);
    s["default"] = index == 0;
    if (FOptions.realistic) {
      s["kind"] = StoreKindOf(index);
      s["unicode"] = true;
    }
    ordered_json top = Folder("Top of " + s["name"].get<std::string>(), nullptr);
    ordered_json inbox = Folder("Inbox", "IPF.Note", "inbox");
    inbox["folders"].push_back(Folder("Customers", "IPF.Note"));
    inbox["folders"].push_back(Folder("Newsletters", ""));
    ordered_json contacts = Folder("Contacts", "IPF.Contact");
    contacts["messages"].push_back(Item("IPM.Contact", kPeople[index % kPeople.size()]));
    contacts["folders"].push_back(Folder("Mail from contacts", "IPF.Note"));
    ordered_json calendar = Folder("Calendar", "IPF.Appointment");
    calendar["messages"].push_back(Item("IPM.Appointment", "Weekly " + kWords[index % kWords.size()]));
    ordered_json projects = Folder("Projects", nullptr);
    projects["folders"].push_back(Folder("Alpha", "IPF.Note"));
    auto& f = top["folders"];
    f.push_back(std::move(inbox));
    f.push_back(Folder("Sent Items", "IPF.Note", "sent"));
    f.push_back(Folder("Outbox", "IPF.Note", "outbox"));
    f.push_back(Folder("Deleted Items", "IPF.Note", "deleted"));
    f.push_back(Folder("Drafts", "IPF.Note", "drafts"));
    f.push_back(Folder("Junk E-mail", "IPF.Note", "junk"));
    f.push_back(Folder("RSS Feeds", "IPF.Note", "rss"));
    f.push_back(std::move(calendar));
    f.push_back(std::move(contacts));
    f.push_back(Folder("Tasks", "IPF.Task"));
    f.push_back(Folder("To-Do List", "IPF.Task", "todo"));
    f.push_back(Folder("Outlook Today", "IPF.Note.OutlookHomepage"));
    f.push_back(std::move(projects));
    if (FOptions.bigFolder > 0 && index == 0) f.push_back(Folder("Bulk mail", "IPF.Note"));
    s["subtree"] = std::move(top);
    return s;
  }

  // Collects the mail folders (class IPF.Note, empty or none) once the store
  // is in the tree, where their addresses stay put. Drafts, junk mail and
  // feeds stay empty: a user's duplicates are in the folders mail arrives in.
  void CollectMailFolders(ordered_json& folder) {
    const std::string cls = folder.value("class", "");
    const std::string role = folder.value("role", "");
    const bool kept = role != "drafts" && role != "junk" && role != "rss" && &folder != FBigFolder;
    if ((cls.empty() || cls == "IPF.Note") && kept) FMailFolders.push_back(&folder);
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

  ordered_json Item(const char* messageClass, const std::string& subject) {
    ordered_json m;
    m["id"] = Hex(0x4D00000000000000ULL | ++FIds, 8);  // 'M' ...
    m["subject"] = subject;
    m["messageClass"] = messageClass;
    m["flags"] = 1;
    return m;
  }

  ordered_json NewMessage() {
    const std::string from = FRandom.Pick(kPeople);
    std::string subject = FRandom.Pick(kWords) + " " + FRandom.Pick(kWords) + " #" + std::to_string(FRandom.Below(1000));
    subject[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(subject[0])));
    ordered_json m = Item("IPM.Note", subject);
    m["senderName"] = from;
    m["senderEmail"] = Email(from);
    const std::string sent = Time(FRandom);
    m["submitTime"] = sent;
    m["deliveryTime"] = sent;
    m["flags"] = FRandom.Below(2);
    m["to"] = FRandom.Pick(kPeople);
    m["cc"] = FRandom.Below(3) == 0 ? FRandom.Pick(kPeople) : "";
    m["bcc"] = "";
    std::string body = "Hello,\r\n";
    for (std::uint32_t w = 0, n = 5 + FRandom.Below(40); w < n; ++w) body += FRandom.Pick(kWords) + " ";
    m["body"] = body + "\r\nRegards, " + from;
    m["status"] = 0;
    m["access"] = 3;
    std::uint32_t size = static_cast<std::uint32_t>(body.size()) + 400;
    const std::uint32_t attachments = FRandom.Below(10) < 3 ? 1 + FRandom.Below(2) : 0;
    for (std::uint32_t a = 0; a < attachments; ++a) {
      ordered_json at;
      const std::string name = FRandom.Pick(kWords) + std::to_string(a) + (FRandom.Below(2) ? ".pdf" : ".docx");
      const bool embedded = FRandom.Below(8) == 0;
      at["method"] = embedded ? 5 : 1;
      at["displayName"] = embedded ? "Forwarded message" : name;
      if (!embedded) {
        at["fileName"] = name.substr(0, 8);
        at["longFileName"] = name;
        at["pathName"] = "";
        at["longPathName"] = "";
      }
      const std::uint32_t bytes = 1000 + FRandom.Below(200000);
      at["size"] = bytes;
      size += bytes;
      m["attachments"].push_back(at);
    }
    m["size"] = size;
    return m;
  }

  // The next message for `folder`; an exact copy may move `folder` to the
  // folder of its original.
  ordered_json NextMessage(ordered_json*& folder) {
    if (FMailFolders.empty()) return {};
    const double roll = FRandom.Fraction();
    if (!FOriginals.empty() && roll < FOptions.exact) {
      const std::size_t pick = FRandom.Below(static_cast<std::uint32_t>(FOriginals.size()));
      ordered_json copy = FOriginals[pick];
      copy["id"] = Hex(0x4D00000000000000ULL | ++FIds, 8);
      if (FRandom.Below(2) == 0) folder = FOriginalFolders[pick];
      return copy;
    }
    if (!FOriginals.empty() && roll < FOptions.exact + FOptions.nearCopies) {
      ordered_json copy = FRandom.Pick(FOriginals);
      copy["id"] = Hex(0x4D00000000000000ULL | ++FIds, 8);
      switch (FRandom.Below(5)) {
        case 0: copy["subject"] = copy["subject"].get<std::string>() + " (2)"; break;
        case 1: copy["body"] = copy["body"].get<std::string>() + "!"; break;
        case 2: copy["to"] = copy["to"].get<std::string>() + "; " + FRandom.Pick(kPeople); break;
        case 3: copy["size"] = copy["size"].get<std::uint32_t>() + 1; break;
        default: copy["submitTime"] = Time(FRandom); break;
      }
      return copy;
    }
    FOriginals.push_back(NewMessage());
    FOriginalFolders.push_back(folder);
    return FOriginals.back();
  }

 private:
  const ProfileGenOptions& FOptions;
  Random FRandom;
  std::uint64_t FIds = 0;
  std::vector<ordered_json*> FMailFolders;
  std::vector<ordered_json> FOriginals;
  std::vector<ordered_json*> FOriginalFolders;  // where each original went
  ordered_json* FBigFolder = nullptr;
};

}  // namespace

std::string GenerateProfile(const ProfileGenOptions& options) { return Generator(options).Run().dump(1) + "\n"; }
