// The library's exports and resources: the export directory, the class
// object, the unload answer and the embedded type library.
#include <gtest/gtest.h>

#include <ocidl.h>

#include <map>
#include <string>

#include "support/BstrHolder.h"
#include "support/ComPtr.h"
#include "tests/addin/ServerIds.h"
#include "tests/addin/ServerLibrary.h"

namespace {

const GUID kClassId = GuidOf(kClassIdText);

class ServerExports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }
  static void TearDownTestSuite() { CoUninitialize(); }
  TServerLibrary FServer{BuiltServerPath()};
};

TEST_F(ServerExports, ExportDirectoryNamesTheModuleAndTheFiveOrdinals) {
  ASSERT_TRUE(FServer.Loaded());
  const auto* base = reinterpret_cast<const BYTE*>(FServer.Module());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);

  EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "QuopDuplicate.dll");
  EXPECT_EQ(exports->Base, 1u);
  EXPECT_EQ(exports->NumberOfFunctions, 5u);
  std::map<std::string, DWORD> ordinals;
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* nameOrdinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    ordinals[reinterpret_cast<const char*>(base + names[i])] = exports->Base + nameOrdinals[i];
  }
  const std::map<std::string, DWORD> expected = {
      {"DllUnregisterServer", 1}, {"DllRegisterServer", 2}, {"DllCanUnloadNow", 3}, {"DllGetClassObject", 4},
      {"DllInstall", 5}};
  EXPECT_EQ(ordinals, expected);
  for (const auto& [name, ordinal] : expected) {
    EXPECT_EQ(GetProcAddress(FServer.Module(), MAKEINTRESOURCEA(ordinal)), GetProcAddress(FServer.Module(), name.c_str()))
        << name;
  }
}

TEST_F(ServerExports, ClassObjectOfAnotherClassIsNotAvailable) {
  ASSERT_TRUE(FServer.Loaded());
  const GUID others[] = {GuidOf(kLibIdText), GuidOf(kAddInIidText), CLSID_StdGlobalInterfaceTable, GUID_NULL};
  for (const GUID& other : others) {
    void* pObject = reinterpret_cast<void*>(&FServer);  // anything but null
    EXPECT_EQ(FServer.GetClassObject(other, IID_IClassFactory, &pObject), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pObject, nullptr);
  }
}

TEST_F(ServerExports, ClassObjectAnswersForTheFactoryInterfacesOnly) {
  ASSERT_TRUE(FServer.Loaded());
  const struct {
    const IID* iid;
    HRESULT hr;
  } cases[] = {{&IID_IClassFactory, S_OK}, {&IID_IUnknown, S_OK}, {&IID_IDispatch, E_NOINTERFACE},
               {&IID_IClassFactory2, E_NOINTERFACE}};
  for (const auto& c : cases) {
    TComPtr<IUnknown> object;
    EXPECT_EQ(FServer.GetClassObject(kClassId, *c.iid, reinterpret_cast<void**>(&object)), c.hr);
    EXPECT_EQ(static_cast<bool>(object), c.hr == S_OK);
  }
}

TEST_F(ServerExports, FactoryMakesANewAddInEachTimeAndRefusesAggregation) {
  ASSERT_TRUE(FServer.Loaded());
  TComPtr<IClassFactory> factory;
  ASSERT_EQ(FServer.GetClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  TComPtr<IUnknown> first, second;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&first)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_NE(first.Get(), second.Get());
  // The add-in's IDispatch is served from the embedded type library.
  TComPtr<IDispatch> dispatch;
  ASSERT_EQ(first->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  UINT nCount = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&nCount), S_OK);
  EXPECT_EQ(nCount, 1u);

  TComPtr<IUnknown> aggregated;
  EXPECT_EQ(factory->CreateInstance(first.Get(), IID_IUnknown, reinterpret_cast<void**>(&aggregated)),
            CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(aggregated);
}

// What keeps the library loaded: a factory reference, a server lock and an
// add-in object (with the factory given back).
TEST_F(ServerExports, CanUnloadOnlyWithoutObjectsOrFactoryReferences) {
  ASSERT_TRUE(FServer.Loaded());
  ASSERT_EQ(FServer.CanUnloadNow(), S_OK);
  enum class THold { FactoryReference, ServerLock, AddInObject };
  for (const THold hold : {THold::FactoryReference, THold::ServerLock, THold::AddInObject}) {
    SCOPED_TRACE(static_cast<int>(hold));
    TComPtr<IClassFactory> factory;
    ASSERT_EQ(FServer.GetClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    TComPtr<IUnknown> object;
    if (hold == THold::ServerLock) {
      ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    }
    if (hold == THold::AddInObject) {
      ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    }
    if (hold != THold::FactoryReference) factory.Reset();

    EXPECT_EQ(FServer.CanUnloadNow(), S_FALSE);

    if (hold == THold::ServerLock) {
      TComPtr<IClassFactory> again;
      ASSERT_EQ(FServer.GetClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&again)), S_OK);
      again->LockServer(FALSE);
    }
    factory.Reset();
    object.Reset();
    EXPECT_EQ(FServer.CanUnloadNow(), S_OK);
  }
}

