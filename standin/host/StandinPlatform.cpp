#include "standin/host/StandinPlatform.h"

#include "standin/StandinControl.h"

namespace host {
namespace {

std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
  return result;
}

template <class Fn>
Fn As(FARPROC proc) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

FARPROC TStandinPlatform::Export(const char* name) const {
  return provider_ != nullptr ? GetProcAddress(provider_, name) : nullptr;
}

HRESULT TStandinPlatform::Open(const std::wstring& profile, std::wstring* error) {
  mapi_ = LoadLibraryW(L"MAPI32.DLL");
  provider_ = GetModuleHandleA(STANDIN_DLL_NAME);
  if (mapi_ == nullptr || provider_ == nullptr) {
    *error = L"MAPI32.DLL does not forward to QuopStandin.dll (run ./quop setup)";
    return E_FAIL;
  }
  if (profile.empty()) return S_OK;
  auto load = As<STANDIN_LOADPROFILE>(Export("StandinLoadProfile"));
  HRESULT hr = load != nullptr ? load(Narrow(profile).c_str()) : E_NOTIMPL;
  if (FAILED(hr)) *error = L"cannot load the profile " + profile;
  return hr;
}

HRESULT TStandinPlatform::CreateApplication(_Application** application) {
  auto create = As<STANDIN_CREATEAPPLICATION>(Export("StandinCreateApplication"));
  if (create == nullptr) return E_NOTIMPL;
  TComPtr<IDispatch> dispatch;
  HRESULT hr = create(&dispatch);
  if (FAILED(hr)) return hr;
  return dispatch->QueryInterface(IID__Application, reinterpret_cast<void**>(application));
}

HRESULT TStandinPlatform::SaveProfile(const std::wstring& path) {
  auto save = As<STANDIN_SAVEPROFILE>(Export("StandinSaveProfile"));
  return save != nullptr ? save(Narrow(path).c_str()) : E_NOTIMPL;
}

void TStandinPlatform::Close() {
  if (mapi_ != nullptr) FreeLibrary(mapi_);
  mapi_ = nullptr;
  provider_ = nullptr;
}

}  // namespace host
