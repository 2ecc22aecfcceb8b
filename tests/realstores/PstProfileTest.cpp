// pstprofile over the real mail files: the stores' keys, the IPM subtree it
// takes (and the trees it leaves), the special folders' roles, and messages
// with every key as the files hold them. The expected values were read from
// the files with libpff's own tools (pffinfo, pffexport, the pypff binding),
// not from this tool's output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/pstprofile/MessageJson.h"
#include "tools/pstprofile/PstProfile.h"
#include "tools/pstprofile/StoreLayout.h"

namespace {

using nlohmann::json;

const std::string kFolder = std::string(QUOP_BUILD_ROOT) + "/realstores/";
const std::vector<std::string> kFiles = {kFolder + "enron.pst", kFolder + "pstextractortest@outlook.com.ost",
                                         kFolder + "pstextractortestpdf@outlook.com.ost"};

std::string Profile(const std::vector<std::string>& files, PstProfileReport& report) {
  std::ostringstream out;
  WritePstProfile(files, out, report);
  return out.str();
}

// Every folder of a store with its path below the subtree ("Inbox/Customers").
void Walk(const json& folder, const std::string& path,
          const std::function<void(const std::string&, const json&)>& visit) {
  visit(path, folder);
  for (const json& sub : folder["folders"]) {
    const std::string name = sub["name"];
    Walk(sub, path.empty() ? name : path + "/" + name, visit);
  }
}

const json* FolderAt(const json& store, const std::string& wanted) {
  const json* found = nullptr;
  Walk(store["subtree"], "", [&](const std::string& path, const json& f) {
    if (path == wanted) found = &f;
  });
  return found;
}

class PstProfileOfRealFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const std::string& f : kFiles)
      if (!std::filesystem::exists(f)) return;
    PstProfileReport report;
    Text() = Profile(kFiles, report);
    Errors() = report.errors;
    Messages() = report.messages;
  }
  void SetUp() override {
    for (const std::string& f : kFiles)
      ASSERT_TRUE(std::filesystem::exists(f)) << f << " is missing: run ./quop setup (it fetches the real mail files)";
    profile = json::parse(Text());
  }
  static std::string& Text() { static std::string text; return text; }
  static std::vector<std::string>& Errors() { static std::vector<std::string> errors; return errors; }
  static long& Messages() { static long count; return count; }

  json profile;
};

TEST_F(PstProfileOfRealFiles, ReadsEveryMessageWithoutErrorAndTheSameBytesTwice) {
  EXPECT_TRUE(Errors().empty()) << Errors().front();
  // 71 in the PST's folders; 183 and 162 in the OSTs' IPM subtrees, 160 of
  // each being the calendar's holidays.
  EXPECT_EQ(Messages(), 71 + 183 + 162);
  PstProfileReport again;
  EXPECT_EQ(Profile(kFiles, again), Text());
}

TEST_F(PstProfileOfRealFiles, StoresCarryTheFilesOwnKeys) {
  struct Expected {
    const char *name, *uid, *kind;
    bool isDefault;
  };
  // Names: the store record's display name, else (the OSTs have none) the
  // file name; uids: the store records' PR_RECORD_KEY.
  const Expected expected[] = {
      {"Personal folders", "B688AEC0B1E86043A526ADD35FD06746", "pst", true},
      {"pstextractortest@outlook.com", "85CE62A2C04A18408AC7F0B140A9BB0E", "exchange-cached", false},
      {"pstextractortestpdf@outlook.com", "B8BED0E9CF43234AAC892E7B3AEC452D", "exchange-cached", false}};
  ASSERT_EQ(profile["stores"].size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const json& s = profile["stores"][i];
    EXPECT_EQ(s["name"], expected[i].name);
    EXPECT_EQ(s["uid"], expected[i].uid);
    EXPECT_EQ(s["kind"], expected[i].kind);
    EXPECT_EQ(s["default"], expected[i].isDefault);
    EXPECT_EQ(s["unicode"], true) << "all three are 64-bit (Unicode) files";
  }
}

