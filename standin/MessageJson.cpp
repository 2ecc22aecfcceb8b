#include "standin/MessageJson.h"

#include <windows.h>
#include <mapix.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include "standin/ExtraTags.h"
#include "support/Utf8Text.h"

namespace standin {
namespace {

using nlohmann::ordered_json;

// Text: a UTF-8 text; Hex: binary written as hex digits; Bytes: binary
// holding a text's UTF-8 bytes.
enum class Kind { Text, Number, Time, Hex, Bytes };
struct Field {
  const char* name;
  ULONG tag;
  Kind kind;
};

// Message and attachment values by their JSON names, in the order written.
constexpr Field kMessageFields[] = {
    {"subject", PR_SUBJECT_W, Kind::Text},
    {"senderName", PR_SENT_REPRESENTING_NAME_W, Kind::Text},
    {"senderEmail", PR_SENT_REPRESENTING_EMAIL_ADDRESS_W, Kind::Text},
    {"submitTime", PR_CLIENT_SUBMIT_TIME, Kind::Time},
    {"deliveryTime", PR_MESSAGE_DELIVERY_TIME, Kind::Time},
    {"size", PR_MESSAGE_SIZE, Kind::Number},
    {"flags", PR_MESSAGE_FLAGS, Kind::Number},
    {"flagStatus", PR_FLAG_STATUS, Kind::Number},
    {"to", PR_DISPLAY_TO_W, Kind::Text},
    {"cc", PR_DISPLAY_CC_W, Kind::Text},
    {"bcc", PR_DISPLAY_BCC_W, Kind::Text},
    {"body", PR_BODY_W, Kind::Text},
    {"messageClass", PR_MESSAGE_CLASS_W, Kind::Text},
    {"status", PR_MSG_STATUS, Kind::Number},
    {"access", PR_ACCESS, Kind::Number},
    {"displayName", PR_DISPLAY_NAME_W, Kind::Text},
    {"senderAddrType", PR_SENT_REPRESENTING_ADDRTYPE_W, Kind::Text},
    {"senderSmtp", PR_SENT_REPRESENTING_SMTP_ADDRESS_W, Kind::Text},
    {"internetMessageId", PR_INTERNET_MESSAGE_ID_W, Kind::Text},
    {"searchKey", PR_SEARCH_KEY, Kind::Hex},
    {"lastModificationTime", PR_LAST_MODIFICATION_TIME, Kind::Time},
    {"html", PR_HTML, Kind::Bytes},
    // An HTML body whose bytes are not UTF-8 (a page in its own code page).
    {"htmlHex", PR_HTML, Kind::Hex},
    {"rtf", PR_RTF_COMPRESSED, Kind::Hex},
};
constexpr Field kAttachmentFields[] = {
    {"num", PR_ATTACH_NUM, Kind::Number},
    {"method", PR_ATTACH_METHOD, Kind::Number},
    {"displayName", PR_DISPLAY_NAME_W, Kind::Text},
    {"fileName", PR_ATTACH_FILENAME_W, Kind::Text},
    {"longFileName", PR_ATTACH_LONG_FILENAME_W, Kind::Text},
    {"pathName", PR_ATTACH_PATHNAME_W, Kind::Text},
    {"longPathName", PR_ATTACH_LONG_PATHNAME_W, Kind::Text},
    {"size", PR_ATTACH_SIZE, Kind::Number},
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// Days from 1 January 1601 to the given date (proleptic Gregorian).
long long DaysSince1601(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long days1970 = era * 146097 + static_cast<long long>(doe) - 719468;
  return days1970 + 134774;
}

constexpr long long kTicksPerSecond = 10000000;

// "YYYY-MM-DDTHH:MM:SSZ" exactly, as profiles are written: the fields, or
// false for any other form.
bool CanonicalTime(const std::string& text, int (&fields)[6]) {
  static const char kForm[] = "0000-00-00T00:00:00Z";
  if (text.size() != sizeof kForm - 1) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (kForm[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != kForm[i]) return false;
  }
  auto number = [&](size_t at, size_t digits) {
    int n = 0;
    for (size_t i = at; i < at + digits; ++i) n = n * 10 + (text[i] - '0');
    return n;
  };
  const int parts[][2] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};
  for (int i = 0; i < 6; ++i) fields[i] = number(parts[i][0], parts[i][1]);
  return true;
}

long long TimeOf(const std::string& text) {
  int f[6];
  char z = 0;
  // Other spellings sscanf takes ("2024-3-1T9:30:00Z") are read the slow way.
  if (!CanonicalTime(text, f) &&
      (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d%c", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &z) != 7 || z != 'Z'))
    Fail("time is not YYYY-MM-DDTHH:MM:SSZ: " + text);
  return ((DaysSince1601(f[0], f[1], f[2]) * 86400) + f[3] * 3600 + f[4] * 60 + f[5]) * kTicksPerSecond;
}

long long ParseTime(const ordered_json& value) {
  if (value.is_number_integer()) return value.get<long long>();
  return TimeOf(value.get<std::string>());
}

ordered_json WriteTime(long long ticks) {
  if (ticks < 0 || ticks % kTicksPerSecond != 0) return ticks;
  long long secs = ticks / kTicksPerSecond;
  long long days = secs / 86400 - 134774;  // days since 1970
  secs %= 86400;
  // civil_from_days
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", y, m, d, secs / 3600, secs / 60 % 60,
                secs % 60);
  return text;
}

void ReadFields(const ordered_json& from, const Field* begin, const Field* end, PropBag& bag) {
  std::vector<ULONG> given;
  for (const Field* f = begin; f != end; ++f) {
    auto it = from.find(f->name);
    if (it == from.end() || it->is_null()) continue;
    if (std::find(given.begin(), given.end(), f->tag) != given.end())
      Fail(std::string("two keys give one property: ") + f->name);
    given.push_back(f->tag);
    switch (f->kind) {
      case Kind::Text: bag.Set(PropBag::Text(f->tag, it->get<std::string>())); break;
      case Kind::Number: bag.Set(PropBag::Number(f->tag, it->get<long long>())); break;
      case Kind::Time: bag.Set(PropBag::Number(f->tag, ParseTime(*it))); break;
      case Kind::Hex: bag.Set(PropBag::Binary(f->tag, FromHex(it->get<std::string>(), f->name))); break;
      case Kind::Bytes: bag.Set(PropBag::Binary(f->tag, it->get<std::string>())); break;
    }
  }
}

// The values of `bag` in the order of the fields.
PropBag InFieldOrder(const PropBag& bag, const Field* begin, const Field* end) {
  PropBag ordered;
  for (const Field* f = begin; f != end; ++f) {
    if (const Prop* p = bag.Find(f->tag)) ordered.Set(*p);
  }
  return ordered;
}

void CheckSender(const PropBag& props) {
  if (const Prop* type = props.Find(PR_SENT_REPRESENTING_ADDRTYPE_W);
      type != nullptr && type->data != "SMTP" && type->data != "EX")
    Fail("senderAddrType is neither SMTP nor EX: " + type->data);
}

void WriteFields(const PropBag& bag, const Field* begin, const Field* end, ordered_json& to) {
  std::vector<ULONG> written;
  for (const Field* f = begin; f != end; ++f) {
    const Prop* p = bag.Find(f->tag);
    if (p == nullptr || std::find(written.begin(), written.end(), f->tag) != written.end()) continue;
    if (f->kind == Kind::Bytes && !IsUtf8(p->data)) continue;  // a later hex key of the same property takes it
    written.push_back(f->tag);
    switch (f->kind) {
      case Kind::Text: to[f->name] = p->data; break;
      case Kind::Number: to[f->name] = static_cast<long>(p->num); break;
      case Kind::Time: to[f->name] = WriteTime(p->num); break;
      case Kind::Hex: to[f->name] = ToHex(p->data); break;
      case Kind::Bytes: to[f->name] = p->data; break;
    }
  }
}

}  // namespace

std::string ToHex(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

Bytes FromHex(const std::string& text, const char* what) {
  auto nibble = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    Fail(std::string(what) + ": not hexadecimal: " + text);
  };
  if (text.size() % 2 != 0) Fail(std::string(what) + ": odd number of digits: " + text);
  Bytes bytes;
  for (size_t i = 0; i < text.size(); i += 2) bytes += char(nibble(text[i]) * 16 + nibble(text[i + 1]));
  return bytes;
}

MessageContent ReadMessage(const ordered_json& m, std::optional<Bytes>& id) {
  if (!m.is_object()) Fail("a message is not an object: " + m.dump());
  id.reset();
  if (auto it = m.find("id"); it != m.end()) id = FromHex(it->get<std::string>(), "id");
  MessageContent content;
  ReadFields(m, std::begin(kMessageFields), std::end(kMessageFields), content.props);
  CheckSender(content.props);
  LONG num = 0;
  for (const auto& a : m.value("attachments", ordered_json::array())) {
    AttachmentData attachment;
    attachment.props.Set(PropBag::Number(PR_ATTACH_NUM, num++));
    attachment.props.Set(PropBag::Number(PR_ATTACH_METHOD, ATTACH_BY_VALUE));
    ReadFields(a, std::begin(kAttachmentFields), std::end(kAttachmentFields), attachment.props);
    content.attachments.push_back(std::move(attachment));
  }
  return content;
}

ordered_json WriteMessage(const MessageData& message) {
  ordered_json jm;
  jm["id"] = ToHex(message.id);
  WriteFields(message.props, std::begin(kMessageFields), std::end(kMessageFields), jm);
  for (const auto& a : message.attachments) {
    ordered_json ja;
    WriteFields(a.props, std::begin(kAttachmentFields), std::end(kAttachmentFields), ja);
    jm["attachments"].push_back(ja);
  }
  return jm;
}

namespace {

const Field& FieldNamed(const char* key, bool attachment) {
  const Field* begin = attachment ? std::begin(kAttachmentFields) : std::begin(kMessageFields);
  const Field* end = attachment ? std::end(kAttachmentFields) : std::end(kMessageFields);
  for (const Field* f = begin; f != end; ++f) {
    if (std::strcmp(f->name, key) == 0) return *f;
  }
  throw std::logic_error(std::string("a generated message has a value the profile format lacks: ") + key);
}

}  // namespace

// A row's values gain the served ones in place (MessageProps).
ContentWriter::ContentWriter(bool whole) : FWhole(whole) {
  if (!whole) FContent.props.Reserve(40);
}

// The same conversions as ReadFields makes of a JSON value of each kind.
void ContentWriter::Text(const char* key, std::string value) {
  if (!FInAttachment && std::strcmp(key, "id") == 0) return;  // the store knows its messages' identifiers
  if (FInAttachment && !FWhole) return;
  const Field& f = FieldNamed(key, FInAttachment);
  switch (f.kind) {
    case Kind::Text: Target().Set(PropBag::Text(f.tag, std::move(value))); return;
    case Kind::Time: Target().Set(PropBag::Number(f.tag, TimeOf(value))); return;
    case Kind::Hex: Target().Set(PropBag::Binary(f.tag, FromHex(value, f.name))); return;
    case Kind::Bytes: Target().Set(PropBag::Binary(f.tag, std::move(value))); return;
    case Kind::Number: break;
  }
  throw std::logic_error(std::string("a generated number is a text: ") + key);
}

void ContentWriter::Number(const char* key, std::int64_t value) {
  if (FInAttachment && !FWhole) return;
  const Field& f = FieldNamed(key, FInAttachment);
  if (f.kind != Kind::Number && f.kind != Kind::Time) throw std::logic_error(std::string("a generated text is a number: ") + key);
  Target().Set(PropBag::Number(f.tag, value));
}

std::string ContentWriter::TextOf(const char* key) const {
  const Prop* p = Target().Find(FieldNamed(key, FInAttachment).tag);
  if (p == nullptr) throw std::logic_error(std::string("no value yet: ") + key);
  return p->data;
}

std::int64_t ContentWriter::NumberOf(const char* key) const {
  const Prop* p = Target().Find(FieldNamed(key, FInAttachment).tag);
  if (p == nullptr) throw std::logic_error(std::string("no value yet: ") + key);
  return p->num;
}

// As ReadMessage numbers an attachment and takes it by value unless told.
void ContentWriter::BeginAttachment() {
  AttachmentData attachment;
  if (FWhole) {
    attachment.props.Set(PropBag::Number(PR_ATTACH_NUM, static_cast<LONG>(FContent.attachments.size())));
    attachment.props.Set(PropBag::Number(PR_ATTACH_METHOD, ATTACH_BY_VALUE));
  }
  FContent.attachments.push_back(std::move(attachment));
  FInAttachment = true;
}

MessageContent ContentWriter::Take() {
  CheckSender(FContent.props);
  if (!FWhole) return std::exchange(FContent, MessageContent());
  MessageContent content;
  content.props = InFieldOrder(FContent.props, std::begin(kMessageFields), std::end(kMessageFields));
  for (const AttachmentData& a : FContent.attachments)
    content.attachments.push_back({InFieldOrder(a.props, std::begin(kAttachmentFields), std::end(kAttachmentFields))});
  FContent = MessageContent();
  return content;
}

ULONG ReadPropTag(const ordered_json& j) {
  if (j.is_number_integer()) return j.get<ULONG>();
  const std::string name = j.get<std::string>();
  for (const Field& f : kMessageFields) {
    if (name == f.name) return f.tag;
  }
  if (name.starts_with("0x") || name.starts_with("0X")) return std::stoul(name, nullptr, 16);
  Fail("unknown property: " + name);
}

}  // namespace standin
