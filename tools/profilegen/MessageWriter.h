// Where a generated message's values go as they are made, by their profile
// key names ("subject", "submitTime" …): into the JSON object a profile
// holds, or straight into whatever else keeps messages (the stand-in's
// generated stores), so that one code makes a message for both.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

class MessageWriter {
 public:
  virtual ~MessageWriter() = default;
  // A value; a key given again replaces its value where it stands.
  virtual void Text(const char* key, std::string value) = 0;
  virtual void Number(const char* key, std::int64_t value) = 0;
  // A value given before (a near copy changes one).
  virtual std::string TextOf(const char* key) const = 0;
  virtual std::int64_t NumberOf(const char* key) const = 0;
  // The values between these two are an attachment's, the next one after
  // those written so far.
  virtual void BeginAttachment() = 0;
  virtual void EndAttachment() = 0;
  // False for a writer that wants no "body" (a table row): the generator
  // then spares itself making it, and draws the same numbers all the same.
  virtual bool TakesBody() const { return true; }
};

// Into a JSON object, keys in the order first given.
class JsonMessageWriter final : public MessageWriter {
 public:
  explicit JsonMessageWriter(nlohmann::ordered_json& message) : FMessage(message), FTarget(&message) {}
  void Text(const char* key, std::string value) override { (*FTarget)[key] = std::move(value); }
  void Number(const char* key, std::int64_t value) override { (*FTarget)[key] = value; }
  std::string TextOf(const char* key) const override { return FTarget->at(key).get<std::string>(); }
  std::int64_t NumberOf(const char* key) const override { return FTarget->at(key).get<std::int64_t>(); }
  void BeginAttachment() override { FTarget = &FAttachment; }
  void EndAttachment() override {
    FMessage["attachments"].push_back(std::move(FAttachment));
    FAttachment = nlohmann::ordered_json();
    FTarget = &FMessage;
  }

 private:
  nlohmann::ordered_json& FMessage;
  nlohmann::ordered_json FAttachment;
  nlohmann::ordered_json* FTarget;
};

// Writes a message object a profile holds (texts, numbers, attachments) to `to`.
void Replay(const nlohmann::ordered_json& message, MessageWriter& to);
