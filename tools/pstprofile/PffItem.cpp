#include "tools/pstprofile/PffItem.h"

#include <cstdio>

namespace {

constexpr std::uint32_t kPtShort = 0x0002, kPtLong = 0x0003, kPtBoolean = 0x000B, kPtI8 = 0x0014,
                        kPtString8 = 0x001E, kPtUnicode = 0x001F, kPtSysTime = 0x0040, kPtBinary = 0x0102,
                        kPtMvBinary = 0x1102;

std::string Tag(std::uint32_t propId) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", propId);
  return text;
}

}  // namespace

PffError::~PffError() {
  if (FError) libpff_error_free(&FError);
}

void PffError::Throw(const std::string& what) const {
  char text[1024] = "";
  if (FError) libpff_error_sprint(FError, text, sizeof text);
  std::string message = what;
  if (text[0]) message += std::string(": ") + text;
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  throw std::runtime_error(message);
}

PffFile OpenPffFile(const std::string& path) {
  PffFile file;
  PffError error;
  if (libpff_file_initialize(file.Out(), error.Out()) != 1) error.Throw("cannot set up libpff");
  if (libpff_file_open(file.Get(), path.c_str(), LIBPFF_OPEN_READ, error.Out()) != 1)
    error.Throw("cannot open " + path);
  return file;
}

std::uint32_t ItemIdentifier(libpff_item_t* item) {
  std::uint32_t id = 0;
  PffError error;
  if (libpff_item_get_identifier(item, &id, error.Out()) != 1) error.Throw("cannot read an item's identifier");
  return id;
}

int SubFolderCount(libpff_item_t* folder) {
  int count = 0;
  PffError error;
  if (libpff_folder_get_number_of_sub_folders(folder, &count, error.Out()) != 1)
    error.Throw("cannot count the sub-folders of folder " + std::to_string(ItemIdentifier(folder)));
  return count;
}

PffItem SubFolder(libpff_item_t* folder, int index) {
  PffItem sub;
  PffError error;
  if (libpff_folder_get_sub_folder(folder, index, sub.Out(), error.Out()) != 1)
    error.Throw("cannot open sub-folder " + std::to_string(index) + " of folder " +
                std::to_string(ItemIdentifier(folder)));
  return sub;
}

PffProps::PffProps(libpff_item_t* item) {
  PffError error;
  if (libpff_item_get_record_set_by_index(item, 0, FSet.Out(), error.Out()) != 1)
    error.Throw("cannot read the properties of item " + std::to_string(ItemIdentifier(item)));
}

PffRecordEntry PffProps::Find(std::uint32_t propId, std::uint32_t& type) const {
  PffRecordEntry entry;
  PffError error;
  const int found = libpff_record_set_get_entry_by_type(FSet.Get(), propId, 0, entry.Out(),
                                                        LIBPFF_ENTRY_VALUE_FLAG_MATCH_ANY_VALUE_TYPE, error.Out());
  if (found == -1) error.Throw("cannot look up property " + Tag(propId));
  if (found == 0) return PffRecordEntry();
  if (libpff_record_entry_get_value_type(entry.Get(), &type, error.Out()) != 1)
    error.Throw("cannot read the type of property " + Tag(propId));
  return entry;
}

std::string PffProps::Data(libpff_record_entry_t* entry) const {
  std::size_t size = 0;
  PffError error;
  if (libpff_record_entry_get_data_size(entry, &size, error.Out()) != 1) error.Throw("cannot size a value");
  std::string data(size, '\0');
  if (size != 0 && libpff_record_entry_get_data(entry, reinterpret_cast<std::uint8_t*>(data.data()), size,
                                                error.Out()) != 1)
    error.Throw("cannot read a value");
  return data;
}

std::optional<std::string> PffProps::Text(std::uint32_t propId) const {
  std::uint32_t type = 0;
  PffRecordEntry entry = Find(propId, type);
  if (!entry || (type != kPtString8 && type != kPtUnicode)) return std::nullopt;
  if (Data(entry.Get()).empty()) return std::string();
  std::size_t size = 0;
  PffError error;
  if (libpff_record_entry_get_data_as_utf8_string_size(entry.Get(), &size, error.Out()) != 1)
    error.Throw("cannot size text property " + Tag(propId));
  std::string text(size, '\0');
  if (size != 0 && libpff_record_entry_get_data_as_utf8_string(
                       entry.Get(), reinterpret_cast<std::uint8_t*>(text.data()), size, error.Out()) != 1)
    error.Throw("cannot read text property " + Tag(propId));
  const std::size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

std::optional<std::string> PffProps::Binary(std::uint32_t propId) const {
  std::uint32_t type = 0;
  PffRecordEntry entry = Find(propId, type);
  if (!entry || type != kPtBinary) return std::nullopt;
  return Data(entry.Get());
}

std::optional<std::int64_t> PffProps::Number(std::uint32_t propId) const {
  std::uint32_t type = 0;
  PffRecordEntry entry = Find(propId, type);
  if (!entry) return std::nullopt;
  if (type != kPtShort && type != kPtLong && type != kPtI8 && type != kPtBoolean && type != kPtSysTime)
    return std::nullopt;
  const std::string data = Data(entry.Get());
  if (data.empty() || data.size() > 8) return std::nullopt;
  std::uint64_t value = 0;  // little-endian, as the file stores it
  for (std::size_t i = data.size(); i-- > 0;) value = value << 8 | static_cast<unsigned char>(data[i]);
  if (type == kPtShort) return static_cast<std::int16_t>(value);
  if (type == kPtLong) return static_cast<std::int32_t>(value);
  return static_cast<std::int64_t>(value);
}

std::vector<std::string> PffProps::BinaryList(std::uint32_t propId) const {
  std::uint32_t type = 0;
  PffRecordEntry entry = Find(propId, type);
  std::vector<std::string> values;
  if (!entry || type != kPtMvBinary) return values;
  PffMultiValue list;
  PffError error;
  if (libpff_record_entry_get_multi_value(entry.Get(), list.Out(), error.Out()) != 1)
    error.Throw("cannot read list property " + Tag(propId));
  int count = 0;
  if (libpff_multi_value_get_number_of_values(list.Get(), &count, error.Out()) != 1)
    error.Throw("cannot count list property " + Tag(propId));
  for (int i = 0; i < count; ++i) {
    std::size_t size = 0;
    if (libpff_multi_value_get_value_binary_data_size(list.Get(), i, &size, error.Out()) != 1)
      error.Throw("cannot size list property " + Tag(propId));
    std::string value(size, '\0');
    if (size != 0 && libpff_multi_value_get_value_binary_data(
                         list.Get(), i, reinterpret_cast<std::uint8_t*>(value.data()), size, error.Out()) != 1)
      error.Throw("cannot read list property " + Tag(propId));
    values.push_back(std::move(value));
  }
  return values;
}
