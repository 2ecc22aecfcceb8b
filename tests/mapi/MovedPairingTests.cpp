// Which arrived row is which moved message: by search key, then by the
// traits a message had before it moved; never by position across folders.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "mapi/MovedPairing.h"

namespace {

struct TPairingCase {
  const char* name;
  std::vector<TMovedMessage> moved;    // entryID names each; key, traits and folder as given
  std::vector<std::pair<std::string, TArrivedRow>> rows;  // by key
  std::map<std::string, std::string> paired;              // message -> row
  std::vector<std::string> ambiguous;
  bool keyAlonePairs = true;  // as for the moves of a treatment
};

TMovedMessage Moved(const char* id, const char* key, const char* traits, const char* folder) {
  return {0, id, key, traits, folder};
}

TEST(MovedPairing, EachMessageGetsItsOwnRowOrNone) {
  const TPairingCase cases[] = {
      {"one message and one row of a key, whatever the traits (a move into another store)",
       {Moved("A", "k", "size:10", "Inbox")}, {{"k", {"rowA", "size:14"}}}, {{"A", "rowA"}}, {}},
      {"copies from two folders told apart by their traits",
       {Moved("A", "k", "size:10", "Inbox"), Moved("B", "k", "size:20", "Projects")},
       {{"k", {"rowB", "size:20"}}, {"k", {"rowA", "size:10"}}}, {{"A", "rowA"}, {"B", "rowB"}}, {}},
      {"copies from two folders alike in every way",
       {Moved("A", "k", "size:10", "Inbox"), Moved("B", "k", "size:10", "Projects")},
       {{"k", {"row1", "size:10"}}, {"k", {"row2", "size:10"}}}, {}, {"A", "B"}},
      {"only one of two copies arrived: it goes to the message it matches",
       {Moved("A", "k", "size:10", "Inbox"), Moved("B", "k", "size:20", "Projects")},
       {{"k", {"rowB", "size:20"}}}, {{"B", "rowB"}}, {}},
      {"only one of two alike copies arrived: neither is taken for it",
       {Moved("A", "k", "size:10", "Inbox"), Moved("B", "k", "size:10", "Projects")},
       {{"k", {"row1", "size:10"}}}, {}, {"A", "B"}},
      {"alike copies from one folder go back to one place whichever is which",
       {Moved("A", "k", "size:10", "Inbox"), Moved("B", "k", "size:10", "Inbox")},
       {{"k", {"row1", "size:10"}}, {"k", {"row2", "size:10"}}}, {{"A", "row1"}, {"B", "row2"}}, {}},
      {"another message with the key arrived meanwhile, unlike the moved one",
       {Moved("A", "k", "size:10", "Inbox")}, {{"k", {"other", "size:99"}}, {"k", {"rowA", "size:10"}}},
       {{"A", "rowA"}}, {}},
      {"another message with the key arrived meanwhile, alike",
       {Moved("A", "k", "size:10", "Inbox")}, {{"k", {"other", "size:10"}}, {"k", {"rowA", "size:10"}}}, {}, {"A"}},
      {"no row with the key", {Moved("A", "k", "size:10", "Inbox")}, {{"j", {"rowJ", "size:10"}}}, {}, {}},
      {"a copy list's sort-out: one row of the key but unlike, perhaps an earlier list's copy",
       {Moved("A", "k", "size:10", "Inbox")}, {{"k", {"row", "size:14"}}}, {}, {}, false},
      {"a copy list's sort-out: one row of the key, alike",
       {Moved("A", "k", "size:10", "Inbox")}, {{"k", {"rowA", "size:10"}}}, {{"A", "rowA"}}, {}, false},
  };
  for (const TPairingCase& c : cases) {
    TArrivedRows arrived;
    for (const auto& [key, row] : c.rows) arrived[key].push_back(row);
    const TMovedPairing pairing = PairMovedWithArrived(c.moved, arrived, c.keyAlonePairs);
    std::map<std::string, std::string> paired;
    for (const auto& [message, row] : pairing.paired) paired[message->entryID] = row;
    std::vector<std::string> ambiguous;
    for (const TMovedMessage* message : pairing.ambiguous) ambiguous.push_back(message->entryID);
    EXPECT_EQ(paired, c.paired) << c.name;
    EXPECT_EQ(ambiguous, c.ambiguous) << c.name;
  }
}

}  // namespace
