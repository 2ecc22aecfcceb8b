#include "standin/host/RibbonControl.h"

#include "standin/host/HostObject.h"
#include "standin/host/Variants.h"

namespace host {
namespace {

constexpr DISPID kIdDispId = 1, kContextDispId = 2, kTagDispId = 3;

class HostRibbonControl final : public HostObject<IRibbonControl> {
 public:
  HostRibbonControl(std::wstring id, std::wstring tag, TComPtr<IDispatch> context)
      : id_(std::move(id)), tag_(std::move(tag)), context_(std::move(context)) {}

  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override { return GiveText(id_, id); }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override { return GiveText(tag_, tag); }
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
    if (context == nullptr) return E_POINTER;
    *context = context_.Get();
    if (*context != nullptr) (*context)->AddRef();
    return S_OK;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return GiveValue(0, count); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count != 1) return DISP_E_UNKNOWNNAME;
    const struct {
      const wchar_t* name;
      DISPID id;
    } members[] = {{L"Id", kIdDispId}, {L"Context", kContextDispId}, {L"Tag", kTagDispId}};
    for (const auto& member : members) {
      if (lstrcmpiW(names[0], member.name) == 0) {
        ids[0] = member.id;
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    switch (id) {
      case kIdDispId:
        result->vt = VT_BSTR;
        return get_Id(&result->bstrVal);
      case kTagDispId:
        result->vt = VT_BSTR;
        return get_Tag(&result->bstrVal);
      case kContextDispId:
        result->vt = VT_DISPATCH;
        return get_Context(&result->pdispVal);
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 protected:
  void* Find(REFIID riid) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IRibbonControl)) {
      return static_cast<IRibbonControl*>(this);
    }
    return nullptr;
  }

 private:
  std::wstring id_, tag_;
  TComPtr<IDispatch> context_;
};

}  // namespace

TComPtr<IRibbonControl> NewRibbonControl(std::wstring id, std::wstring tag, TComPtr<IDispatch> context) {
  return TComPtr<IRibbonControl>(new HostRibbonControl(std::move(id), std::move(tag), std::move(context)));
}

HRESULT InvokeRibbonCallback(IDispatch* addIn, const std::wstring& callback, IRibbonControl* control,
                             VARIANT* result) {
  if (addIn == nullptr || control == nullptr) return E_POINTER;
  LPOLESTR name = const_cast<LPOLESTR>(callback.c_str());
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = addIn->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = control;  // borrowed for the call
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXCEPINFO exception{};
  UINT argError = 0;
  hr = addIn->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &exception, &argError);
  if (hr == DISP_E_EXCEPTION) {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  return hr;
}

}  // namespace host
