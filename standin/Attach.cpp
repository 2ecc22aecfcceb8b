// IAttach: the properties of one attachment, and its values whole as streams.
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Attach final : public ComObject<AttachDefaults> {
 public:
  Attach(AttachmentData data, OpenedIn in, OpenSlot slot)
      : FData(std::move(data)), FIn(std::move(in)), FSlot(std::move(slot)) {}

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(AttachmentProps(FData), FData.DisplayName(), FIn.store.get(), tags, flags, count, values);
  }

  STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG options, ULONG flags, LPUNKNOWN* out) override {
    auto lock = LockState();
    return OpenPropertyStream(AttachmentProps(FData), FData.DisplayName(), FIn.store, tag, iid, options, flags, out);
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IAttachment};
    return kInterfaces;
  }

 private:
  AttachmentData FData;
  OpenedIn FIn;
  OpenSlot FSlot;
  TypeCount FCount{ObjectType::Attachment};
};

}  // namespace

IAttach* NewAttach(AttachmentData attachment, OpenedIn in, OpenSlot slot) {
  return new Attach(std::move(attachment), std::move(in), std::move(slot));
}

}  // namespace standin
