// A copy list the store did not take whole: it copied the first messages of
// the list, then answered a warning or an error. Each message's outcome is
// told by what arrived in the target: the ones copied count as copied and
// are not copied again, the others are copied again on their own. The
// target's older copy that shares a search key with a message is never taken
// for that message's copy.
#include <map>
#include <string>
#include <vector>

#include "mapi/BatchTreatment.h"
#include "tests/mapi/MapiFixture.h"

using namespace profile;

namespace {

std::string Keyed(const std::string& subject, const std::string& key) {
  return Message(subject, "\"searchKey\": \"" + key + "\"");
}

std::string CopyProfile() {
  const std::string inbox = Keyed("Budget", "5B01") + "," + Keyed("Lunch", "5B02") + "," + Keyed("Memo", "5B03") +
                            "," + Keyed("Trip", "5B04");
  return Profile(Store("Mailbox", '1', true,
                       Folder("Inbox", "IPF.Note", inbox) + "," +
                           Folder("Target", "IPF.Note", Keyed("Memo (older copy)", "5B03")) + "," +
                           Folder("Deleted Items", "IPF.Note", "", "", "deleted")));
}

class CopySortOutTest : public MapiTest {
 protected:
  void SetUp() override { standin_.LoadProfile(CopyProfile()); }

  std::map<std::string, int> Subjects(const std::string& folder) {
    std::map<std::string, int> subjects;
    Top(folder)->ForEachMessageRow([&](const TMessageRow& row) {
      ++subjects[row.subject];
      return true;
    });
    return subjects;
  }
};

TEST_F(CopySortOutTest, AListCopiedInPartIsToldMessageByMessageAndNothingIsCopiedTwice) {
  struct TCase {
    HRESULT answer;
    ULONG carriedOut;  // of the four, in list order
  };
  const TCase cases[] = {{MAPI_W_PARTIAL_COMPLETION, 2}, {MAPI_E_CALL_FAILED, 2}, {MAPI_E_CALL_FAILED, 3},
                         {MAPI_W_PARTIAL_COMPLETION, 4}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.answer << std::dec << ", " << c.carriedOut << " carried out");
    SetUp();
    {
      std::vector<TBatchItem> items(4);
      for (int i = 0; i < 4; ++i) items[i].entryID = MessageID(Top("Inbox").get(), i);
      TBatchTreatment copy(Session(), TBatchAction::Copy, Top("Target")->GetEntryIDString());
      copy.Locate(items);
      standin_.AddListFault("CopyMessages", "Inbox", c.answer, c.carriedOut, 1);
      copy.Treat(items);
      standin_.ClearFaults();
      for (const TBatchItem& item : items) EXPECT_TRUE(item.done) << item.error;
      EXPECT_TRUE(copy.Verify(items).empty()) << "the target grew by what was put there";
    }
    EXPECT_EQ(Subjects("Target"), (std::map<std::string, int>{
                                      {"Budget", 1}, {"Lunch", 1}, {"Memo", 1}, {"Memo (older copy)", 1}, {"Trip", 1}}));
    EXPECT_EQ(Subjects("Inbox").size(), 4u);
    TearDown();
  }
}

// The list is copied in part and the message left uncopied cannot be copied
// on its own either: it alone is reported, with the failed call.
TEST_F(CopySortOutTest, AMessageNeitherCopiedByTheListNorAloneIsReportedAlone) {
  std::vector<TBatchItem> items(4);
  for (int i = 0; i < 4; ++i) items[i].entryID = MessageID(Top("Inbox").get(), i);
  TBatchTreatment copy(Session(), TBatchAction::Copy, Top("Target")->GetEntryIDString());
  copy.Locate(items);
  standin_.AddListFault("CopyMessages", "Inbox", MAPI_W_PARTIAL_COMPLETION, 3, 1);
  standin_.AddFault("CopyMessages", "Inbox", MAPI_E_NO_ACCESS, 0, 2);
  copy.Treat(items);
  standin_.ClearFaults();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(items[i].done, i < 3) << i << ": " << items[i].error;
  EXPECT_NE(items[3].error.find("Could not copy message!"), std::string::npos) << items[3].error;
  EXPECT_TRUE(copy.Verify(items).empty());
  EXPECT_EQ(Subjects("Target"),
            (std::map<std::string, int>{{"Budget", 1}, {"Lunch", 1}, {"Memo", 1}, {"Memo (older copy)", 1}}));
}

}  // namespace
