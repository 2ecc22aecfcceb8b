#include "tools/profilegen/RealisticTraits.h"

#include <algorithm>
#include <cctype>

using nlohmann::ordered_json;

namespace {

struct Script {
  const char* name;
  const char* gap;  // between words: none in Chinese
  std::vector<std::string> words;
  std::vector<std::string> people;  // sender names
  std::vector<std::string> emails;  // their addresses, in the same order
};

// Two-character Chinese words: equal-length subjects are all question marks
// in code page 1252, so different ones look the same there.
const Script kChinese = {"Chinese", "",
                         {"季度", "预算", "会议", "报告", "项目", "合同", "发票", "旅行", "审查", "计划", "更新", "问题"},
                         {"王芳", "李娜"},
                         {"wang.fang@example.cn", "li.na@example.cn"}};
const std::vector<Script> kScripts = {
    kChinese,
    {"Cyrillic", " ",
     {"бюджет", "встреча", "отчёт", "счёт", "поездка", "обзор", "запуск", "договор"},
     {"Дмитрий Иванов", "Ольга Смирнова"},
     {"dmitry.ivanov@example.ru", "olga.smirnova@example.ru"}},
    {"Greek", " ",
     {"προϋπολογισμός", "συνάντηση", "αναφορά", "τιμολόγιο", "ταξίδι", "ανασκόπηση"},
     {"Σοφία Παπαδοπούλου"},
     {"sofia.papadopoulou@example.gr"}},
    {"accented Latin", " ",
     {"réunion", "budgétaire", "Zürich", "façade", "año", "naïve", "crème", "Łódź", "Dvořák", "smørrebrød"},
     {"José Müller", "Zoë Dvořák"},
     {"jose.mueller@example.de", "zoe.dvorak@example.cz"}},
    {"emoji", " ",
     {"launch 🚀", "party 🎉", "file 📎", "done ✅", "hot 🔥", "budget", "review"},
     {"Launch Bot 🚀"},
     {"launch.bot@example.org"}},
};
const std::vector<std::string> kFiller = {"budget", "meeting", "report", "invoice", "travel",  "review",
                                          "launch", "contract", "schedule", "update", "question", "minutes"};

constexpr std::uint32_t kKilobyte = 1024;

std::string Words(Random& rnd, const std::vector<std::string>& words, int count, const char* gap = " ") {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? gap : "") + rnd.Pick(words);
  return text;
}

// A body of about `bytes` bytes: lines of words.
std::string LargeBody(Random& rnd, std::uint32_t bytes) {
  std::string body = "Hello,\r\n";
  while (body.size() < bytes) body += Words(rnd, kFiller, 12) + ".\r\n";
  return body;
}

class TraitWriter {
 public:
  TraitWriter(const TraitFolders& folders, Random& rnd, const std::function<std::string()>& newId)
      : FFolders(folders), FRandom(rnd), FNewId(newId) {}

  void Unit() {
    for (int i = 0; i < 2; ++i) {
      ordered_json& m = Put(Pick(FFolders.mail), Mail("Quarterly figures " + std::to_string(FRandom.Below(1000)),
                                                      "Dana Evans", Email("Dana Evans"),
                                                      LargeBody(FRandom, (20 + FRandom.Below(101)) * kKilobyte)));
      if (i == 0) Put(Pick(FFolders.mail), Copy(m));
    }
    Newsletters();
    for (const Script& s : kScripts) {
      ordered_json& m = Put(Pick(FFolders.mail), InScript(s));
      if (&s == &kScripts.front()) Put(Pick(FFolders.mail), Copy(m));  // a Unicode copy to find
    }
    LookAlikeSubjects();
    ExchangeAndSmtpCopies();
    Draft();
  }

  void Megabyte() {
    const std::size_t store = FRandom.Below(static_cast<std::uint32_t>(FFolders.inbox.size()));
    ordered_json& m = Put(FFolders.inbox[store], Mail("Full export " + std::to_string(FRandom.Below(1000)), "Emil Fischer",
                                                      Email("Emil Fischer"), LargeBody(FRandom, 1024 * kKilobyte)));
    Put(FFolders.inbox[(store + 1) % FFolders.inbox.size()], Copy(m));
  }

 private:
  ordered_json* Pick(const std::vector<ordered_json*>& folders) {
    return folders[FRandom.Below(static_cast<std::uint32_t>(folders.size()))];
  }

  ordered_json& Put(ordered_json* folder, ordered_json message) {
    (*folder)["messages"].push_back(std::move(message));
    return (*folder)["messages"].back();
  }

  ordered_json Copy(ordered_json message) {
    message["id"] = FNewId();
    return message;
  }

  ordered_json Mail(const std::string& subject, const std::string& name, const std::string& email,
                    const std::string& body) {
    ordered_json m;
    m["id"] = FNewId();
    m["subject"] = subject;
    m["messageClass"] = "IPM.Note";
    m["senderName"] = name;
    m["senderEmail"] = email;
    m["senderAddrType"] = "SMTP";
    const std::string sent = Time(FRandom);
    m["submitTime"] = sent;
    m["deliveryTime"] = sent;
    m["flags"] = FRandom.Below(2);
    m["to"] = "Anna Berg";
    m["cc"] = "";
    m["bcc"] = "";
    m["body"] = body;
    m["status"] = 0;
    m["access"] = 3;
    m["size"] = static_cast<std::uint32_t>(body.size()) + 600;
    return m;
  }

