// The console scan over real mail files: enron.pst and two Outlook.com .ost
// files, turned into one stand-in profile (build/realstores.json, written by
// pstprofile during ./quop build). Every figure below was worked out from the
// files themselves through libpff, not from the scan's output
// (derive_figures.py in this folder prints them).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/realstores/ScanProcess.h"

namespace {

using nlohmann::json;

// The build folder, where ./quop setup puts the files and ./quop build the profile.
const std::string kBuild = std::string("Z:") + QUOP_BUILD_ROOT;
const std::string kProfile = kBuild + "/realstores.json";
const char* const kRealFiles[] = {"enron.pst", "pstextractortest@outlook.com.ost",
                                  "pstextractortestpdf@outlook.com.ost"};

// Store UIDs: each file's message-store record key.
const std::string kEnron = "B688AEC0B1E86043A526ADD35FD06746";
const std::string kOst = "85CE62A2C04A18408AC7F0B140A9BB0E";
const std::string kOstPdf = "B8BED0E9CF43234AAC892E7B3AEC452D";

struct FolderCount {
  std::string store, name;
  int messages;
  bool operator<(const FolderCount& o) const {
    return std::tie(store, name, messages) < std::tie(o.store, o.name, o.messages);
  }
  bool operator==(const FolderCount&) const = default;
};

// Mail folders (class IPF.Note, empty or none) of the IPM subtrees that hold
// messages. Not there: the search folders and the OSTs' public-folder tree.
const std::vector<FolderCount> kMailFolders = {
    {kEnron, "MLOKAY (Non-Privileged)", 1}, {kEnron, "TW-Commercial Group", 14}, {kEnron, "Systems", 7},
    {kEnron, "Sent Items", 2},              {kEnron, "Personal", 47},           {kOst, "Deleted Items", 1},
    {kOst, "Inbox", 10},                    {kOst, "Sent Items", 2},            {kOst, "Sync Issues", 1},
    {kOstPdf, "Inbox", 2}};
constexpr int kMessagesRead = 87;  // the sum of the above

// Folders of other classes that hold items (appointments): never read, and
// not an error either.
const std::vector<FolderCount> kSkippedByClass = {
    {kOst, "Calendar", 9}, {kOst, "United States holidays", 160}, {kOstPdf, "United States holidays", 160}};

// A group as its members' subjects, sender addresses (lower case) and
// folders, each sorted, and the store of the copy kept: the one delivered
// first.
struct Group {
  std::vector<std::string> subjects, senders, folders;
  std::string keepStore;
  bool operator<(const Group& o) const {
    return std::tie(subjects, senders, folders, keepStore) < std::tie(o.subjects, o.senders, o.folders, o.keepStore);
  }
  bool operator==(const Group&) const = default;
};

// Two copies with one subject and sender.
Group Pair(const std::string& subject, const std::string& sender, std::vector<std::string> folders,
           const std::string& keepStore) {
  return {{subject, subject}, {sender, sender}, std::move(folders), keepStore};
}

const std::string kOneok = "imceanotes-+22loe+2c+20david+22+20+3cdloe+40utilicorp+2ecom+3e+40enron@enron.com";
// Same subject and sender, different bodies (another request number and
// time stamp; a shorter covering note): they group only without the body.
const Group kEolPair = Pair("EOL Confirmation -Transwestern Pipeline Company", "craig.buehler@enron.com",
                            {"TW-Commercial Group", "TW-Commercial Group"}, kEnron);
const Group kOneokPair = Pair("FW: ONEOK ski trip", kOneok, {"Personal", "Personal"}, kEnron);
// The welcome message of each Outlook.com account. Both hold only an HTML
// body, and its 16,025 bytes are equal: true copies. The first account's
// copy came two days earlier.
const Group kWelcomePair =
    Pair("Welcome to your new Outlook.com account", "no-reply@microsoft.com", {"Inbox", "Inbox"}, kOst);
// Equal bodies under other subjects. Four test mails of one account and a
// fifth of the other share one HTML body; three Enron mails share a plain
// text (two in one folder, the third in Sent Items).
const Group kTestMailsOneFolder = {
    {"jpg attachment", "pdf attachment", "text file attachment", "text, jpg, pdf attachments"},
    {"epfromer@gmail.com", "epfromer@gmail.com", "epfromer@gmail.com", "epfromer@gmail.com"},
    {"Inbox", "Inbox", "Inbox", "Inbox"},
    kOst};
const Group kTestMailsAcross = {
    {"jpg attachment", "pdf attachment", "single PDF", "text file attachment", "text, jpg, pdf attachments"},
    {"epfromer@gmail.com", "epfromer@gmail.com", "epfromer@gmail.com", "epfromer@gmail.com", "epfromer@gmail.com"},
    {"Inbox", "Inbox", "Inbox", "Inbox", "Inbox"},
    kOst};
const Group kLokayOneFolder = {{"Check out page 7!", "Rose Rec"}, {"lokay", "michelle lokay"}, {"Personal", "Personal"},
                               kEnron};
const Group kLokayAcross = {{"Accepted: Updated: Finalize Transwestern Presentations", "Check out page 7!", "Rose Rec"},
                            {"lokay", "lokay", "michelle lokay"},
                            {"Personal", "Personal", "Sent Items"},
                            kEnron};

// A group as a scan that does not compare the sender reports it: the sender
// address is read only when it is compared.
Group SendersUnread(Group g) {
  for (std::string& sender : g.senders) sender.clear();
  return g;
}

struct ScanCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<Group> groups;
};
void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

