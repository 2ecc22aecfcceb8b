#include "tools/pstprofile/MessageJson.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "mapi/EntryIDText.h"
#include "support/Utf8Text.h"
#include "tools/pstprofile/PropIds.h"

using nlohmann::ordered_json;

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;

struct Field {
  const char* key;
  std::uint32_t propId;
  enum { Text, Number, Time, Hex } kind;
};

// In the order the stand-in writes its profiles: the sender (then its SMTP
// address), the header fields (then the body), the rest.
constexpr Field kSenderFields[] = {
    {"senderName", propid::kSentRepresentingName, Field::Text},
    {"senderEmail", propid::kSentRepresentingEmail, Field::Text},
    {"senderAddrType", propid::kSentRepresentingAddrType, Field::Text},
};
constexpr Field kHeaderFields[] = {
    {"submitTime", propid::kClientSubmitTime, Field::Time},
    {"deliveryTime", propid::kMessageDeliveryTime, Field::Time},
    {"lastModificationTime", propid::kLastModificationTime, Field::Time},
    {"size", propid::kMessageSize, Field::Number},
    {"flags", propid::kMessageFlags, Field::Number},
    {"to", propid::kDisplayTo, Field::Text},
    {"cc", propid::kDisplayCc, Field::Text},
    {"bcc", propid::kDisplayBcc, Field::Text},
};
constexpr Field kOtherFields[] = {
    {"messageClass", propid::kMessageClass, Field::Text},
    {"status", propid::kMsgStatus, Field::Number},
    {"access", propid::kAccess, Field::Number},
    {"displayName", propid::kDisplayName, Field::Text},
    {"internetMessageId", propid::kInternetMessageId, Field::Text},
    {"searchKey", propid::kSearchKey, Field::Hex},
};

constexpr Field kAttachmentFields[] = {
    {"num", propid::kAttachNum, Field::Number},
    {"method", propid::kAttachMethod, Field::Number},
    {"displayName", propid::kDisplayName, Field::Text},
    {"fileName", propid::kAttachFilename, Field::Text},
    {"longFileName", propid::kAttachLongFilename, Field::Text},
    {"pathName", propid::kAttachPathname, Field::Text},
    {"longPathName", propid::kAttachLongPathname, Field::Text},
    {"size", propid::kAttachSize, Field::Number},
};

void Put(const PffProps& props, const Field& f, ordered_json& to) {
  switch (f.kind) {
    case Field::Text:
      if (auto v = props.Text(f.propId)) to[f.key] = *v;
      break;
    case Field::Number:
      if (auto v = props.Number(f.propId)) to[f.key] = *v;
      break;
    case Field::Time:
      if (auto v = props.Number(f.propId)) to[f.key] = TimeJson(*v);
      break;
    case Field::Hex:
      if (auto v = props.Binary(f.propId)) to[f.key] = HexText(*v);
      break;
  }
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// PR_SENT_REPRESENTING_SMTP_ADDRESS; else PR_SENDER_SMTP_ADDRESS when the
// sender is the one represented (sent on one's own behalf), never a
// delegate's address for the person represented.
std::optional<std::string> SenderSmtp(const PffProps& props) {
  if (auto smtp = props.Text(propid::kSentRepresentingSmtpAddress)) return smtp;
  const auto represented = props.Text(propid::kSentRepresentingEmail);
  const auto sender = props.Text(propid::kSenderEmail);
  if (represented && sender && SameNoCase(*represented, *sender)) return props.Text(propid::kSenderSmtpAddress);
  return std::nullopt;
}

std::optional<std::string> PlainBody(libpff_item_t* message) {
  std::size_t size = 0;
  PffError error;
  const int found = libpff_message_get_plain_text_body_size(message, &size, error.Out());
  if (found == -1) error.Throw("cannot size the body");
  if (found == 0) return std::nullopt;
  std::string body(size, '\0');
  if (size != 0 && libpff_message_get_plain_text_body(message, reinterpret_cast<std::uint8_t*>(body.data()), size,
                                                      error.Out()) != 1)
    error.Throw("cannot read the body");
  const std::size_t end = body.find('\0');
  if (end != std::string::npos) body.resize(end);
  return body;
}

// PR_HTML and PR_RTF_COMPRESSED as they are kept, byte for byte: HTML as a
// text where its bytes are UTF-8, else as hex.
void PutOtherBodies(const PffProps& props, ordered_json& m) {
  if (auto html = props.Binary(propid::kHtml)) {
    if (IsUtf8(*html))
      m["html"] = *html;
    else
      m["htmlHex"] = HexText(*html);
  }
  if (auto rtf = props.Binary(propid::kRtfCompressed)) m["rtf"] = HexText(*rtf);
}

ordered_json Attachments(libpff_item_t* message) {
  ordered_json list = ordered_json::array();
  int count = 0;
  PffError error;
  if (libpff_message_get_number_of_attachments(message, &count, error.Out()) != 1)
    error.Throw("cannot count the attachments");
  for (int i = 0; i < count; ++i) {
    PffItem attachment;
    if (libpff_message_get_attachment(message, i, attachment.Out(), error.Out()) != 1)
      error.Throw("cannot open attachment " + std::to_string(i));
    const PffProps props(attachment.Get());
    ordered_json a = ordered_json::object();
    for (const Field& f : kAttachmentFields) Put(props, f, a);
    list.push_back(std::move(a));
  }
  return list;
}

}  // namespace

ordered_json TimeJson(std::int64_t filetime) {
  if (filetime < 0 || filetime % kTicksPerSecond != 0) return filetime;
  const std::int64_t seconds = filetime / kTicksPerSecond;
  // Days since 1601-01-01 to a civil date (proleptic Gregorian).
  std::int64_t days = seconds / 86400 - 134774 + 719468;  // days since 0000-03-01
  const std::int64_t secs = seconds % 86400;
  const std::int64_t era = days / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(secs / 3600),
                static_cast<long long>(secs / 60 % 60), static_cast<long long>(secs % 60));
  return text;
}

std::string HexText(const std::string& bytes) { return EntryIDToText(bytes.data(), bytes.size()); }

std::string NodeIdText(std::uint32_t node) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(node >> (8 * i) & 0xFF);
  return HexText(bytes);
}

std::string ServedSubject(const std::string& stored) {
  if (stored.empty() || stored[0] != '\x01') return stored;
  // Skip the marker and the one (UTF-8) character after it.
  std::size_t i = 1;
  if (i < stored.size()) ++i;
  while (i < stored.size() && (static_cast<unsigned char>(stored[i]) & 0xC0) == 0x80) ++i;
  return stored.substr(i);
}

ordered_json MessageJson(libpff_item_t* message) {
  const PffProps props(message);
  ordered_json m = ordered_json::object();
  m["id"] = NodeIdText(ItemIdentifier(message));
  if (auto subject = props.Text(propid::kSubject)) m["subject"] = ServedSubject(*subject);
  for (const Field& f : kSenderFields) Put(props, f, m);
  if (auto smtp = SenderSmtp(props)) m["senderSmtp"] = *smtp;
  for (const Field& f : kHeaderFields) Put(props, f, m);
  if (auto body = PlainBody(message)) m["body"] = *body;
  for (const Field& f : kOtherFields) Put(props, f, m);
  PutOtherBodies(props, m);
  ordered_json attachments = Attachments(message);
  if (!attachments.empty()) m["attachments"] = std::move(attachments);
  return m;
}
