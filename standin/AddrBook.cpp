// IAddrBook: opened at logon and released at logoff; it serves nothing.
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/Objects.h"

namespace standin {
namespace {

class AddrBook final : public ComObject<AddrBookDefaults> {
 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IAddrBook};
    return kInterfaces;
  }
};

}  // namespace

IAddrBook* NewAddrBook() { return new AddrBook(); }

}  // namespace standin
