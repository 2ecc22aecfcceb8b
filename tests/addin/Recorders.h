// Implementations of the Outlook and Office interfaces for tests: every
// method records its name and answers a chosen result, so a test can see
// which member a v-table slot or a call of the call layer reached.
#pragma once

#pragma GCC diagnostic ignored "-Wunused-parameter"

#include <string>

#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"

struct Recorder {
  std::string last;        // the member that ran last
  HRESULT result = S_OK;   // what every member answers
  HRESULT Ran(const char* member) {
    last = member;
    return result;
  }
};

#define QUOP_TEST_RECORD(name, params) \
  HRESULT STDMETHODCALLTYPE name params override { return Ran(#name); }

// IUnknown and IDispatch; the references are not counted (the objects live
// on the test's stack).
template <class I>
class Recording : public I, public Recorder {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    Ran("QueryInterface");
    if (FAILED(result)) return result;
    if (out != nullptr) *out = queryAnswer;
    return queryAnswer != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    Ran("AddRef");
    return 1;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    Ran("Release");
    return 1;
  }
  QUOP_TEST_RECORD(GetTypeInfoCount, (UINT * count))
  QUOP_TEST_RECORD(GetTypeInfo, (UINT index, LCID lcid, ITypeInfo** info))
  QUOP_TEST_RECORD(GetIDsOfNames, (REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids))
  QUOP_TEST_RECORD(Invoke, (DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excep, UINT* argErr))

  void* queryAnswer = nullptr;  // what QueryInterface hands out
};

// IAccessible on top, for the Office objects that derive from it.
template <class I>
class RecordingAccessible : public Recording<I> {
 public:
  using Recording<I>::Ran;
  QUOP_IACCESSIBLE_METHODS(QUOP_TEST_RECORD)
};

struct RecApplication : Recording<_Application> {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_TEST_RECORD)
  QUOP_APPLICATION_METHODS(QUOP_TEST_RECORD)
};
struct RecNameSpace : Recording<_NameSpace> {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_TEST_RECORD)
  QUOP_NAMESPACE_METHODS(QUOP_TEST_RECORD)
};
struct RecFolders : Recording<_Folders> {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_TEST_RECORD)
  QUOP_FOLDERS_METHODS(QUOP_TEST_RECORD)
};
struct RecMAPIFolder : Recording<MAPIFolder> {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_TEST_RECORD)
  QUOP_MAPIFOLDER_METHODS(QUOP_TEST_RECORD)
};
struct RecExplorer : Recording<_Explorer> {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_TEST_RECORD)
  QUOP_EXPLORER_METHODS(QUOP_TEST_RECORD)
};
struct RecMsoDispObj : Recording<_IMsoDispObj> {
  QUOP_IMSODISPOBJ_METHODS(QUOP_TEST_RECORD)
};
struct RecMsoOleAccDispObj : RecordingAccessible<_IMsoOleAccDispObj> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(QUOP_TEST_RECORD)
};
struct RecCommandBars : Recording<_CommandBars> {
  QUOP_IMSODISPOBJ_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBARS_METHODS(QUOP_TEST_RECORD)
};
struct RecCommandBar : RecordingAccessible<CommandBar> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBAR_METHODS(QUOP_TEST_RECORD)
};
struct RecCommandBarControls : Recording<CommandBarControls> {
  QUOP_IMSODISPOBJ_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBARCONTROLS_METHODS(QUOP_TEST_RECORD)
};
struct RecCommandBarControl : RecordingAccessible<CommandBarControl> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBARCONTROL_METHODS(QUOP_TEST_RECORD)
};
struct RecCommandBarButton : RecordingAccessible<_CommandBarButton> {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBARCONTROL_METHODS(QUOP_TEST_RECORD)
  QUOP_COMMANDBARBUTTON_METHODS(QUOP_TEST_RECORD)
};
struct RecRibbonExtensibility : Recording<IRibbonExtensibility> {
  QUOP_IRIBBONEXTENSIBILITY_METHODS(QUOP_TEST_RECORD)
};
struct RecRibbonControl : Recording<IRibbonControl> {
  QUOP_IRIBBONCONTROL_METHODS(QUOP_TEST_RECORD)
};
