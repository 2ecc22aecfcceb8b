// Values too large for GetProps: refused by the store's per-value limit, or
// by Exchange's response buffer (largest first), and read whole through
// OpenProperty streams.
#include <set>

#include "standin/ExtraTags.h"
#include "tests/standin/MapiFixture.h"

namespace {

std::string Repeat(const std::string& unit, size_t times) {
  std::string out;
  out.reserve(unit.size() * times);
  for (size_t i = 0; i < times; ++i) out += unit;
  return out;
}

// One message "A1" with the given keys ("body": "…", …).
std::string Profile(const std::string& storeKeys, const std::string& messageKeys) {
  return OneStoreProfile(storeKeys, R"({"id": "A1", "subject": "Big", )" + messageKeys + "}");
}

class LargeValuesTest : public MapiTest {
 protected:
  // GetProps of `tags` on A1; the identifiers that came back refused.
  std::set<ULONG> Refused(const std::vector<ULONG>& tags, HRESULT& hr) {
    ComPtr<IMessage> message = OpenBoxMessage("\xA1");
    MapiBuffer<SPropValue> v;
    ULONG count = 0;
    hr = GetProps(message.Get(), tags, 0, v, count);
    std::set<ULONG> refused;
    for (ULONG i = 0; i < count; ++i) {
      const SPropValue& value = v.Get()[i];
      EXPECT_EQ(PROP_ID(value.ulPropTag), PROP_ID(tags[i]));  // the identifier is kept
      if (PROP_TYPE(value.ulPropTag) != PT_ERROR) continue;
      EXPECT_EQ(value.Value.err, MAPI_E_NOT_ENOUGH_MEMORY) << std::hex << tags[i];
      refused.insert(PROP_ID(value.ulPropTag));
    }
    return refused;
  }
};

TEST_F(LargeValuesTest, ValuesOverTheStoresLimitAreRefusedCountingTheBytesOfTheServedForm) {
  struct Case {
    const char* storeKeys;
    const char* unit;  // the body is this many times `chars`
    size_t chars;
    ULONG tag;
    bool refused;
  } cases[] = {
      {"", "x", 16384, PR_BODY_A, false},
      {"", "x", 16385, PR_BODY_A, true},
      {"", "x", 8192, PR_BODY_W, false},  // 16,384 bytes of UTF-16
      {"", "x", 8193, PR_BODY_W, true},
      {"", "é", 16384, PR_BODY_A, false},  // one byte in code page 1252, two in UTF-8
      {"", "é", 8193, PR_BODY_W, true},
      {R"("kind": "exchange-cached",)", "x", 16384, PR_BODY_A, false},
      {R"("kind": "exchange-cached",)", "x", 16385, PR_BODY_A, true},
      {R"("kind": "pst", "largePropertyLimit": 4096,)", "x", 4096, PR_BODY_A, false},
      {R"("kind": "pst", "largePropertyLimit": 4096,)", "x", 4097, PR_BODY_A, true},
      {R"("kind": "exchange-online",)", "x", 30000, PR_BODY_A, false},  // only the response buffer counts
      {R"("kind": "exchange-online", "largePropertyLimit": 8192,)", "x", 8193, PR_BODY_A, true},
      {"", "x", 16384, PR_HTML, false},  // binary: its bytes
      {"", "x", 16385, PR_HTML, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.storeKeys) + " " + c.unit + " x " + std::to_string(c.chars));
    const std::string text = Repeat(c.unit, c.chars);
    ASSERT_EQ(api.LoadProfileText(Profile(c.storeKeys, R"("body": ")" + text + R"(", "html": ")" + text + "\"").c_str()),
              S_OK);
    HRESULT hr = S_OK;
    const std::set<ULONG> refused = Refused({PR_SUBJECT_A, c.tag}, hr);
    EXPECT_EQ(hr, c.refused ? MAPI_W_ERRORS_RETURNED : S_OK);
    EXPECT_EQ(refused, c.refused ? std::set<ULONG>{PROP_ID(c.tag)} : std::set<ULONG>{});
  }
}

