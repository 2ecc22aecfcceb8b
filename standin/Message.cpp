// IMessage: properties, the attachment table and attachments by number.
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Message final : public ComObject<MessageDefaults> {
 public:
  explicit Message(std::shared_ptr<MessageData> data) : FData(std::move(data)) {}
  const std::shared_ptr<MessageData>& Data() const { return FData; }

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(MessageProps(*FData), FData->Subject(), tags, flags, count, values);
  }

  STDMETHODIMP GetAttachmentTable(ULONG flags, LPMAPITABLE* table) override {
    auto lock = LockState();
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if ((flags & MAPI_UNICODE) != 0) return MAPI_E_BAD_CHARWIDTH;
    if (HRESULT hr = Global().faults.Check("GetAttachmentTable", FData->Subject()); FAILED(hr)) return hr;
    std::vector<PropBag> rows;
    for (const auto& a : FData->attachments) rows.push_back(AttachmentProps(a));
    *table = NewTable(FData->Subject(), std::move(rows), {PR_ATTACH_NUM, PR_ATTACH_METHOD, PR_DISPLAY_NAME_A});
    return S_OK;
  }

  STDMETHODIMP OpenAttach(ULONG number, LPCIID iid, ULONG /*flags*/, LPATTACH* out) override {
    auto lock = LockState();
    if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
    *out = nullptr;
    for (const auto& a : FData->attachments) {
      if (a.Num() != static_cast<LONG>(number)) continue;
      if (HRESULT hr = Global().faults.Check("OpenAttach", FData->Subject(), a.DisplayName()); FAILED(hr)) return hr;
      if (iid != nullptr && !IsEqualIID(*iid, IID_IAttachment) && !IsEqualIID(*iid, IID_IMAPIProp) &&
          !IsEqualIID(*iid, IID_IUnknown))
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
      *out = NewAttach(a);
      return S_OK;
    }
    return MAPI_E_NOT_FOUND;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IMessage};
    return kInterfaces;
  }

 private:
  std::shared_ptr<MessageData> FData;
};

}  // namespace

// Messages serve no writes, so the access asked for makes no difference.
IMessage* NewMessage(std::shared_ptr<MessageData> message, bool /*writable*/) {
  return new Message(std::move(message));
}

std::shared_ptr<MessageData> MessageBehind(void* message) {
  auto* own = dynamic_cast<Message*>(static_cast<IMessage*>(message));
  return own != nullptr ? own->Data() : nullptr;
}

}  // namespace standin
