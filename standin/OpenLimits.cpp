#include "standin/OpenLimits.h"

#include <mapix.h>

#include <utility>

namespace standin {

OpenSlot::OpenSlot(OpenSlot&& other) noexcept
    : FLogon(std::move(other.FLogon)), FStore(std::move(other.FStore)), FWhat(other.FWhat) {}

OpenSlot& OpenSlot::operator=(OpenSlot&& other) noexcept {
  if (this != &other) {
    Reset();
    FLogon = std::move(other.FLogon);
    FStore = std::move(other.FStore);
    FWhat = other.FWhat;
  }
  return *this;
}

void OpenSlot::Reset() {
  if (auto logon = std::exchange(FLogon, nullptr)) logon->GiveBack(FStore, FWhat);
}

HRESULT Logon::Reserve(const std::shared_ptr<Logon>& logon, const StoreData& store, Limited what, OpenSlot& slot) {
  slot.Reset();
  const auto limit = store.rules.MaxOpen(what);
  if (!logon || !limit) return S_OK;
  std::lock_guard lock(logon->FLock);
  ULONG& open = logon->FOpen[store.uid][static_cast<size_t>(what)];
  if (open >= *limit) return MAPI_E_CALL_FAILED;
  ++open;
  slot.FLogon = logon;
  slot.FStore = store.uid;
  slot.FWhat = what;
  return S_OK;
}

void Logon::GiveBack(const Bytes& store, Limited what) {
  std::lock_guard lock(FLock);
  --FOpen[store][static_cast<size_t>(what)];
}

}  // namespace standin
