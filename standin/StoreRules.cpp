#include "standin/StoreRules.h"

namespace standin {
namespace {

constexpr struct {
  StoreKind kind;
  const char* name;
} kKinds[] = {{StoreKind::Pst, "pst"},
              {StoreKind::ExchangeCached, "exchange-cached"},
              {StoreKind::ExchangeOnline, "exchange-online"}};

}  // namespace

std::optional<StoreKind> StoreKindNamed(const std::string& name) {
  for (const auto& k : kKinds) {
    if (name == k.name) return k.kind;
  }
  return std::nullopt;
}

const char* StoreKindName(StoreKind kind) {
  for (const auto& k : kKinds) {
    if (kind == k.kind) return k.name;
  }
  return "pst";
}

std::optional<ULONG> StoreRules::OnlineDefault(const std::optional<ULONG>& given, ULONG fallback) const {
  if (given) return given;
  if (Online()) return fallback;
  return std::nullopt;
}

std::optional<ULONG> StoreRules::LargePropertyLimit() const {
  if (largePropertyLimit) return largePropertyLimit;
  // Online, Exchange answers by its response buffer alone.
  if (Online()) return std::nullopt;
  return 16384;
}

std::optional<ULONG> StoreRules::ResponseLimit() const { return OnlineDefault(responseLimit, 32768); }

std::optional<ULONG> StoreRules::MaxOpen(Limited what) const {
  switch (what) {
    case Limited::Message: return OnlineDefault(maxOpenMessages, 250);
    case Limited::Folder: return OnlineDefault(maxOpenFolders, 500);
    case Limited::Attachment: return OnlineDefault(maxOpenAttachments, 500);
  }
  return std::nullopt;
}

std::optional<ULONG> StoreRules::MaxRowsPerQuery() const { return OnlineDefault(maxRowsPerQuery, 100); }

}  // namespace standin