TEST_F(LargeValuesTest, OnlineAnswersLoseTheirLargestValuesUntilTheRestFitsTheResponseBuffer) {
  ASSERT_EQ(api.LoadProfileText(Profile(R"("kind": "exchange-online",)",
                                        R"("body": ")" + Repeat("x", 25000) + R"(", "to": ")" + Repeat("t", 20000) +
                                            R"(", "cc": ")" + Repeat("c", 20000) + R"(", "bcc": ")" +
                                            Repeat("b", 300) + "\"")
                                    .c_str()),
            S_OK);
  const ULONG body = PROP_ID(PR_BODY), to = PROP_ID(PR_DISPLAY_TO), cc = PROP_ID(PR_DISPLAY_CC);
  struct Case {
    std::vector<ULONG> tags;
    std::set<ULONG> refused;
  } cases[] = {
      {{PR_SUBJECT_A, PR_BODY_A, PR_DISPLAY_TO_A, PR_DISPLAY_BCC_A}, {body}},  // 45,4xx bytes: the body goes
      {{PR_BODY_A, PR_DISPLAY_TO_A, PR_DISPLAY_CC_A}, {body, to}},             // the first of equals goes next
      {{PR_DISPLAY_CC_A, PR_DISPLAY_TO_A}, {cc}},
      {{PR_BODY_A, PR_SUBJECT_A}, {}},                                         // 25,0xx bytes fit
      {{PR_BODY_W}, {body}},                                                   // 50,000 bytes of UTF-16
      {{PR_DISPLAY_BCC_W, PR_DISPLAY_BCC_A, PR_SUBJECT_W}, {}},
  };
  for (const Case& c : cases) {
    HRESULT hr = S_OK;
    EXPECT_EQ(Refused(c.tags, hr), c.refused) << c.tags.size() << " tags, first " << std::hex << c.tags[0];
    EXPECT_EQ(hr, c.refused.empty() ? S_OK : MAPI_W_ERRORS_RETURNED);
  }
}

TEST_F(LargeValuesTest, AnAnswerThatCannotFitFailsTheWholeCall) {
  const std::string subject250 = Repeat("s", 250);
  struct Case {
    const char* storeKeys;
    std::string messageKeys;
    std::vector<ULONG> tags;
  } cases[] = {
      // 200 values of 250 bytes: 53,200 bytes, none over 255 to refuse.
      {R"("kind": "exchange-online",)", R"("to": ")" + subject250 + "\"",
       std::vector<ULONG>(200, PR_DISPLAY_TO_A)},
      {R"("responseLimit": 200,)",
       R"("to": ")" + Repeat("t", 100) + R"(", "cc": ")" + Repeat("c", 100) + R"(", "bcc": ")" + Repeat("b", 100) + "\"",
       {PR_DISPLAY_TO_A, PR_DISPLAY_CC_A, PR_DISPLAY_BCC_A}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(api.LoadProfileText(Profile(c.storeKeys, c.messageKeys).c_str()), S_OK);
    ComPtr<IMessage> message = OpenBoxMessage("\xA1");
    MapiBuffer<SPropValue> v;
    ULONG count = 7;
    EXPECT_EQ(GetProps(message.Get(), c.tags, 0, v, count), MAPI_E_CALL_FAILED) << c.storeKeys;
    EXPECT_EQ(v.Get(), nullptr);
    EXPECT_EQ(count, 0u);
    // A smaller answer of the same store still comes.
    EXPECT_EQ(GetProps(message.Get(), {c.tags[0]}, 0, v, count), S_OK) << c.storeKeys;
  }
}

// Reads a stream to its end in chunks of `chunk` bytes.
std::string ReadAll(IStream* stream, ULONG chunk) {
  std::string all, part(chunk, '\0');
  for (;;) {
    ULONG read = 0;
    EXPECT_EQ(stream->Read(part.data(), chunk, &read), S_OK);
    if (read == 0) return all;
    all.append(part.data(), read);
  }
}

