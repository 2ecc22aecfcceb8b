// Which body the collection compares: the plain text, else the HTML, else
// the compressed RTF, each hashed apart from the others, over both ways of
// reading a message.
#include <map>
#include <string>

#include "tests/mapi/CollectFixture.h"

namespace {

using namespace profile;

std::uint32_t Crc(const std::string& bytes) { return CRC32Calc(0, bytes.data(), bytes.size()); }
std::uint32_t MarkedCrc(const char* mark, std::size_t markLength, const std::string& bytes) {
  return CRC32Calc(CRC32Calc(0, mark, markLength), bytes.data(), bytes.size());
}
std::int32_t HtmlCrc(const std::string& html) { return static_cast<std::int32_t>(MarkedCrc("\0HTML\0", 6, html)); }
std::int32_t RtfCrc(const std::string& rtf) { return static_cast<std::int32_t>(MarkedCrc("\0RTF\0", 5, rtf)); }

const std::string kSame = "Same words";
const std::string kBigHtml = "<p>" + std::string(40000, 'x') + "</p>";  // past the store's 16 KB for GetProps
const std::string kRtfHex = "2D0000002B000000", kRtfBytes("\x2D\0\0\0\x2B\0\0\0", 8);

struct BodyCase {
  const char* subject;
  std::string keys;  // the message's body keys in the profile
  TBodyForm form;
  std::int32_t crc;
};

const BodyCase kBodies[] = {
    {"plain only", "\"body\": \"" + kSame + "\"", TBodyForm::Text, static_cast<std::int32_t>(Crc(kSame))},
    // The same bytes as HTML are another body.
    {"HTML only", "\"html\": \"" + kSame + "\"", TBodyForm::Html, HtmlCrc(kSame)},
    {"RTF only", "\"rtf\": \"" + kRtfHex + "\"", TBodyForm::Rtf, RtfCrc(kRtfBytes)},
    {"none", "", TBodyForm::None, 0},
    {"empty text, HTML", "\"body\": \"\", \"html\": \"" + kSame + "\"", TBodyForm::Html, HtmlCrc(kSame)},
    {"text before HTML", "\"body\": \"" + kSame + "\", \"html\": \"<p>other</p>\"", TBodyForm::Text,
     static_cast<std::int32_t>(Crc(kSame))},
    {"HTML before RTF", "\"html\": \"" + kSame + "\", \"rtf\": \"" + kRtfHex + "\"", TBodyForm::Html, HtmlCrc(kSame)},
    {"large HTML", "\"html\": \"" + kBigHtml + "\"", TBodyForm::Html, HtmlCrc(kBigHtml)},
    // A text body costs what it did: the large HTML beside it is never streamed.
    {"text beside large HTML", "\"body\": \"" + kSame + "\", \"html\": \"" + kBigHtml + "\"", TBodyForm::Text,
     static_cast<std::int32_t>(Crc(kSame))},
};

std::string BodyProfile() {
  std::string messages;
  for (const BodyCase& c : kBodies)
    messages += (messages.empty() ? "" : ",") +
                Message(c.subject, "\"senderEmail\": \"a@example.com\"" + (c.keys.empty() ? "" : ", " + c.keys));
  return Profile(Store("Bodies", '4', true, Folder("Inbox", "IPF.Note", messages)));
}

class BodyFormTest : public CollectTest, public ::testing::WithParamInterface<bool> {
 protected:
  void RunPath(std::int32_t mask) {
    db_.ClearDB();
    ends_ = 0;
    Session().SetReadThroughTables(GetParam());
    Run(mask);
  }
};

TEST_P(BodyFormTest, EachMessageIsComparedByItsBestBodyAndTheFormIsKept) {
  standin_.LoadProfile(BodyProfile());
  standin_.ResetCalls();
  RunPath(DefaultFieldMask());
  EXPECT_TRUE(Skips().empty());
  std::map<std::string, TRecord> bySubject;
  for (const TRecord& r : Records()) bySubject[r.subject] = r;
  ASSERT_EQ(bySubject.size(), std::size(kBodies));
  for (const BodyCase& c : kBodies) {
    SCOPED_TRACE(c.subject);
    const TRecord& r = bySubject[c.subject];
    EXPECT_EQ(r.crc, c.crc);
    EXPECT_EQ(Session().Origins().Find(r.entryID).body, c.form);
  }
  EXPECT_NE(bySubject["plain only"].crc, bySubject["HTML only"].crc) << "one text as plain and as HTML";
  EXPECT_EQ(standin_.CallCountOf("OpenProperty"), 1u) << "the large HTML alone is streamed";
}

TEST_P(BodyFormTest, AnHtmlBodyThatCannotBeReadSkipsItsMessage) {
  standin_.LoadProfile(BodyProfile());
  // Refused by GetProps (not as too large) for the first two; the large one's
  // stream cannot be opened.
  standin_.AddFault("GetProps", "HTML only", MAPI_E_NO_ACCESS, PR_HTML);
  standin_.AddFault("GetProps", "text before HTML", MAPI_E_NO_ACCESS, PR_HTML);
  standin_.AddFault("OpenProperty", "large HTML", MAPI_E_CALL_FAILED);
  RunPath(DefaultFieldMask());
  EXPECT_EQ(Skips(), (std::vector<std::string>{
                         "message|HTML only|Could not read the message body!|MAPI_E_NO_ACCESS",
                         "message|large HTML|Could not read the message body!|MAPI_E_CALL_FAILED"}))
      << "an HTML body beside a text one is never looked at";
  EXPECT_EQ(Records().size(), std::size(kBodies) - 2);

  RunPath(FIELD_SUBJECT | FIELD_SENDER_EMAIL);
  EXPECT_TRUE(Skips().empty()) << "without the Message field no body is read";
}

INSTANTIATE_TEST_SUITE_P(ReadPaths, BodyFormTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ThroughTables" : "EveryMessageOpened"; });

}  // namespace
