#include "standin/host/ClassActivation.h"

#include "support/ComPtr.h"

namespace host {
namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes\\";

// The default value of HKCU\Software\Classes\<subKey>, or empty.
std::wstring UserClassText(const std::wstring& subKey) {
  wchar_t value[MAX_PATH * 2];
  DWORD size = sizeof value;
  std::wstring key = kUserClasses + subKey;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

std::wstring ClsidText(const CLSID& clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  return text;
}

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

HRESULT CreateFromUserServer(const CLSID& clsid, REFIID riid, void** out) {
  std::wstring path = UserClassText(L"CLSID\\" + ClsidText(clsid) + L"\\InprocServer32");
  if (path.empty()) return REGDB_E_CLASSNOTREG;
  HMODULE server = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (server == nullptr) return CO_E_DLLNOTFOUND;
  auto getClassObject = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(server, "DllGetClassObject")));
  if (getClassObject == nullptr) return CO_E_ERRORINDLL;
  TComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, riid, out);
}

}  // namespace

HRESULT ResolveProgId(const std::wstring& progId, CLSID* clsid) {
  HRESULT hr = CLSIDFromProgID(progId.c_str(), clsid);
  if (SUCCEEDED(hr)) return hr;
  std::wstring text = UserClassText(progId + L"\\CLSID");
  if (text.empty()) return hr;
  return CLSIDFromString(text.c_str(), clsid);
}

HRESULT CreateInProcess(const CLSID& clsid, REFIID riid, void** out) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, riid, out);
  if (hr != REGDB_E_CLASSNOTREG) return hr;
  return CreateFromUserServer(clsid, riid, out);
}

}  // namespace host
