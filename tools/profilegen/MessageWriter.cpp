#include "tools/profilegen/MessageWriter.h"

#include <stdexcept>

using nlohmann::ordered_json;

namespace {

void ReplayValues(const ordered_json& object, MessageWriter& to) {
  for (const auto& [key, value] : object.items()) {
    if (key == "attachments") {
      for (const ordered_json& attachment : value) {
        to.BeginAttachment();
        ReplayValues(attachment, to);
        to.EndAttachment();
      }
    } else if (value.is_string()) {
      to.Text(key.c_str(), value.get<std::string>());
    } else if (value.is_number_integer()) {
      to.Number(key.c_str(), value.get<std::int64_t>());
    } else {
      throw std::logic_error("a generated message holds a value of another kind: " + key);
    }
  }
}

}  // namespace

void Replay(const ordered_json& message, MessageWriter& to) { ReplayValues(message, to); }