TEST_F(PstProfileOfRealFiles, TakesTheMailboxSubtreeAndLeavesSearchAndPublicTrees) {
  EXPECT_EQ(profile["stores"][0]["subtree"]["name"], "Top of Personal Folders");
  for (const json& store : profile["stores"]) {
    Walk(store["subtree"], "", [&](const std::string& path, const json&) {
      for (const char* outside : {"Search Root", "SPAM Search Folder 2", "Finder", "Root - Public", "EFORMS REGISTRY",
                                  "Reminders", "To-Do Search"})
        EXPECT_EQ(path.find(outside), std::string::npos) << store["name"] << ": " << path;
    });
  }
  // The mailbox's subtree holds the mail; the public one is empty.
  for (std::size_t s : {1u, 2u}) {
    EXPECT_EQ(profile["stores"][s]["subtree"]["name"], "IPM_SUBTREE");
    ASSERT_NE(FolderAt(profile["stores"][s], "Inbox"), nullptr);
  }
  EXPECT_EQ((*FolderAt(profile["stores"][1], "Inbox"))["messages"].size(), 10u);
  EXPECT_EQ((*FolderAt(profile["stores"][2], "Inbox"))["messages"].size(), 2u);
  EXPECT_EQ((*FolderAt(profile["stores"][1], "Calendar/United States holidays"))["class"], "IPF.Appointment");
  // A folder without PR_CONTAINER_CLASS has no "class".
  EXPECT_FALSE(FolderAt(profile["stores"][0], "Deleted Items")->contains("class"));
  EXPECT_EQ((*FolderAt(profile["stores"][0], "lokay-m/MLOKAY (Non-Privileged)/Personal"))["messages"].size(), 47u);
}

TEST_F(PstProfileOfRealFiles, GivesRolesFromEntryIdsElseDefaultNames) {
  struct Expected {
    std::size_t store;
    const char *path, *role;  // role "" : none
  };
  const Expected expected[] = {
      {0, "Deleted Items", "deleted"},  // the store record's PR_IPM_WASTEBASKET_ENTRYID
      {0, "lokay-m/MLOKAY (Non-Privileged)/Sent Items", ""},  // not the store's Sent Items
      {1, "Inbox", "inbox"},           {1, "Sent Items", "sent"}, {1, "Outbox", "outbox"},
      {1, "Deleted Items", "deleted"}, {1, "Drafts", "drafts"},   {1, "Junk Email", "junk"},
      {1, "RSS Feeds", "rss"},         {1, "Archive", ""},        {2, "Inbox", "inbox"},
  };
  for (const Expected& e : expected) {
    const json* folder = FolderAt(profile["stores"][e.store], e.path);
    ASSERT_NE(folder, nullptr) << e.path;
    EXPECT_EQ(folder->value("role", ""), e.role) << e.store << ": " << e.path;
  }
}

TEST_F(PstProfileOfRealFiles, WritesAMessageAsTheFileHoldsIt) {
  // In the PST: ANSI-era mail kept as Unicode, whole-second times, PR_BODY.
  const json& oba = (*FolderAt(profile["stores"][0], "lokay-m/MLOKAY (Non-Privileged)/TW-Commercial Group"))["messages"][0];
  EXPECT_EQ(oba["id"], "24002000");  // node 0x200024, little-endian as in its entry identifier
  EXPECT_EQ(oba["subject"], "New OBA's");
  EXPECT_EQ(oba["senderName"], "Lee  Dennis");
  EXPECT_EQ(oba["senderEmail"], "Dennis.Lee@ENRON.com");
  EXPECT_EQ(oba["senderAddrType"], "SMTP");
  EXPECT_FALSE(oba.contains("senderSmtp"));
  EXPECT_EQ(oba["submitTime"], "2001-10-22T20:06:22Z");
  EXPECT_EQ(oba["deliveryTime"], "2001-10-22T20:06:22Z");
  EXPECT_EQ(oba["lastModificationTime"], 128865430319990000LL);  // not a whole second: the ticks
  EXPECT_EQ(oba["size"], 653764);
  EXPECT_EQ(oba["flags"], 17);
  EXPECT_EQ(oba["to"], "Lindberg  Lorraine; Watson  Kimberly");
  EXPECT_EQ(oba["cc"], "Lee  Dennis");
  EXPECT_EQ(oba["bcc"], "");
  EXPECT_EQ(oba["access"], 2);
  EXPECT_EQ(oba["internetMessageId"], "<I2OY5JK033YULHIIZG14FWPGKODJHROVB@zlsvr22>");
  EXPECT_EQ(oba["searchKey"], "C82589022AC1B1478DDE351BC5C0949D");
  const std::string body = oba["body"];
  EXPECT_EQ(body.size(), 678u);
  EXPECT_EQ(body.rfind("The attached OBA's have been submitted", 0), 0u);
  EXPECT_EQ(body.substr(body.size() - 4), "**\r\n");
  ASSERT_EQ(oba["attachments"].size(), 11u);
  EXPECT_EQ(oba["attachments"][10],
            json::parse(R"({"num": 10, "method": 1, "fileName": "OBA_RedC.doc",
                            "longFileName": "OBA_RedCedar_27728.doc", "size": 57519})"));

  // In an OST: a subject with a prefix ("Accepted: "), an Exchange sender
  // without an SMTP address, times with fractions of a second, no PR_BODY.
  const json& accepted = (*FolderAt(profile["stores"][1], "Sent Items"))["messages"][0];
  EXPECT_EQ(accepted["id"], "C4212000");
  EXPECT_EQ(accepted["subject"], "Accepted: meeting from Ed");
  EXPECT_EQ(accepted["senderAddrType"], "EX");
  EXPECT_EQ(accepted["senderEmail"],
            "/O=FIRST ORGANIZATION/OU=EXCHANGE ADMINISTRATIVE GROUP(FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=0003000040B2FAE2");
  EXPECT_FALSE(accepted.contains("senderSmtp"));
  EXPECT_EQ(accepted["submitTime"], 132732739309932034LL);
  EXPECT_EQ(accepted["deliveryTime"], 132732739314519417LL);
  EXPECT_FALSE(accepted.contains("lastModificationTime"));
  EXPECT_FALSE(accepted.contains("body"));
  EXPECT_EQ(accepted.value("html", "").size(), 183u) << "its only body, PR_HTML, as UTF-8 text";
  EXPECT_FALSE(accepted.contains("rtf"));
  EXPECT_EQ(accepted["size"], 50040);
  EXPECT_EQ(accepted["searchKey"], "BB88AA84D5F92B42A6D9F78F16A0C244");
  EXPECT_FALSE(accepted.contains("attachments"));

  // An SMTP sender of an OST carries PR_SENT_REPRESENTING_SMTP_ADDRESS.
  const json& welcome = (*FolderAt(profile["stores"][2], "Inbox"))["messages"][1];
  EXPECT_EQ(welcome["subject"], "Welcome to your new Outlook.com account");
  EXPECT_EQ(welcome["senderSmtp"], "no-reply@microsoft.com");
  // Its HTML is not UTF-8: kept byte for byte as hex.
  EXPECT_FALSE(welcome.contains("html"));
  const std::string html = welcome.value("htmlHex", "");
  EXPECT_EQ(html.size(), 2 * 16025u);
  EXPECT_EQ(html.rfind("3C21444F4354595045", 0), 0u) << "<!DOCTYPE";

  // A message whose only body is RTF.
  const json& log = (*FolderAt(profile["stores"][1], "Sync Issues"))["messages"][0];
  EXPECT_EQ(log.value("rtf", "").size(), 872u);
  EXPECT_FALSE(log.contains("html") || log.contains("body"));
}