  // Two issues of one newsletter: same sender and subject, different large bodies.
  void Newsletters() {
    ordered_json* folder = Pick(FFolders.newsletters);
    const std::string subject = "Weekly digest " + std::to_string(FRandom.Below(1000));
    for (int i = 0; i < 2; ++i)
      Put(folder, Mail(subject, "Digest Team", "digest@news.example.com",
                       LargeBody(FRandom, (20 + FRandom.Below(101)) * kKilobyte)));
  }

  ordered_json InScript(const Script& s) {
    const std::size_t who = FRandom.Below(static_cast<std::uint32_t>(s.people.size()));
    return Mail(Words(FRandom, s.words, 3, s.gap), s.people[who], s.emails[who],
                Words(FRandom, s.words, 10 + static_cast<int>(FRandom.Below(30)), s.gap) + "\r\n" + s.people[who]);
  }

  // One sender, one body, two different Chinese subjects of the same length.
  void LookAlikeSubjects() {
    ordered_json first = InScript(kChinese);
    ordered_json second = Copy(first);
    while (second["subject"] == first["subject"]) second["subject"] = Words(FRandom, kChinese.words, 3, "");
    ordered_json* folder = Pick(FFolders.mail);
    Put(folder, std::move(first));
    Put(folder, std::move(second));
  }

  // The same message in the online store with an Exchange sender, and copied
  // into another store with the sender's SMTP address: true copies.
  void ExchangeAndSmtpCopies() {
    const std::string person = "Anna Berg";
    ordered_json m = Mail("Team update " + std::to_string(FRandom.Below(1000)), person, ExchangeAddress(person),
                          "Hello all,\r\n" + Words(FRandom, kFiller, 30) + "\r\nAnna");
    m["senderAddrType"] = "EX";
    m["senderSmtp"] = Email(person);
    m["searchKey"] = Hex(FRandom.Next(), 8) + Hex(FRandom.Next(), 8);
    m["internetMessageId"] = "<" + Hex(FRandom.Next(), 8) + "@mail.example.org>";
    ordered_json smtp = Copy(m);
    smtp["senderEmail"] = Email(person);
    smtp["senderAddrType"] = "SMTP";
    smtp.erase("senderSmtp");
    Put(FFolders.inbox[0], std::move(m));
    const bool otherStore = FFolders.inbox.size() > 1;
    Put(otherStore ? FFolders.inbox[1] : FFolders.newsletters[0], std::move(smtp));
  }

  // Never sent: no submission or delivery time, MSGFLAG_UNSENT.
  void Draft() {
    ordered_json m = Mail("Draft: " + Words(FRandom, kFiller, 3), "Anna Berg", Email("Anna Berg"),
                          "Notes\r\n" + Words(FRandom, kFiller, 20));
    const std::string edited = m["submitTime"];
    m.erase("submitTime");
    m.erase("deliveryTime");
    m["flags"] = 8 | 1;
    m["lastModificationTime"] = edited;
    Put(Pick(FFolders.drafts), std::move(m));
  }

  const TraitFolders& FFolders;
  Random& FRandom;
  const std::function<std::string()>& FNewId;
};

// FNV-1a, twice with different starts: 16 bytes from a text.
std::string ContentKey(const std::string& text) {
  std::uint64_t a = 0xCBF29CE484222325ULL, b = 0x6C62272E07BB0142ULL;
  for (unsigned char c : text) {
    a = (a ^ c) * 0x100000001B3ULL;
    b = (b ^ c) * 0x100000001B3ULL;
  }
  return Hex(a, 8) + Hex(b, 8);
}

void IdsOf(ordered_json& folder) {
  for (ordered_json& m : folder["messages"]) AddIdentifiers(m);
  for (ordered_json& sub : folder["folders"]) IdsOf(sub);
}

}  // namespace

void AddIdentifiers(ordered_json& m) {
  ordered_json content = m;
  content.erase("id");
  const std::string key = ContentKey(content.dump());
  if (!m.contains("searchKey")) m["searchKey"] = key;
  if (!m.contains("internetMessageId") && m.contains("deliveryTime"))
    m["internetMessageId"] = "<" + key.substr(0, 24) + "@mail.example.org>";
  if (!m.contains("lastModificationTime")) {
    const char* from = m.contains("deliveryTime") ? "deliveryTime" : m.contains("submitTime") ? "submitTime" : nullptr;
    // Read or flagged a while after it came.
    if (from) m["lastModificationTime"] = Ticks(m[from].get<std::string>()) + 10000000LL * (std::stoull(key.substr(0, 4), nullptr, 16) % 86400);
  }
}

TraitCounts TraitCountsFor(int messages) {
  return {std::max(1, messages / 200), std::clamp(messages / 2000, 1, 5)};
}

void AddRealisticTraits(const TraitFolders& folders, const TraitCounts& counts, Random& rnd,
                        const std::function<std::string()>& newId) {
  TraitWriter writer(folders, rnd, newId);
  for (int u = 0; u < counts.units; ++u) writer.Unit();
  for (int m = 0; m < counts.megabyte; ++m) writer.Megabyte();
}

const char* StoreKindOf(int index) { return index == 0 ? "exchange-online" : index % 2 ? "pst" : "exchange-cached"; }

void AddMessageIds(ordered_json& root) {
  for (ordered_json& store : root["stores"]) IdsOf(store["subtree"]);
}

std::string ExchangeAddress(const std::string& person) {
  std::string cn;
  for (char c : person) cn += c == ' ' ? '.' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return "/O=QUOP/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/CN=" + cn;
}
