// The object-model call layer over recording objects: each function calls
// its member, turns a failure into EOleException with the code, refuses a
// null object, and passes its arguments as the host expects them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "om/OutlookCalls.h"
#include "support/AnsiText.h"
#include "tests/addin/Recorders.h"

namespace {

struct Objects {
  RecApplication application;
  RecNameSpace nameSpace;
  RecFolders folders;
  RecMAPIFolder folder;
  RecExplorer explorer;
  RecCommandBars bars;
  RecCommandBar bar;
  RecCommandBarControls controls;
  RecCommandBarControl control;
  RecCommandBarButton button;

  std::vector<Recorder*> All() {
    return {&application, &nameSpace, &folders, &folder, &explorer, &bars, &bar, &controls, &control, &button};
  }
};

struct CallCase {
  const char* call;
  std::function<void(Objects&)> run;          // the call on the objects
  std::function<void(Objects&)> runOnNull;    // the same call on a null object
  std::function<Recorder&(Objects&)> target;  // whose member it must reach
  const char* member;
};

const std::vector<CallCase>& Cases() {
  static const std::vector<CallCase> cases = {
      {"GetSession", [](Objects& o) { om::GetSession(&o.application); },
       [](Objects&) { om::GetSession(nullptr); }, [](Objects& o) -> Recorder& { return o.application; },
       "get_Session"},
      {"GetNamespace", [](Objects& o) { om::GetNamespace(&o.application, L"MAPI"); },
       [](Objects&) { om::GetNamespace(nullptr, L"MAPI"); }, [](Objects& o) -> Recorder& { return o.application; },
       "GetNamespace"},
      {"ActiveExplorer", [](Objects& o) { om::ActiveExplorer(&o.application); },
       [](Objects&) { om::ActiveExplorer(nullptr); }, [](Objects& o) -> Recorder& { return o.application; },
       "ActiveExplorer"},
      {"GetCommandBars", [](Objects& o) { om::GetCommandBars(&o.explorer); },
       [](Objects&) { om::GetCommandBars(nullptr); }, [](Objects& o) -> Recorder& { return o.explorer; },
       "get_CommandBars"},
      {"AddCommandBar", [](Objects& o) { om::AddCommandBar(&o.bars, L"Quop", msoBarTop, false, true); },
       [](Objects&) { om::AddCommandBar(nullptr, L"Quop", msoBarTop, false, true); },
       [](Objects& o) -> Recorder& { return o.bars; }, "Add"},
      {"SetVisible", [](Objects& o) { om::SetVisible(&o.bar, true); }, [](Objects&) { om::SetVisible(nullptr, true); },
       [](Objects& o) -> Recorder& { return o.bar; }, "put_Visible"},
      {"GetControls", [](Objects& o) { om::GetControls(&o.bar); }, [](Objects&) { om::GetControls(nullptr); },
       [](Objects& o) -> Recorder& { return o.bar; }, "get_Controls"},
      {"AddControl", [](Objects& o) { om::AddControl(&o.controls, msoControlButton, 1, 1, 1, true); },
       [](Objects&) { om::AddControl(nullptr, msoControlButton, 1, 1, 1, true); },
       [](Objects& o) -> Recorder& { return o.controls; }, "Add"},
      {"AsCommandBarButton", [](Objects& o) { om::AsCommandBarButton(&o.control); },
       [](Objects&) { om::AsCommandBarButton(nullptr); }, [](Objects& o) -> Recorder& { return o.control; },
       "QueryInterface"},
      {"SetStyle", [](Objects& o) { om::SetStyle(&o.button, msoButtonCaption); },
       [](Objects&) { om::SetStyle(nullptr, msoButtonCaption); }, [](Objects& o) -> Recorder& { return o.button; },
       "put_Style"},
      {"SetCaption", [](Objects& o) { om::SetCaption(&o.control, L"Twinsweeps"); },
       [](Objects&) { om::SetCaption(nullptr, L"Twinsweeps"); }, [](Objects& o) -> Recorder& { return o.control; },
       "put_Caption"},
      {"SetTooltipText", [](Objects& o) { om::SetTooltipText(&o.control, L"Quop Twinsweeps"); },
       [](Objects&) { om::SetTooltipText(nullptr, L"Quop Twinsweeps"); },
       [](Objects& o) -> Recorder& { return o.control; }, "put_TooltipText"},
      {"SetTag", [](Objects& o) { om::SetTag(&o.control, L""); }, [](Objects&) { om::SetTag(nullptr, L""); },
       [](Objects& o) -> Recorder& { return o.control; }, "put_Tag"},
      {"GetFolders of the namespace", [](Objects& o) { om::GetFolders(&o.nameSpace); },
       [](Objects&) { om::GetFolders(static_cast<_NameSpace*>(nullptr)); },
       [](Objects& o) -> Recorder& { return o.nameSpace; }, "get_Folders"},
      {"GetDefaultFolder", [](Objects& o) { om::GetDefaultFolder(&o.nameSpace, olFolderInbox); },
       [](Objects&) { om::GetDefaultFolder(nullptr, olFolderInbox); },
       [](Objects& o) -> Recorder& { return o.nameSpace; }, "GetDefaultFolder"},
      {"PickFolder", [](Objects& o) { om::PickFolder(&o.nameSpace); }, [](Objects&) { om::PickFolder(nullptr); },
       [](Objects& o) -> Recorder& { return o.nameSpace; }, "PickFolder"},
      {"GetCount", [](Objects& o) { om::GetCount(&o.folders); }, [](Objects&) { om::GetCount(nullptr); },
       [](Objects& o) -> Recorder& { return o.folders; }, "get_Count"},
      {"GetFirst", [](Objects& o) { om::GetFirst(&o.folders); }, [](Objects&) { om::GetFirst(nullptr); },
       [](Objects& o) -> Recorder& { return o.folders; }, "GetFirst"},
      {"GetNext", [](Objects& o) { om::GetNext(&o.folders); }, [](Objects&) { om::GetNext(nullptr); },
       [](Objects& o) -> Recorder& { return o.folders; }, "GetNext"},
      {"GetName", [](Objects& o) { om::GetName(&o.folder); }, [](Objects&) { om::GetName(nullptr); },
       [](Objects& o) -> Recorder& { return o.folder; }, "get_Name"},
      {"GetEntryID", [](Objects& o) { om::GetEntryID(&o.folder); }, [](Objects&) { om::GetEntryID(nullptr); },
       [](Objects& o) -> Recorder& { return o.folder; }, "get_EntryID"},
      {"GetFolders of a folder", [](Objects& o) { om::GetFolders(&o.folder); },
       [](Objects&) { om::GetFolders(static_cast<MAPIFolder*>(nullptr)); },
       [](Objects& o) -> Recorder& { return o.folder; }, "get_Folders"},
      {"GetDefaultItemType", [](Objects& o) { om::GetDefaultItemType(&o.folder); },
       [](Objects&) { om::GetDefaultItemType(nullptr); }, [](Objects& o) -> Recorder& { return o.folder; },
       "get_DefaultItemType"},
  };
  return cases;
}

TEST(OutlookCalls, EachCallReachesItsMemberAndRaisesItsFailure) {
  for (const CallCase& c : Cases()) {
    for (HRESULT failure : {E_FAIL, static_cast<HRESULT>(0x8004010F)}) {
      Objects objects;
      for (Recorder* r : objects.All()) r->result = failure;
      try {
        c.run(objects);
        ADD_FAILURE() << c.call << " did not raise 0x" << std::hex << failure;
      } catch (const EOleException& e) {
        EXPECT_EQ(e.Code(), failure) << c.call;
        EXPECT_NE(std::string(e.what()).find("failed: 0x"), std::string::npos) << e.what();
      }
      EXPECT_EQ(c.target(objects).last, c.member) << c.call;
    }
  }
}

TEST(OutlookCalls, SuccessWithoutAnObjectIsNoFailure) {
  for (const CallCase& c : Cases()) {
    if (std::string(c.call) == "AsCommandBarButton") continue;  // an interface that is not there is a failure
    Objects objects;
    EXPECT_NO_THROW(c.run(objects)) << c.call;
    EXPECT_EQ(c.target(objects).last, c.member) << c.call;
  }
}

TEST(OutlookCalls, ANullObjectRaisesWithoutACall) {
  for (const CallCase& c : Cases()) {
    Objects objects;
    try {
      c.runOnNull(objects);
      ADD_FAILURE() << c.call << " on null did not raise";
    } catch (const EOleException& e) {
      EXPECT_EQ(e.Code(), E_POINTER) << c.call;
    }
  }
}

// Recorders that keep what they were given.
struct BarsTaking : RecCommandBars {
  std::vector<VARIANT> args;
  HRESULT STDMETHODCALLTYPE Add(VARIANT name, VARIANT position, VARIANT menuBar, VARIANT temporary,
                                CommandBar** out) override {
    args = {name, position, menuBar, temporary};
    name_ = name.vt == VT_BSTR ? std::wstring(name.bstrVal, SysStringLen(name.bstrVal)) : L"";
    *out = &bar;
    return S_OK;
  }
  RecCommandBar bar;
  std::wstring name_;
};

struct ControlsTaking : RecCommandBarControls {
  std::vector<VARIANT> args;
  HRESULT STDMETHODCALLTYPE Add(VARIANT type, VARIANT id, VARIANT parameter, VARIANT before, VARIANT temporary,
                                CommandBarControl** out) override {
    args = {type, id, parameter, before, temporary};
    *out = nullptr;
    return S_OK;
  }
};

struct ButtonTaking : RecCommandBarButton {
  std::wstring caption, tooltip, tag = L"unset";
  MsoButtonStyle style{};
  VARIANT_BOOL visible = 0;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR text) override { return Keep(caption, text); }
  HRESULT STDMETHODCALLTYPE put_TooltipText(BSTR text) override { return Keep(tooltip, text); }
  HRESULT STDMETHODCALLTYPE put_Tag(BSTR text) override { return Keep(tag, text); }
  HRESULT STDMETHODCALLTYPE put_Style(MsoButtonStyle s) override {
    style = s;
    return S_OK;
  }
  static HRESULT Keep(std::wstring& into, BSTR text) {
    into = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"(null)";
    return S_OK;
  }
};