const ScanCase kCases[] = {
    // No two messages of one folder share subject, sender and body.
    {"DefaultFieldsEachFolder", {}, {}},
    {"DefaultFieldsAcrossFolders", {"--across"}, {kWelcomePair}},
    // The welcome pair is in two stores' folders: never one group folder by folder.
    {"SubjectAndSenderEachFolder", {"--fields", "Subject,SenderEmail"}, {kEolPair, kOneokPair}},
    {"SubjectAndSenderAcrossFolders", {"--fields", "Subject,SenderEmail", "--across"},
     {kEolPair, kOneokPair, kWelcomePair}},
    // The body alone: every body counts, HTML and RTF ones too, so that
    // messages that differ in their only body never meet.
    {"MessageEachFolder", {"--fields", "Message"}, {SendersUnread(kTestMailsOneFolder), SendersUnread(kLokayOneFolder)}},
    {"MessageAcrossFolders",
     {"--fields", "Message", "--across"},
     {SendersUnread(kTestMailsAcross), SendersUnread(kLokayAcross), SendersUnread(kWelcomePair)}},
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Characters 9 to 40 of an entry identifier's text: the store's UID.
std::string StoreOf(const std::string& entryId) { return entryId.size() >= 40 ? entryId.substr(8, 32) : ""; }

Group GroupOf(const json& members) {
  Group g;
  for (const json& m : members) {
    g.subjects.push_back(Trimmed(m.value("subject", "")));
    g.senders.push_back(Lower(Trimmed(m.value("senderEmail", ""))));
    g.folders.push_back(m.value("folder", ""));
    if (m.value("keep", false)) g.keepStore = StoreOf(m.value("entryID", ""));
  }
  for (auto* list : {&g.subjects, &g.senders, &g.folders}) std::sort(list->begin(), list->end());
  return g;
}

void PrintTo(const Group& g, std::ostream* os) {
  *os << "\n ";
  for (std::size_t i = 0; i < g.subjects.size(); ++i)
    *os << " \"" << g.subjects[i] << "\" from " << g.senders[i] << (i + 1 < g.subjects.size() ? ";" : "");
  *os << " in";
  for (const auto& f : g.folders) *os << " [" << f << "]";
  *os << ", kept in store " << g.keepStore;
}
void PrintTo(const FolderCount& f, std::ostream* os) {
  *os << "\n  " << f.store << " \"" << f.name << "\" " << f.messages;
}

class RealStoresScan : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : kRealFiles)
      ASSERT_TRUE(std::filesystem::exists(kBuild + "/realstores/" + file))
          << kBuild << "/realstores/" << file << " is missing: run ./quop setup (it fetches the real mail files)";
    ASSERT_TRUE(std::filesystem::exists(kProfile))
        << kProfile << " is missing: run ./quop setup and ./quop build (pstprofile writes it)";
  }

  json Scan(const std::vector<std::string>& args) {
    const ScanRun run = RunQuopscan(kProfile, args);
    EXPECT_EQ(run.exitCode, 0) << "quopscan failed; its errors:\n" << run.err;
    const json report = json::parse(run.out, nullptr, false);
    EXPECT_FALSE(report.is_discarded()) << "quopscan --json printed no JSON:\n" << run.out << "\n" << run.err;
    return report.is_discarded() ? json::object() : report;
  }
};

TEST_F(RealStoresScan, ReadsEveryMailFolderLeavesTheOthersByClassAndSkipsNothing) {
  const json report = Scan({});
  EXPECT_EQ(report.value("messages", -1), kMessagesRead);

  ASSERT_TRUE(report.contains("folders")) << "quopscan --json lists no \"folders\"";
  std::vector<FolderCount> read;
  for (const json& f : report["folders"])
    read.push_back({f.value("store", ""), f.value("name", ""), f.value("messages", -1)});
  std::vector<FolderCount> expected = kMailFolders;
  std::sort(read.begin(), read.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(read, expected);

  for (const FolderCount& f : kSkippedByClass)
    EXPECT_EQ(std::count_if(read.begin(), read.end(),
                            [&](const FolderCount& r) { return r.store == f.store && r.name == f.name; }),
              0)
        << f.name << " (class IPF.Appointment) was read";

  // Every message of the files is readable: nothing may be skipped in error.
  ASSERT_TRUE(report.contains("skipped")) << "quopscan --json lists nothing \"skipped\"";
  EXPECT_EQ(report["skipped"], json::array());
}

class RealStoresGroups : public RealStoresScan, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(RealStoresGroups, AreTheGroupsWorkedOutFromTheFiles) {
  const ScanCase& c = GetParam();
  const json report = Scan(c.args);
  EXPECT_EQ(report.value("messages", -1), kMessagesRead);
  std::vector<Group> found, expected = c.groups;
  for (const json& members : report.value("groups", json::array())) {
    ASSERT_GE(members.size(), 2u);
    found.push_back(GroupOf(members));
    // One copy kept: the one received first.
    std::string earliest = members[0].value("received", "");
    std::vector<std::string> kept;
    for (const json& m : members) {
      earliest = std::min(earliest, m.value("received", std::string()));
      if (m.value("keep", false)) kept.push_back(m.value("received", ""));
    }
    EXPECT_EQ(kept, std::vector<std::string>{earliest}) << found.back().subjects.front();
  }
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(FieldSets, RealStoresGroups, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
