// Owners of libpff handles and a reader of an item's properties (its first
// record set), so every handle is freed once on every path and every libpff
// failure becomes an exception that names the call and libpff's own message.
#pragma once

#include <libpff.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Collects libpff's error for one call.
class PffError {
 public:
  PffError() = default;
  PffError(const PffError&) = delete;
  PffError& operator=(const PffError&) = delete;
  ~PffError();
  libpff_error_t** Out() { return &FError; }
  // "<what>: <libpff's message>"; throws it as std::runtime_error.
  [[noreturn]] void Throw(const std::string& what) const;

 private:
  libpff_error_t* FError = nullptr;
};

template <class T, int (*Free)(T**, libpff_error_t**)>
class PffOwner {
 public:
  PffOwner() = default;
  PffOwner(const PffOwner&) = delete;
  PffOwner& operator=(const PffOwner&) = delete;
  PffOwner(PffOwner&& other) noexcept : FHandle(other.FHandle) { other.FHandle = nullptr; }
  PffOwner& operator=(PffOwner&& other) noexcept {
    std::swap(FHandle, other.FHandle);
    return *this;
  }
  ~PffOwner() {
    if (FHandle) Free(&FHandle, nullptr);
  }
  T* Get() const { return FHandle; }
  T** Out() { return &FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }

 private:
  T* FHandle = nullptr;
};

using PffFile = PffOwner<libpff_file_t, libpff_file_free>;
using PffItem = PffOwner<libpff_item_t, libpff_item_free>;
using PffRecordSet = PffOwner<libpff_record_set_t, libpff_record_set_free>;
using PffRecordEntry = PffOwner<libpff_record_entry_t, libpff_record_entry_free>;
using PffMultiValue = PffOwner<libpff_multi_value_t, libpff_multi_value_free>;

// Opens a file for reading; throws with the path on failure.
PffFile OpenPffFile(const std::string& path);
std::uint32_t ItemIdentifier(libpff_item_t* item);
PffItem SubFolder(libpff_item_t* folder, int index);
int SubFolderCount(libpff_item_t* folder);

// The properties of one item. A property of an unexpected type counts as
// missing; a read that fails throws.
class PffProps {
 public:
  explicit PffProps(libpff_item_t* item);
  // PT_STRING8 (in the file's ANSI code page) or PT_UNICODE, as UTF-8 up to
  // the first NUL.
  std::optional<std::string> Text(std::uint32_t propId) const;
  // PT_BINARY bytes.
  std::optional<std::string> Binary(std::uint32_t propId) const;
  // PT_SHORT, PT_LONG, PT_I8, PT_BOOLEAN or PT_SYSTIME (FILETIME ticks).
  std::optional<std::int64_t> Number(std::uint32_t propId) const;
  // PT_MV_BINARY values.
  std::vector<std::string> BinaryList(std::uint32_t propId) const;

 private:
  // The entry of that property id with any type; empty when absent.
  PffRecordEntry Find(std::uint32_t propId, std::uint32_t& type) const;
  std::string Data(libpff_record_entry_t* entry) const;

  PffRecordSet FSet;
};