struct FolderGiving : RecMAPIFolder {
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = SysAllocString(L"Posteingang \u00e4");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_EntryID(BSTR* id) override {
    *id = SysAllocString(L"00000000ABCD");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_DefaultItemType(OlItemType* type) override {
    *type = olTaskItem;
    return S_OK;
  }
};

TEST(OutlookCalls, TheToolbarArgumentsGoAsTheHostTakesThem) {
  BarsTaking bars;
  TComPtr<CommandBar> bar = om::AddCommandBar(&bars, L"Quop", msoBarTop, false, true);
  bar.Detach();  // the recorder's own member, not counted
  ASSERT_EQ(bars.args.size(), 4u);
  EXPECT_EQ(bars.args[0].vt, VT_BSTR);
  EXPECT_EQ(bars.name_, L"Quop");
  EXPECT_EQ(bars.args[1].vt, VT_I4);
  EXPECT_EQ(bars.args[1].lVal, 1);
  EXPECT_EQ(bars.args[2].vt, VT_BOOL);
  EXPECT_EQ(bars.args[2].boolVal, VARIANT_FALSE);
  EXPECT_EQ(bars.args[3].vt, VT_BOOL);
  EXPECT_EQ(bars.args[3].boolVal, VARIANT_TRUE);

  ControlsTaking controls;
  EXPECT_FALSE(om::AddControl(&controls, msoControlButton, 1, 1, 1, true));
  ASSERT_EQ(controls.args.size(), 5u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(controls.args[i].vt, VT_I4) << i;
    EXPECT_EQ(controls.args[i].lVal, 1) << i;
  }
  EXPECT_EQ(controls.args[4].vt, VT_BOOL);
  EXPECT_EQ(controls.args[4].boolVal, VARIANT_TRUE);

  ButtonTaking button;
  om::SetStyle(&button, msoButtonCaption);
  om::SetCaption(&button, L"Twinsweeps");
  om::SetTooltipText(&button, L"Quop Twinsweeps");
  om::SetTag(&button, L"");
  EXPECT_EQ(button.style, 2);
  EXPECT_EQ(button.caption, L"Twinsweeps");
  EXPECT_EQ(button.tooltip, L"Quop Twinsweeps");
  EXPECT_EQ(button.tag, L"");
}

TEST(OutlookCalls, FolderTextsAndKindComeBack) {
  FolderGiving folder;
  EXPECT_EQ(om::GetName(&folder), L"Posteingang \u00e4");
  EXPECT_EQ(om::GetEntryID(&folder), L"00000000ABCD");
  EXPECT_EQ(om::GetDefaultItemType(&folder), olTaskItem);
}

TEST(OutlookCalls, ButtonIsAskedForByItsIdentifier) {
  struct Control : RecCommandBarControl {
    RecCommandBarButton button;
    IID asked{};
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
      asked = riid;
      *out = static_cast<_CommandBarButton*>(&button);
      return S_OK;
    }
  } control;
  TComPtr<_CommandBarButton> button = om::AsCommandBarButton(&control);
  EXPECT_EQ(button.Get(), static_cast<_CommandBarButton*>(&control.button));
  EXPECT_TRUE(IsEqualIID(control.asked, IID__CommandBarButton));
  button.Detach();
}

TEST(Bstr, HolderConvertsAndFreesOnce) {
  TBstr text(L"Gel\u00f6scht");
  EXPECT_EQ(SysStringLen(text.Get()), 8u);
  EXPECT_EQ(text.Wide(), L"Gel\u00f6scht");
  EXPECT_EQ(AnsiToWide(text.Ansi()), L"Gel\u00f6scht");
  TBstr moved(std::move(text));
  EXPECT_EQ(text.Get(), nullptr);
  EXPECT_EQ(moved.Wide(), L"Gel\u00f6scht");
  TBstr empty;
  EXPECT_EQ(empty.Wide(), L"");
  EXPECT_EQ(TBstr(std::wstring(L"a\0b", 3)).Wide().size(), 3u);
}

}  // namespace