TEST_F(LargeValuesTest, StreamsServeAMegabyteBodyWholeInEitherWidth) {
  const size_t times = 104858;  // 10 characters each: a little over 2^20
  const std::wstring wide = [&] {
    std::wstring w;
    for (size_t i = 0; i < times; ++i) w += L"Gr\u00FC\u00DFe \u4E2D\u6587 ";
    return w;
  }();
  ASSERT_EQ(api.LoadProfileText(Profile("", R"("body": ")" + Repeat("Grüße 中文 ", times) + "\"").c_str()), S_OK);
  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  HRESULT hr = S_OK;
  EXPECT_EQ(Refused({PR_BODY_W, PR_BODY_A}, hr), (std::set<ULONG>{PROP_ID(PR_BODY)}));

  struct Case {
    ULONG tag;
    std::string bytes;
  } cases[] = {
      {PR_BODY_W, std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t))},
      {PR_BODY_A, Repeat("Gr\xFC\xDF" "e ?? ", times)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    ComPtr<IStream> stream;
    ASSERT_EQ(message->OpenProperty(c.tag, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&stream)), S_OK);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, c.bytes.size());
    EXPECT_EQ(stat.pwcsName, nullptr);
    const std::string got = ReadAll(stream.Get(), 4093);  // chunks that end inside characters
    EXPECT_EQ(got.size(), c.bytes.size());                // no terminator
    EXPECT_TRUE(got == c.bytes);

    LARGE_INTEGER zero{}, one{};
    one.QuadPart = 1;
    ULARGE_INTEGER at{};
    ASSERT_EQ(stream->Seek(zero, STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 0u);
    EXPECT_EQ(ReadAll(stream.Get(), 1 << 20).substr(0, 64), c.bytes.substr(0, 64));
    ASSERT_EQ(stream->Seek(zero, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at.QuadPart, c.bytes.size());
    EXPECT_EQ(ReadAll(stream.Get(), 16), "");
    ASSERT_EQ(stream->Seek(zero, STREAM_SEEK_SET, nullptr), S_OK);
    char first[6] = {};
    ULONG read = 0;
    ASSERT_EQ(stream->Read(first, 6, &read), S_OK);
    EXPECT_EQ(std::string(first, read), c.bytes.substr(0, 6));
    ASSERT_EQ(stream->Seek(zero, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at.QuadPart, 6u);
    EXPECT_EQ(stream->Seek(one, STREAM_SEEK_SET, &at), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_ACCESSDENIED);
  }
}

TEST_F(LargeValuesTest, OpenPropertyRefusesWhatNoStoreOpensAsAStream) {
  ASSERT_EQ(api.LoadProfileText(Profile("", R"("body": "short", "html": "<p>hi</p>", "rtf": "7B5C72746600")").c_str()),
            S_OK);
  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  struct Case {
    ULONG tag;
    const IID* iid;
    ULONG options;
    ULONG flags;
    HRESULT hr;
  } cases[] = {
      {PR_SUBJECT_W, &IID_IStream, STGM_READ, 0, MAPI_E_NO_ACCESS},
      {PR_SUBJECT_A, &IID_IStream, STGM_READ, 0, MAPI_E_NO_ACCESS},
      {PR_DISPLAY_BCC_W, &IID_IStream, STGM_READ, 0, MAPI_E_NOT_FOUND},
      {PR_BODY_W, &IID_IMessage, STGM_READ, 0, MAPI_E_INTERFACE_NOT_SUPPORTED},
      {PR_BODY_W, &IID_IStream, STGM_READ, MAPI_MODIFY, MAPI_E_NO_ACCESS},
      {PR_BODY_W, &IID_IStream, STGM_READWRITE, MAPI_CREATE | MAPI_MODIFY, MAPI_E_NO_ACCESS},
      {PR_BODY_W, &IID_IStream, STGM_READ, 0, S_OK},
      {PR_HTML, &IID_IStream, STGM_READ, 0, S_OK},
  };
  for (const Case& c : cases) {
    ComPtr<IUnknown> out;
    EXPECT_EQ(message->OpenProperty(c.tag, c.iid, c.options, c.flags, &out), c.hr) << std::hex << c.tag;
    EXPECT_EQ(static_cast<bool>(out), c.hr == S_OK);
  }
  ComPtr<IStream> html;
  ASSERT_EQ(message->OpenProperty(PR_HTML, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&html)), S_OK);
  EXPECT_EQ(ReadAll(html.Get(), 3), "<p>hi</p>");
  ComPtr<IStream> rtf;
  ASSERT_EQ(message->OpenProperty(PR_RTF_COMPRESSED, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&rtf)),
            S_OK);
  EXPECT_EQ(ReadAll(rtf.Get(), 4), std::string("{\\rtf\0", 6)) << "the bytes the hex gives";
}

TEST_F(LargeValuesTest, FaultsHitOpenPropertyAndStreamReads) {
  ASSERT_EQ(api.LoadProfileText(Profile("", R"("body": "short")").c_str()), S_OK);
  api.AddFault("OpenProperty", "Big", 0, MAPI_E_CALL_FAILED, 1);
  api.AddFault("Read", "Big", 0, MAPI_E_NETWORK_ERROR, 2);
  ComPtr<IMessage> message = OpenBoxMessage("\xA1");
  ComPtr<IStream> stream;
  EXPECT_EQ(message->OpenProperty(PR_BODY_A, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&stream)),
            MAPI_E_CALL_FAILED);
  ASSERT_EQ(message->OpenProperty(PR_BODY_A, &IID_IStream, STGM_READ, 0, reinterpret_cast<LPUNKNOWN*>(&stream)),
            S_OK);
  char bytes[3];
  ULONG read = 0;
  EXPECT_EQ(stream->Read(bytes, 3, &read), S_OK);
  EXPECT_EQ(stream->Read(bytes, 3, &read), MAPI_E_NETWORK_ERROR);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(stream->Read(bytes, 3, &read), S_OK);
  EXPECT_EQ(std::string(bytes, read), "rt");  // the failed read took nothing
}

}  // namespace
