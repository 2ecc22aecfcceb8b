// Stores whose contents tables cut texts, and the realistic generated
// profile with two of them after its own stores: what the table path and
// the two stages are checked against.
#pragma once

#include <string>

#include "tests/mapi/Standin.h"
#include "tools/profilegen/ProfileGenerator.h"

namespace profile {

inline std::string Repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

// A JSON key with a text value, and the keys of a message joined.
inline std::string Key(const std::string& name, const std::string& text) { return "\"" + name + "\": \"" + text + "\""; }
inline std::string Keys(std::initializer_list<std::string> keys) {
  std::string joined;
  for (const std::string& k : keys) joined += (joined.empty() ? "" : ", ") + k;
  return joined;
}

// Texts just under, at and over the cut of a table, in each text width; an
// Exchange sender with and without an SMTP address; a big Bcc with a big
// body; attachments by their long name, their file name, and one not by value.
inline std::string CutStore(const std::string& name, char uid, bool unicode, const std::string& letter) {
  const std::string dn = "/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=";
  const std::string attachments = "\"attachments\": [{" +
                                  Keys({Key("displayName", Repeat(letter, 300)), "\"size\": 5"}) +
                                  "}, {\"fileName\": \"f.txt\", \"size\": 7}, "
                                  "{\"method\": 5, \"displayName\": \"embedded\"}]";
  const std::string messages =
      Message(Repeat(letter, 254), Keys({Key("senderName", Repeat(letter, 255)), Key("to", Repeat(letter, 255)),
                                         Key("body", "short"), attachments})) +
      "," +
      Message(Repeat(letter, 255),
              Keys({Key("senderEmail", Repeat("a", 300) + "@example.com"), Key("cc", Repeat(letter, 600))})) +
      "," +
      Message(Repeat(letter, 300), Keys({Key("senderAddrType", "EX"), Key("senderEmail", dn + Repeat("B", 250)),
                                         Key("senderSmtp", Repeat("b", 260) + "@example.com")})) +
      "," +
      Message("ex",
              Keys({Key("senderAddrType", "EX"), Key("senderEmail", dn + "ANNA"), Key("senderSmtp", "anna@example.com"),
                    Key("bcc", Repeat(letter, 20000)), Key("body", Repeat("x", 40000))})) +
      "," + Message("", "\"flags\": 1, \"size\": 77, \"submitTime\": \"2024-01-02T03:04:05Z\"");
  return Store(name, uid, false, Folder("Inbox", "IPF.Note", messages),
               std::string("\"unicode\": ") + (unicode ? "true" : "false") +
                   ", \"kind\": \"exchange-online\", \"maxRowsPerQuery\": 2");
}

constexpr std::size_t kCutStoreMessages = 5;

inline std::string Realistic() {
  ProfileGenOptions options;
  options.messages = 600;
  options.realistic = true;
  return GenerateProfile(options);
}

// The realistic profile with two of the stores above after its own.
inline std::string TestProfile() {
  const std::string generated = Realistic();
  const std::size_t end = generated.rfind(']');
  return generated.substr(0, end) + "," + CutStore("Cut wide", 'C', true, "\u4F1A") + "," +
         CutStore("Cut narrow", 'D', false, "e") + generated.substr(end);
}

}  // namespace profile
