#include "tools/pstprofile/StoreLayout.h"

#include <filesystem>
#include <vector>

#include "tools/pstprofile/PropIds.h"

namespace {

struct DefaultName {
  const char* role;
  const char* name;
};
// English default names, used where the file does not say which folder is which.
constexpr DefaultName kDefaultNames[] = {
    {"inbox", "Inbox"},   {"deleted", "Deleted Items"}, {"sent", "Sent Items"},   {"outbox", "Outbox"},
    {"drafts", "Drafts"}, {"junk", "Junk E-mail"},      {"junk", "Junk Email"},   {"rss", "RSS Feeds"},
};
constexpr std::size_t kJunkIndex = 4;  // in PR_ADDITIONAL_REN_ENTRYIDS

PffItem FileItem(libpff_file_t* file, int (*get)(libpff_file_t*, libpff_item_t**, libpff_error_t**),
                 const char* what) {
  PffItem item;
  PffError error;
  if (get(file, item.Out(), error.Out()) == -1) error.Throw(std::string("cannot read the ") + what);
  return item;
}

PffItem FolderByNode(libpff_file_t* file, std::uint32_t node) {
  PffItem item;
  PffError error;
  if (node == 0) return item;
  const int found = libpff_file_get_item_by_identifier(file, node, item.Out(), error.Out());
  if (found == -1) error.Throw("cannot open node " + std::to_string(node));
  std::uint8_t type = 0;
  if (found == 1 && libpff_item_get_type(item.Get(), &type, error.Out()) != 1)
    error.Throw("cannot read the type of node " + std::to_string(node));
  return found == 1 && type == LIBPFF_ITEM_TYPE_FOLDER ? std::move(item) : PffItem();
}

std::string FolderName(libpff_item_t* folder) { return PffProps(folder).Text(propid::kDisplayName).value_or(""); }

PffItem ChildNamed(libpff_item_t* folder, const std::string& name) {
  for (int i = 0, n = SubFolderCount(folder); i < n; ++i) {
    PffItem child = SubFolder(folder, i);
    if (FolderName(child.Get()) == name) return child;
  }
  return PffItem();
}

void SetRole(StoreLayout& layout, std::uint32_t node, const std::string& role) {
  if (node == 0 || layout.roles.contains(node)) return;
  for (const auto& [n, r] : layout.roles)
    if (r == role) return;
  layout.roles[node] = role;
}

void RolesFromEntryIds(libpff_file_t* file, const PffProps& from, StoreLayout& layout,
                       std::initializer_list<std::pair<std::uint32_t, const char*>> ids) {
  for (const auto& [propId, role] : ids) {
    const std::uint32_t node = NodeOfEntryId(from.Binary(propId).value_or(""), layout.recordKey);
    if (FolderByNode(file, node)) SetRole(layout, node, role);
  }
}

void DraftsAndJunk(libpff_file_t* file, libpff_item_t* folder, StoreLayout& layout) {
  if (!folder) return;
  const PffProps props(folder);
  RolesFromEntryIds(file, props, layout, {{propid::kIpmDrafts, "drafts"}});
  const std::vector<std::string> more = props.BinaryList(propid::kAdditionalRenEntryIds);
  if (more.size() > kJunkIndex) {
    const std::uint32_t node = NodeOfEntryId(more[kJunkIndex], layout.recordKey);
    if (FolderByNode(file, node)) SetRole(layout, node, "junk");
  }
}

void RolesByName(StoreLayout& layout) {
  for (int i = 0, n = SubFolderCount(layout.subtree.Get()); i < n; ++i) {
    PffItem child = SubFolder(layout.subtree.Get(), i);
    const std::string name = FolderName(child.Get());
    for (const DefaultName& d : kDefaultNames)
      if (name == d.name) SetRole(layout, ItemIdentifier(child.Get()), d.role);
  }
}

PffItem MailboxSubtree(libpff_item_t* root) {
  if (!root) return PffItem();
  PffItem mailbox = ChildNamed(root, "Root - Mailbox");
  return mailbox ? ChildNamed(mailbox.Get(), "IPM_SUBTREE") : PffItem();
}

}  // namespace

std::uint32_t NodeOfEntryId(const std::string& entryId, const std::string& recordKey) {
  if (entryId.size() != 24 || recordKey.size() != 16 || entryId.compare(4, 16, recordKey) != 0) return 0;
  std::uint32_t node = 0;
  for (int i = 23; i >= 20; --i) node = node << 8 | static_cast<unsigned char>(entryId[i]);
  return node;
}

StoreLayout ReadStoreLayout(libpff_file_t* file, const std::string& path) {
  StoreLayout layout;
  PffError error;
  std::uint8_t content = 0, type = 0;
  if (libpff_file_get_content_type(file, &content, error.Out()) != 1) error.Throw("cannot read the file's kind");
  if (content != LIBPFF_FILE_CONTENT_TYPE_PST && content != LIBPFF_FILE_CONTENT_TYPE_OST)
    throw std::runtime_error("not a personal or offline folder file");
  layout.kind = content == LIBPFF_FILE_CONTENT_TYPE_OST ? "exchange-cached" : "pst";
  if (libpff_file_get_type(file, &type, error.Out()) != 1) error.Throw("cannot read the file's format");
  layout.unicode = type != LIBPFF_FILE_TYPE_32BIT;

  PffItem store = FileItem(file, libpff_file_get_message_store, "message store");
  PffItem root = FileItem(file, libpff_file_get_root_folder, "root folder");
  if (store) {
    const PffProps props(store.Get());
    layout.name = props.Text(propid::kDisplayName).value_or("");
    layout.recordKey = props.Binary(propid::kRecordKey).value_or("");
    if (layout.recordKey.size() != 16) layout.recordKey.clear();
    layout.subtree = FolderByNode(file, NodeOfEntryId(props.Binary(propid::kIpmSubtree).value_or(""), layout.recordKey));
    RolesFromEntryIds(file, props, layout,
                      {{propid::kIpmWastebasket, "deleted"}, {propid::kIpmSentMail, "sent"}, {propid::kIpmOutbox, "outbox"}});
  }
  if (layout.name.empty()) layout.name = std::filesystem::path(path).stem().string();
  if (!layout.subtree) layout.subtree = MailboxSubtree(root.Get());
  if (!layout.subtree) return layout;
  DraftsAndJunk(file, root.Get(), layout);
  PffItem inbox = ChildNamed(layout.subtree.Get(), "Inbox");
  DraftsAndJunk(file, inbox.Get(), layout);
  RolesByName(layout);
  return layout;
}
