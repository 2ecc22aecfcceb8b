#include "standin/ProfileJson.h"

#include <windows.h>
#include <mapix.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "standin/ExtraTags.h"

namespace standin {

std::string ToHex(const Bytes& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

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

// The store's limits by their JSON names, in the order written.
constexpr std::pair<const char*, std::optional<ULONG> StoreRules::*> kStoreLimits[] = {
    {"largePropertyLimit", &StoreRules::largePropertyLimit},
    {"responseLimit", &StoreRules::responseLimit},
    {"maxOpenMessages", &StoreRules::maxOpenMessages},
    {"maxOpenFolders", &StoreRules::maxOpenFolders},
    {"maxOpenAttachments", &StoreRules::maxOpenAttachments},
    {"maxRowsPerQuery", &StoreRules::maxRowsPerQuery},
    {"callMicroseconds", &StoreRules::callMicroseconds},
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

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

long long ParseTime(const ordered_json& value) {
  if (value.is_number_integer()) return value.get<long long>();
  int y, mo, d, h, mi, s;
  char z = 0;
  const std::string text = value.get<std::string>();
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &z) != 7 || z != 'Z')
    Fail("time is not YYYY-MM-DDTHH:MM:SSZ: " + text);
  return ((DaysSince1601(y, mo, d) * 86400) + h * 3600 + mi * 60 + s) * kTicksPerSecond;
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
  for (const Field* f = begin; f != end; ++f) {
    auto it = from.find(f->name);
    if (it == from.end() || it->is_null()) continue;
    switch (f->kind) {
      case Kind::Text: bag.Set(PropBag::Text(f->tag, it->get<std::string>())); break;
      case Kind::Number: bag.Set(PropBag::Number(f->tag, it->get<long long>())); break;
      case Kind::Time: bag.Set(PropBag::Number(f->tag, ParseTime(*it))); break;
      case Kind::Hex: bag.Set(PropBag::Binary(f->tag, FromHex(it->get<std::string>(), f->name))); break;
      case Kind::Bytes: bag.Set(PropBag::Binary(f->tag, it->get<std::string>())); break;
    }
  }
}

void WriteFields(const PropBag& bag, const Field* begin, const Field* end, ordered_json& to) {
  for (const Field* f = begin; f != end; ++f) {
    const Prop* p = bag.Find(f->tag);
    if (p == nullptr) continue;
    switch (f->kind) {
      case Kind::Text: to[f->name] = p->data; break;
      case Kind::Number: to[f->name] = static_cast<long>(p->num); break;
      case Kind::Time: to[f->name] = WriteTime(p->num); break;
      case Kind::Hex: to[f->name] = ToHex(p->data); break;
      case Kind::Bytes: to[f->name] = p->data; break;
    }
  }
}

Bytes IdOf(const ordered_json& j, StoreData& store, char kind) {
  auto it = j.find("id");
  Bytes id = it != j.end() ? FromHex(it->get<std::string>(), "id") : store.NewId(kind);
  if (id.empty()) Fail("empty id");
  if (store.folders.contains(id) || store.messages.contains(id)) Fail("id used twice in store " + store.name + ": " + ToHex(id));
  return id;
}

std::shared_ptr<FolderData> ReadFolder(const ordered_json& j, StoreData& store, const Bytes& parentId) {
  auto folder = std::make_shared<FolderData>();
  folder->id = IdOf(j, store, 'F');
  folder->storeUid = store.uid;
  folder->parentId = parentId;
  folder->name = j.value("name", "");
  if (j.contains("class")) folder->containerClass = j["class"].get<std::string>();
  folder->role = j.value("role", "");
  store.folders[folder->id] = folder;
  for (const auto& m : j.value("messages", ordered_json::array())) {
    auto message = std::make_shared<MessageData>();
    message->id = IdOf(m, store, 'M');
    message->storeUid = store.uid;
    message->folderId = folder->id;
    ReadFields(m, std::begin(kMessageFields), std::end(kMessageFields), message->props);
    if (const Prop* type = message->props.Find(PR_SENT_REPRESENTING_ADDRTYPE_W);
        type != nullptr && type->data != "SMTP" && type->data != "EX")
      Fail("senderAddrType is neither SMTP nor EX: " + type->data);
    LONG num = 0;
    for (const auto& a : m.value("attachments", ordered_json::array())) {
      AttachmentData attachment;
      attachment.props.Set(PropBag::Number(PR_ATTACH_NUM, num++));
      attachment.props.Set(PropBag::Number(PR_ATTACH_METHOD, ATTACH_BY_VALUE));
      ReadFields(a, std::begin(kAttachmentFields), std::end(kAttachmentFields), attachment.props);
      message->attachments.push_back(std::move(attachment));
    }
    store.messages[message->id] = message;
    folder->messages.push_back(std::move(message));
  }
  for (const auto& child : j.value("folders", ordered_json::array())) folder->folders.push_back(ReadFolder(child, store, folder->id));
  return folder;
}

ordered_json WriteFolder(const FolderData& folder) {
  ordered_json j;
  j["name"] = folder.name;
  j["id"] = ToHex(folder.id);
  if (folder.containerClass) j["class"] = *folder.containerClass;
  if (!folder.role.empty()) j["role"] = folder.role;
  if (!folder.messages.empty()) {
    ordered_json& messages = j["messages"] = ordered_json::array();
    for (const auto& m : folder.messages) {
      ordered_json jm;
      jm["id"] = ToHex(m->id);
      WriteFields(m->props, std::begin(kMessageFields), std::end(kMessageFields), jm);
      for (const auto& a : m->attachments) {
        ordered_json ja;
        WriteFields(a.props, std::begin(kAttachmentFields), std::end(kAttachmentFields), ja);
        jm["attachments"].push_back(ja);
      }
      messages.push_back(jm);
    }
  }
  for (const auto& child : folder.folders) j["folders"].push_back(WriteFolder(*child));
  return j;
}

void ReadRules(const ordered_json& js, StoreData& store) {
  StoreRules& rules = store.rules;
  if (js.contains("kind")) {
    const std::string name = js["kind"].get<std::string>();
    const auto kind = StoreKindNamed(name);
    if (!kind) Fail("store " + store.name + ": unknown kind: " + name);
    rules.kind = *kind;
  }
  if (js.contains("unicode")) rules.unicode = js["unicode"].get<bool>();
  for (const auto& [name, member] : kStoreLimits) {
    auto it = js.find(name);
    if (it == js.end()) continue;
    if (!it->is_number_unsigned() || it->get<unsigned long long>() > 0xFFFFFFFFull)
      Fail("store " + store.name + ": " + name + " is not a count: " + it->dump());
    rules.*member = it->get<ULONG>();
  }
}

void WriteRules(const StoreRules& rules, ordered_json& js) {
  if (rules.kind != StoreKind::Pst) js["kind"] = StoreKindName(rules.kind);
  if (rules.unicode) js["unicode"] = *rules.unicode;
  for (const auto& [name, member] : kStoreLimits) {
    if (rules.*member) js[name] = *(rules.*member);
  }
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

HRESULT ReadHr(const ordered_json& j) {
  if (j.is_number_integer()) return static_cast<HRESULT>(j.get<long long>());
  return static_cast<HRESULT>(std::stoul(j.get<std::string>(), nullptr, 16));
}

}  // namespace

LoadedProfile ParseProfile(const std::string& jsonText) {
  LoadedProfile loaded;
  loaded.profile = std::make_shared<Profile>();
  try {
    const ordered_json root = ordered_json::parse(jsonText);
    for (const auto& js : root.value("stores", ordered_json::array())) {
      auto store = std::make_shared<StoreData>();
      store->name = js.value("name", "");
      store->uid = FromHex(js.value("uid", ""), "uid");
      if (store->uid.size() != 16) Fail("store " + store->name + ": uid must have 16 bytes");
      if (loaded.profile->StoreByUid(store->uid) != nullptr) Fail("two stores with uid " + ToHex(store->uid));
      store->isDefault = js.value("default", false);
      ReadRules(js, *store);
      if (js.contains("subtree")) store->subtree = ReadFolder(js["subtree"], *store, Bytes());
      loaded.profile->stores.push_back(std::move(store));
    }
    for (const auto& jf : root.value("faults", ordered_json::array())) {
      FaultRule rule;
      rule.call = jf.at("call").get<std::string>();
      rule.target = jf.at("target").get<std::string>();
      if (jf.contains("prop")) rule.propTag = ReadPropTag(jf["prop"]);
      if (jf.contains("hr")) rule.hr = ReadHr(jf["hr"]);
      rule.nth = jf.value("nth", 0UL);
      loaded.faults.push_back(std::move(rule));
    }
  } catch (const nlohmann::json::exception& e) {
    Fail(e.what());
  }
  return loaded;
}

std::string WriteProfile(const Profile& profile, const std::vector<FaultRule>& faults) {
  ordered_json root;
  root["stores"] = ordered_json::array();
  for (const auto& s : profile.stores) {
    ordered_json js;
    js["name"] = s->name;
    js["uid"] = ToHex(s->uid);
    js["default"] = s->isDefault;
    WriteRules(s->rules, js);
    if (s->subtree) js["subtree"] = WriteFolder(*s->subtree);
    root["stores"].push_back(js);
  }
  if (!faults.empty()) {
    for (const FaultRule& f : faults) {
      char hr[16];
      std::snprintf(hr, sizeof hr, "0x%08lX", static_cast<unsigned long>(f.hr));
      ordered_json jf{{"call", f.call}, {"target", f.target}, {"hr", hr}};
      if (f.propTag != 0) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "0x%08lX", f.propTag);
        jf["prop"] = tag;
      }
      if (f.nth != 0) jf["nth"] = f.nth;
      root["faults"].push_back(jf);
    }
  }
  return root.dump(1) + "\n";
}

}  // namespace standin
