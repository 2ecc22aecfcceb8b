// Every MAPI call of a collection run may fail: for each n, the n-th call
// fails, and the run must still end with nothing left open, the store
// untouched, every record it added whole and equal to a clean run's, and
// anything it left out listed as skipped.
//
// Under ctest the sweep takes every few n (QUOP_SWEEP_STRIDE, 7 by default);
// `./quop fault-sweep` sets QUOP_SWEEP_STRIDE=1 and fails every call in turn.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/mapi/CollectFixture.h"

namespace {

using namespace profile;

// The standard profile, and an online store with what real stores add:
// large bodies, bodies kept only as HTML (too large for one answer) or RTF,
// Unicode texts, an Exchange sender, batches of rows.
std::string SweepProfile() {
  const std::string big(20000, 'n');
  const std::string online = Store(
      "Online", '6', false,
      Folder("Inbox", "IPF.Note",
             Message("\u4F1A\u8BAE", "\"senderName\": \"Anna\", \"senderAddrType\": \"EX\", "
                                     "\"senderEmail\": \"/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP "
                                     "(FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=ANNA.BERG\", "
                                     "\"senderSmtp\": \"anna@example.com\", \"body\": \"" + big + "\"") +
                 "," + Message("\u041E\u0442\u0447\u0435\u0442", "\"body\": \"" + big + "x\", \"to\": \"Tom\"") +
                 "," + Message("News", "\"attachments\": [{\"displayName\": \"n.pdf\", \"size\": 5}]") + "," +
                 Message("Letter", "\"html\": \"<p>" + std::string(40000, 'h') + "</p>\"") + "," +
                 Message("Invite", "\"rtf\": \"2D0000002B000000\""),
             Folder("Archive", "IPF.Note", Message("Old", "\"cc\": \"Sara\""))),
      "\"kind\": \"exchange-online\", \"maxRowsPerQuery\": 1");
  const std::string standard = StandardProfile();
  return standard.substr(0, standard.size() - 2) + "," + online + "]}";
}

// A clean record as it is when stage 2 did not open its message.
TRecord Unopened(TRecord r) {
  r.attached = r.to = r.cc = r.bcc = "";
  r.crc = 0;
  return r;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int Stride() {
  const char* text = std::getenv("QUOP_SWEEP_STRIDE");
  const int stride = text ? std::atoi(text) : 7;
  return stride > 0 ? stride : 1;
}

class FaultSweepTest : public CollectTest {
 protected:
  // A fresh session over a fresh copy of the profile; nothing left open by the last.
  void Reload(const std::string& json) {
    session_.reset();
    ASSERT_EQ(standin_.LiveObjects(), 0);
    ASSERT_EQ(standin_.LiveBuffers(), 0);
    standin_.LoadProfile(json);
    db_.ClearDB();
    ends_ = 0;
    texts_.clear();
    Session();  // logged on before the counted calls begin
  }

  // The clean run first, then a run for each failing call, all either way.
  void Sweep(bool twoStage) {
    const std::string json = SweepProfile();
    const std::string saved = BesideTest("sweep-profile.json");
    Reload(json);
    Session().SetTwoStage(twoStage);
    standin_.SaveProfile(saved);
    const std::string untouched = ReadFile(saved);
    standin_.ResetCalls();
    Run(0xFFF);
    const unsigned long calls = standin_.CallCount();
    std::map<std::string, TRecord> clean;
    for (const TRecord& r : Records()) clean[r.entryID] = r;
    ASSERT_EQ(clean.size(), 11u) << "every message of the profile's mail folders";
    ASSERT_TRUE(Session().Skipped().Items().empty());
    ASSERT_GT(calls, 50u);

    int runs = 0;
    for (unsigned long n = 1; n <= calls; n += (n <= 20 || n + 20 > calls) ? 1 : Stride()) {
      SCOPED_TRACE("call " + std::to_string(n) + " of " + std::to_string(calls) + " fails");
      Reload(json);
      Session().SetTwoStage(twoStage);
      standin_.ResetCalls();
      standin_.AddFault("*", "*", MAPI_E_CALL_FAILED, 0, n);
      Run(0xFFF);
      ++runs;
      const std::vector<TRecord> records = Records();
      for (const TRecord& r : records) {
        const auto it = clean.find(r.entryID);
        ASSERT_NE(it, clean.end()) << "a record of no message: " << r.entryID;
        // With two stages a failure may leave a message without its copy,
        // and then unopened: its opened fields stay unread, never wrong.
        EXPECT_TRUE(it->second == r || (twoStage && Unopened(it->second) == r))
            << "a record differs from a clean run's: " << r.subject;
      }
      if (records.size() < clean.size()) {
        EXPECT_FALSE(Session().Skipped().Items().empty()) << "messages left out in silence";
      }
      EXPECT_EQ(Session().MsgCount(), static_cast<std::int32_t>(records.size()));
      session_.reset();
      EXPECT_EQ(standin_.LiveObjects(), 0) << "MAPI objects left open";
      EXPECT_EQ(standin_.LiveBuffers(), 0) << "MAPI buffers left unfreed";
      EXPECT_EQ(standin_.BadFrees(), 0) << "MAPI buffers freed twice";
      standin_.ClearFaults();  // faults are saved with the profile
      standin_.SaveProfile(saved);
      EXPECT_TRUE(ReadFile(saved) == untouched) << "a collection changed the store";
      if (HasFailure()) break;  // one failing call is enough to show
    }
    DeleteFileA(saved.c_str());
    std::printf("fault sweep%s: %d collection runs over %lu calls\n", twoStage ? " (two stages)" : "", runs, calls);
  }
};

TEST_F(FaultSweepTest, EveryFailingCallOfACollectionEndsWell) { Sweep(false); }

// Stage 2 opens stores, folders and messages again after the walk.
TEST_F(FaultSweepTest, EveryFailingCallOfATwoStageCollectionEndsWell) { Sweep(true); }

}  // namespace
