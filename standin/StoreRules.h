// How a store of the profile answers: its kind (a PST, an Exchange mailbox
// in cached or in online mode), whether it is a Unicode store, and its
// limits. A limit left out of the profile takes its kind's default.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace standin {

enum class StoreKind { Pst, ExchangeCached, ExchangeOnline };

// "pst", "exchange-cached", "exchange-online"; nullopt for another text.
std::optional<StoreKind> StoreKindNamed(const std::string& name);
const char* StoreKindName(StoreKind kind);

// The kinds of objects a session may hold only so many of at once.
enum class Limited { Message, Folder, Attachment };

struct StoreRules {
  StoreKind kind = StoreKind::Pst;
  // What the profile gives; absent: the kind's default below.
  std::optional<bool> unicode;
  std::optional<ULONG> largePropertyLimit;
  std::optional<ULONG> responseLimit;
  std::optional<ULONG> maxOpenMessages;
  std::optional<ULONG> maxOpenFolders;
  std::optional<ULONG> maxOpenAttachments;
  std::optional<ULONG> maxRowsPerQuery;
  std::optional<ULONG> callMicroseconds;

  bool Unicode() const { return unicode.value_or(true); }
  // Bytes a string or binary value may have to come back through GetProps.
  std::optional<ULONG> LargePropertyLimit() const;
  // Bytes a whole GetProps answer may have (Exchange's response buffer).
  std::optional<ULONG> ResponseLimit() const;
  std::optional<ULONG> MaxOpen(Limited what) const;
  std::optional<ULONG> MaxRowsPerQuery() const;
  ULONG CallMicroseconds() const { return callMicroseconds.value_or(0); }

 private:
  bool Online() const { return kind == StoreKind::ExchangeOnline; }
  // An explicit value, else `fallback` for an online store only.
  std::optional<ULONG> OnlineDefault(const std::optional<ULONG>& given, ULONG fallback) const;
};

}  // namespace standin
