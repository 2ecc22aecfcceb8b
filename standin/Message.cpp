// IMessage: properties, values whole as streams, the attachment table and
// attachments by number.
#include "standin/Calls.h"
#include "standin/ComObject.h"
#include "standin/NoSupport.h"
#include "standin/ObjectCounts.h"
#include "standin/Objects.h"
#include "standin/State.h"

namespace standin {
namespace {

class Message final : public ComObject<MessageDefaults> {
 public:
  Message(std::shared_ptr<const MessageData> data, OpenedIn in, OpenSlot slot)
      : FData(std::move(data)), FIn(std::move(in)), FSlot(std::move(slot)) {}
  const std::shared_ptr<const MessageData>& Data() const { return FData; }

  STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    auto lock = LockState();
    return ServeProps(FData->served, FData->Subject(), FIn.store.get(), tags, flags, count, values);
  }

  STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG options, ULONG flags, LPUNKNOWN* out) override {
    auto lock = LockState();
    return OpenPropertyStream(FData->served, FData->Subject(), FIn.store, tag, iid, options, flags, out);
  }

  STDMETHODIMP GetAttachmentTable(ULONG flags, LPMAPITABLE* table) override {
    auto lock = LockState();
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (HRESULT hr = ServeCall("GetAttachmentTable", FData->Subject(), FIn.store.get()); FAILED(hr)) return hr;
    std::vector<PropBag> rows;
    for (const auto& a : FData->attachments) rows.push_back(AttachmentProps(a));
    *table = NewTable(FData->Subject(), RowsOf(std::move(rows)), {PR_ATTACH_NUM, PR_ATTACH_METHOD, PR_DISPLAY_NAME_A},
                      TableOptions{FIn.store, (flags & MAPI_UNICODE) != 0});
    return S_OK;
  }

  STDMETHODIMP OpenAttach(ULONG number, LPCIID iid, ULONG /*flags*/, LPATTACH* out) override {
    auto lock = LockState();
    if (out == nullptr) return MAPI_E_INVALID_PARAMETER;
    *out = nullptr;
    const AttachmentData* found = nullptr;
    for (const auto& a : FData->attachments) {
      if (found == nullptr && a.Num() == static_cast<LONG>(number)) found = &a;
    }
    const std::string name = found != nullptr ? found->DisplayName() : std::string();
    if (HRESULT hr = ServeCall("OpenAttach", FData->Subject(), FIn.store.get(), name); FAILED(hr)) return hr;
    if (found == nullptr) return MAPI_E_NOT_FOUND;
    if (iid != nullptr && !IsEqualIID(*iid, IID_IAttachment) && !IsEqualIID(*iid, IID_IMAPIProp) &&
        !IsEqualIID(*iid, IID_IUnknown))
      return MAPI_E_INTERFACE_NOT_SUPPORTED;
    OpenSlot slot;
    if (FIn.store) {
      if (HRESULT hr = Logon::Reserve(FIn.logon, *FIn.store, Limited::Attachment, slot); FAILED(hr)) return hr;
    }
    *out = NewAttach(*found, FIn, std::move(slot));
    return S_OK;
  }

 protected:
  std::span<const IID* const> Interfaces() const override {
    static const IID* const kInterfaces[] = {&IID_IUnknown, &IID_IMAPIProp, &IID_IMessage};
    return kInterfaces;
  }

 private:
  std::shared_ptr<const MessageData> FData;
  OpenedIn FIn;
  OpenSlot FSlot;
  TypeCount FCount{ObjectType::Message};
};

}  // namespace

// Messages serve no writes, so the access asked for makes no difference.
IMessage* NewMessage(std::shared_ptr<const MessageData> message, bool /*writable*/, OpenedIn in, OpenSlot slot) {
  return new Message(std::move(message), std::move(in), std::move(slot));
}

std::shared_ptr<const MessageData> MessageBehind(void* message) {
  auto* own = dynamic_cast<Message*>(static_cast<IMessage*>(message));
  return own != nullptr ? own->Data() : nullptr;
}

}  // namespace standin