std::wstring Documentation(ITypeInfo* info) {
  TBstr name, doc;
  info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr);
  return name.Wide() + L"|" + doc.Wide();
}

TEST_F(ServerExports, EmbeddedTypeLibraryDescribesTheAddInClass) {
  TComPtr<ITypeLib> lib;
  ASSERT_EQ(LoadTypeLibEx(BuiltServerPath().c_str(), REGKIND_NONE, &lib), S_OK);
  TLIBATTR* libAttr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&libAttr), S_OK);
  EXPECT_TRUE(IsEqualGUID(libAttr->guid, GuidOf(kLibIdText)));
  EXPECT_EQ(libAttr->wMajorVerNum, 1);
  EXPECT_EQ(libAttr->wMinorVerNum, 0);
  EXPECT_EQ(libAttr->syskind, SYS_WIN32);
  lib->ReleaseTLibAttr(libAttr);
  TBstr libName, libDoc;
  ASSERT_EQ(lib->GetDocumentation(-1, &libName, &libDoc, nullptr, nullptr), S_OK);
  EXPECT_EQ(libName.Wide(), L"QuopDuplicate");
  EXPECT_EQ(libDoc.Wide(), L"QuopDuplicate Library");

  TComPtr<ITypeInfo> addIn;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(GuidOf(kAddInIidText), &addIn), S_OK);
  EXPECT_EQ(Documentation(addIn.Get()), L"ITAddIn|Dispatch interface for TAddIn Object");
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(addIn->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->wTypeFlags & TYPEFLAG_FDUAL, TYPEFLAG_FDUAL);
  EXPECT_EQ(attr->cFuncs, 9);  // IDispatch's own and the two ribbon callbacks
  addIn->ReleaseTypeAttr(attr);
  // The ribbon calls its callbacks by name.
  for (const wchar_t* szName : {L"OnTwinsweeps", L"GetTwinsweepsImage"}) {
    LPOLESTR name = const_cast<LPOLESTR>(szName);
    MEMBERID id = MEMBERID_NIL;
    EXPECT_EQ(addIn->GetIDsOfNames(&name, 1, &id), S_OK) << std::string(szName, szName + wcslen(szName));
    EXPECT_NE(id, MEMBERID_NIL);
  }
  // The v-table side of the dual interface: automation compatible.
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(addIn->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
  TComPtr<ITypeInfo> vtable;
  ASSERT_EQ(addIn->GetRefTypeInfo(vtableRef, &vtable), S_OK);
  ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  vtable->ReleaseTypeAttr(attr);

  TComPtr<ITypeInfo> coclass;
  ASSERT_EQ(lib->GetTypeInfoOfGuid(kClassId, &coclass), S_OK);
  EXPECT_EQ(Documentation(coclass.Get()), L"AddIn|" + kDescription);
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_EQ(attr->cImplTypes, 1);
  coclass->ReleaseTypeAttr(attr);
  INT nFlags = 0;
  EXPECT_EQ(coclass->GetImplTypeFlags(0, &nFlags), S_OK);
  EXPECT_EQ(nFlags & IMPLTYPEFLAG_FDEFAULT, IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE ref = 0;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
  TComPtr<ITypeInfo> implemented;
  ASSERT_EQ(coclass->GetRefTypeInfo(ref, &implemented), S_OK);
  EXPECT_EQ(Documentation(implemented.Get()), L"ITAddIn|Dispatch interface for TAddIn Object");
}

TEST_F(ServerExports, CarriesItsResources) {
  ASSERT_TRUE(FServer.Loaded());
  const struct {
    LPCWSTR type;
    LPCWSTR name;
  } resources[] = {
      {L"TYPELIB", MAKEINTRESOURCEW(1)},
      {MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1)},  // RT_VERSION, VS_VERSION_INFO
      {MAKEINTRESOURCEW(2), L"OUTLOOK_FOLDERS"},    // RT_BITMAP
      {MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2)},  // RT_MANIFEST, isolation aware
      {MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(3)},  // RT_GROUP_ICON, the ribbon button's
  };
  for (const auto& r : resources) {
    EXPECT_NE(FindResourceW(FServer.Module(), r.name, r.type), nullptr);
  }
  HANDLE bitmap = LoadImageW(FServer.Module(), L"OUTLOOK_FOLDERS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(bitmap, nullptr);
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 15 * 16);
  EXPECT_EQ(info.bmHeight, 16);
  DeleteObject(bitmap);
}

}  // namespace
