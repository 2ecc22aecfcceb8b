#include "tests/mapi/ProfileTruth.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "mapi/CnCRC32.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string TextOf(const nlohmann::json& m, const char* key) {
  const auto it = m.find(key);
  return it != m.end() && it->is_string() ? it->get<std::string>() : std::string();
}

long long NumberOf(const nlohmann::json& m, const char* key) {
  const auto it = m.find(key);
  return it != m.end() && it->is_number() ? it->get<long long>() : 0;
}

// Blanks at either end do not count.
std::string Trimmed(const std::string& s) {
  const char* blanks = " \t\r\n";
  const std::size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A time to the whole second: "YYYY-MM-DDTHH:MM:SSZ" or a FILETIME count.
std::string SecondOf(const nlohmann::json& m, const char* key) {
  const auto it = m.find(key);
  if (it == m.end()) return "0";
  if (it->is_number()) return std::to_string(it->get<long long>() / 10000000);
  int y, mo, d, h, mi, s;
  if (std::sscanf(it->get<std::string>().c_str(), "%d-%d-%dT%d:%d:%dZ", &y, &mo, &d, &h, &mi, &s) != 6) return "?";
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return std::to_string(static_cast<long long>(_mkgmtime(&t)) + 11644473600LL);
}

// The attachments stored by value: each name (display, long file or file
// name, the first not empty) followed by its size.
std::string AttachmentsOf(const nlohmann::json& m) {
  std::string summary;
  const auto it = m.find("attachments");
  if (it == m.end()) return summary;
  for (const auto& a : *it) {
    if (NumberOf(a, "method") != 0 && NumberOf(a, "method") != 1) continue;
    std::string name = TextOf(a, "displayName");
    if (name.empty()) name = TextOf(a, "longFileName");
    if (name.empty()) name = TextOf(a, "fileName");
    summary += name + std::to_string(NumberOf(a, "size"));
  }
  return summary;
}

std::string SenderAddressOf(const nlohmann::json& m) {
  const std::string smtp = TextOf(m, "senderSmtp");
  if (Upper(TextOf(m, "senderAddrType")) == "EX" && !smtp.empty()) return smtp;
  return TextOf(m, "senderEmail");
}

std::string BodyCrcOf(const nlohmann::json& m) {
  const std::string body = TextOf(m, "body");
  return std::to_string(CRC32Calc(0, body.data(), body.find('\0') == std::string::npos ? body.size() : body.find('\0')));
}

bool IsMail(const nlohmann::json& folder) {
  const auto it = folder.find("class");
  return it == folder.end() || it->get<std::string>().empty() || it->get<std::string>() == "IPF.Note";
}

}  // namespace

TProfileTruth::TProfileTruth(const nlohmann::json& profile) {
  for (const auto& store : profile.at("stores"))
    if (store.contains("subtree")) Walk(store["subtree"], Upper(store["uid"].get<std::string>()), "");
}

void TProfileTruth::Walk(const nlohmann::json& folder, const std::string& uid, const std::string& path) {
  const std::string here = path + "/" + TextOf(folder, "name");
  if (IsMail(folder) && folder.contains("messages")) {
    for (const auto& m : folder["messages"]) {
      TTruthMessage t;
      t.entryID = "00000000" + uid + Upper(TextOf(m, "id"));
      t.store = uid;
      t.folder = here;
      t.fields[0] = Trimmed(TextOf(m, "subject"));
      t.fields[1] = Trimmed(TextOf(m, "senderName"));
      t.fields[2] = Lower(Trimmed(SenderAddressOf(m)));
      t.fields[3] = BodyCrcOf(m);
      t.fields[4] = std::to_string(NumberOf(m, "size"));
      t.fields[5] = Trimmed(TextOf(m, "to"));
      t.fields[6] = Trimmed(TextOf(m, "cc"));
      t.fields[7] = Trimmed(TextOf(m, "bcc"));
      t.fields[8] = Trimmed(AttachmentsOf(m));
      t.fields[9] = SecondOf(m, "submitTime");
      t.fields[10] = std::to_string(NumberOf(m, "flags") & 1);
      t.fields[11] = SecondOf(m, "deliveryTime");
      FMessages[t.entryID] = t;
    }
  }
  if (folder.contains("folders"))
    for (const auto& child : folder["folders"]) Walk(child, uid, here);
}

std::string TProfileTruth::Key(const TTruthMessage& message, std::int32_t mask) const {
  std::string key;
  for (int bit = 0; bit < 12; ++bit)
    if (mask & (1 << bit)) key += message.fields[bit] + '\x1F';
  return key;
}
