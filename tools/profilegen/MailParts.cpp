#include "tools/profilegen/MailParts.h"

#include <cctype>
#include <cstring>

using nlohmann::ordered_json;

namespace {
const char kBodyStart[] = "Hello,\r\n";
}  // namespace

const std::vector<std::string> kPeople = {"Anna Berg", "Bruno Costa", "Chen Wei", "Dana Evans", "Emil Fischer",
                                          "Farah Gill", "Goran Horvat", "Hana Ito"};
const std::vector<std::string> kWords = {"budget", "meeting", "report", "invoice", "travel", "review", "launch",
                                         "contract", "schedule", "update", "draft", "question", "minutes", "order"};

ordered_json NewFolder(const std::string& name, const char* cls, const char* role, IdCounter& ids) {
  ordered_json f;
  f["name"] = name;
  f["id"] = ids.Folder();
  if (cls != nullptr) f["class"] = cls;
  if (role != nullptr) f["role"] = role;
  f["messages"] = ordered_json::array();
  f["folders"] = ordered_json::array();
  return f;
}

ordered_json NewItem(const char* messageClass, const std::string& subject, const std::string& id) {
  ordered_json m;
  m["id"] = id;
  m["subject"] = subject;
  m["messageClass"] = messageClass;
  m["flags"] = 1;
  return m;
}

ordered_json StoreSubtree(const std::string& storeName, int index, bool bulkMail, IdCounter& ids) {
  ordered_json top = NewFolder("Top of " + storeName, nullptr, nullptr, ids);
  ordered_json inbox = NewFolder("Inbox", "IPF.Note", "inbox", ids);
  inbox["folders"].push_back(NewFolder("Customers", "IPF.Note", nullptr, ids));
  inbox["folders"].push_back(NewFolder("Newsletters", "", nullptr, ids));
  ordered_json contacts = NewFolder("Contacts", "IPF.Contact", nullptr, ids);
  contacts["messages"].push_back(NewItem("IPM.Contact", kPeople[index % kPeople.size()], ids.Message()));
  contacts["folders"].push_back(NewFolder("Mail from contacts", "IPF.Note", nullptr, ids));
  ordered_json calendar = NewFolder("Calendar", "IPF.Appointment", nullptr, ids);
  calendar["messages"].push_back(NewItem("IPM.Appointment", "Weekly " + kWords[index % kWords.size()], ids.Message()));
  ordered_json projects = NewFolder("Projects", nullptr, nullptr, ids);
  projects["folders"].push_back(NewFolder("Alpha", "IPF.Note", nullptr, ids));
  auto& f = top["folders"];
  f.push_back(std::move(inbox));
  f.push_back(NewFolder("Sent Items", "IPF.Note", "sent", ids));
  f.push_back(NewFolder("Outbox", "IPF.Note", "outbox", ids));
  f.push_back(NewFolder("Deleted Items", "IPF.Note", "deleted", ids));
  f.push_back(NewFolder("Drafts", "IPF.Note", "drafts", ids));
  f.push_back(NewFolder("Junk E-mail", "IPF.Note", "junk", ids));
  f.push_back(NewFolder("RSS Feeds", "IPF.Note", "rss", ids));
  f.push_back(std::move(calendar));
  f.push_back(std::move(contacts));
  f.push_back(NewFolder("Tasks", "IPF.Task", nullptr, ids));
  f.push_back(NewFolder("To-Do List", "IPF.Task", "todo", ids));
  f.push_back(NewFolder("Outlook Today", "IPF.Note.OutlookHomepage", nullptr, ids));
  f.push_back(std::move(projects));
  if (bulkMail) f.push_back(NewFolder("Bulk mail", "IPF.Note", nullptr, ids));
  return top;
}

bool TakesMail(const ordered_json& folder) {
  const std::string cls = folder.value("class", "");
  const std::string role = folder.value("role", "");
  return (cls.empty() || cls == "IPF.Note") && role != "drafts" && role != "junk" && role != "rss";
}

void NewMessage(Random& rnd, const std::string& id, MessageWriter& m) {
  const std::string from = rnd.Pick(kPeople);
  std::string subject = rnd.Pick(kWords) + " " + rnd.Pick(kWords) + " #" + std::to_string(rnd.Below(1000));
  subject[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(subject[0])));
  // What NewItem writes, in its order.
  m.Text("id", id);
  m.Text("subject", subject);
  m.Text("messageClass", "IPM.Note");
  m.Number("flags", 1);
  m.Text("senderName", from);
  m.Text("senderEmail", Email(from));
  const std::string sent = Time(rnd);
  m.Text("submitTime", sent);
  m.Text("deliveryTime", sent);
  m.Number("flags", rnd.Below(2));
  m.Text("to", rnd.Pick(kPeople));
  m.Text("cc", rnd.Below(3) == 0 ? rnd.Pick(kPeople) : "");
  m.Text("bcc", "");
  // The words are drawn first, so that a writer without a body draws the same.
  std::uint32_t words[44];
  const std::uint32_t n = 5 + rnd.Below(40);
  std::size_t bodySize = std::strlen(kBodyStart);
  for (std::uint32_t w = 0; w < n; ++w) {
    words[w] = rnd.Below(static_cast<std::uint32_t>(kWords.size()));
    bodySize += kWords[words[w]].size() + 1;
  }
  if (m.TakesBody()) {
    std::string body = kBodyStart;
    body.reserve(bodySize + 16 + from.size());
    for (std::uint32_t w = 0; w < n; ++w) body.append(kWords[words[w]]).append(" ");
    m.Text("body", body + "\r\nRegards, " + from);
  }
  m.Number("status", 0);
  m.Number("access", 3);
  std::uint32_t size = static_cast<std::uint32_t>(bodySize) + 400;
  const std::uint32_t attachments = rnd.Below(10) < 3 ? 1 + rnd.Below(2) : 0;
  for (std::uint32_t a = 0; a < attachments; ++a) {
    m.BeginAttachment();
    const std::string name = rnd.Pick(kWords) + std::to_string(a) + (rnd.Below(2) ? ".pdf" : ".docx");
    const bool embedded = rnd.Below(8) == 0;
    m.Number("method", embedded ? 5 : 1);
    m.Text("displayName", embedded ? "Forwarded message" : name);
    if (!embedded) {
      m.Text("fileName", name.substr(0, 8));
      m.Text("longFileName", name);
      m.Text("pathName", "");
      m.Text("longPathName", "");
    }
    const std::uint32_t bytes = 1000 + rnd.Below(200000);
    m.Number("size", bytes);
    size += bytes;
    m.EndAttachment();
  }
  m.Number("size", size);
}

ordered_json NewMessage(Random& rnd, const std::string& id) {
  ordered_json m;
  JsonMessageWriter writer(m);
  NewMessage(rnd, id, writer);
  return m;
}

void MakeNearCopy(MessageWriter& copy, Random& rnd) {
  switch (rnd.Below(5)) {
    case 0: copy.Text("subject", copy.TextOf("subject") + " (2)"); break;
    case 1:
      if (copy.TakesBody()) copy.Text("body", copy.TextOf("body") + "!");
      break;
    case 2: copy.Text("to", copy.TextOf("to") + "; " + rnd.Pick(kPeople)); break;
    case 3: copy.Number("size", copy.NumberOf("size") + 1); break;
    default: copy.Text("submitTime", Time(rnd)); break;
  }
}

void MakeNearCopy(ordered_json& copy, Random& rnd) {
  JsonMessageWriter writer(copy);
  MakeNearCopy(writer, rnd);
}
