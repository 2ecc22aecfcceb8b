// MAPI objects open now and at most at once, by type, for the control API.
#pragma once

#include <optional>
#include <string_view>

namespace standin {

enum class ObjectType { Message, Folder, Attachment, Table, Stream, Store };

// "message", "folder", "attachment", "table", "stream", "store"; nullopt for
// another name ("all" is the sum, asked for separately).
std::optional<ObjectType> ObjectTypeNamed(std::string_view name);

// Counts one object of its type while it lives: a member of each class.
class TypeCount {
 public:
  explicit TypeCount(ObjectType type);
  ~TypeCount();
  TypeCount(const TypeCount&) = delete;
  TypeCount& operator=(const TypeCount&) = delete;

 private:
  ObjectType FType;
};

long OpenNow(ObjectType type);
long OpenNowAll();
long PeakOpen(ObjectType type);
long PeakOpenAll();  // the peak of the total of all types
// Peaks start again from what is open now.
void ResetPeaks();

}  // namespace standin
