// Messages and attachments in the profile's JSON form, read into the
// model's values and written back; the same reading serves a profile file
// and a generated store's messages, so both answer alike.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "standin/Model.h"
#include "tools/profilegen/MessageWriter.h"

namespace standin {

// Two uppercase hexadecimal digits per byte, no separators.
std::string ToHex(const Bytes& bytes);
// Throws std::runtime_error naming `what` for a text that is not hex bytes.
Bytes FromHex(const std::string& text, const char* what);

// A message object's values and attachments; its "id" as bytes into `id`
// when it has one. Throws for a value that breaks the format.
MessageContent ReadMessage(const nlohmann::ordered_json& message, std::optional<Bytes>& id);
nlohmann::ordered_json WriteMessage(const MessageData& message);

// A generated message's values taken as they are made, into what
// ReadMessage would give for its JSON object, without the object. Without
// `whole`, for a table row: no body, and each attachment an empty one.
class ContentWriter final : public MessageWriter {
 public:
  explicit ContentWriter(bool whole = true);
  void Text(const char* key, std::string value) override;
  void Number(const char* key, std::int64_t value) override;
  std::string TextOf(const char* key) const override;
  std::int64_t NumberOf(const char* key) const override;
  void BeginAttachment() override;
  void EndAttachment() override { FInAttachment = false; }
  bool TakesBody() const override { return FWhole; }
  // The values in the order ReadMessage gives them; a row's in any order.
  MessageContent Take();

 private:
  PropBag& Target() { return FInAttachment ? FContent.attachments.back().props : FContent.props; }
  const PropBag& Target() const { return FInAttachment ? FContent.attachments.back().props : FContent.props; }
  MessageContent FContent;
  bool FWhole;
  bool FInAttachment = false;
};

// A fault's property: a message key name ("body"), a hex text or a number.
ULONG ReadPropTag(const nlohmann::ordered_json& prop);

}  // namespace standin