TEST(PstProfile, AFileItCannotReadStopsTheProfileNamingTheFile) {
  const std::filesystem::path notPst = std::filesystem::temp_directory_path() / "pstprofile-not-a-pst.pst";
  std::ofstream(notPst) << "this is not a personal folder file\n";
  for (const std::string& path : {notPst.string(), std::string("/nonexistent/missing.pst")}) {
    PstProfileReport report;
    std::ostringstream out;
    try {
      WritePstProfile({path}, out, report);
      ADD_FAILURE() << path << " was read";
    } catch (const std::exception& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  std::filesystem::remove(notPst);
}

TEST(PstProfile, EntryIdsNameNodesOfTheirOwnStoreOnly) {
  const std::string key = "0123456789ABCDEF";
  const std::string own = std::string(4, '\0') + key + std::string("\x62\x80\x00\x00", 4);
  EXPECT_EQ(NodeOfEntryId(own, key), 0x8062u);
  EXPECT_EQ(NodeOfEntryId(own, "FEDCBA9876543210"), 0u);  // another store's
  EXPECT_EQ(NodeOfEntryId(own + "xx", key), 0u);          // not the PST layout (an Exchange one)
  EXPECT_EQ(NodeOfEntryId(own, ""), 0u);                  // a store without a record key
}

TEST(PstProfile, SubjectMarkerAndTimes) {
  struct SubjectCase {
    const char *stored, *served;
  };
  for (const SubjectCase& c : {SubjectCase{"\x01\x0b" "Accepted: x", "Accepted: x"}, SubjectCase{"\x01\x01" "Hi", "Hi"},
                               SubjectCase{"\x01\xc3\xa9" "Hi", "Hi"},  // a length character beyond ASCII
                               SubjectCase{"Plain", "Plain"}, SubjectCase{"", ""}, SubjectCase{"\x01", ""}})
    EXPECT_EQ(ServedSubject(c.stored), c.served) << c.stored;
  EXPECT_EQ(TimeJson(126482547820000000LL), "2001-10-22T20:06:22Z");
  EXPECT_EQ(TimeJson(0), "1601-01-01T00:00:00Z");
  EXPECT_EQ(TimeJson(132732739309932034LL), 132732739309932034LL);
  EXPECT_EQ(HexText(std::string("\x00\xAB\x7F", 3)), "00AB7F");
}

}  // namespace
