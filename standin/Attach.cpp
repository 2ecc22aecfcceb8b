// IAttach: the properties of one attachment.
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Attach final : public ComObject<AttachDefaults> {
 public:
  explicit Attach(AttachmentData data) : FData(std::move(data)) {}

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(AttachmentProps(FData), FData.DisplayName(), tags, flags, count, values);
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IAttachment};
    return kInterfaces;
  }

 private:
  AttachmentData FData;
};

}  // namespace

IAttach* NewAttach(AttachmentData attachment) { return new Attach(std::move(attachment)); }

}  // namespace standin
