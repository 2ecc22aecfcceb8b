// The declared Outlook and Office interfaces against the published v-table
// layout: every slot of each interface is called through the raw v-table, by
// number, with the argument bytes of the published parameters, and must reach
// the member of that name and pop exactly those bytes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/addin/Recorders.h"

namespace {

struct Member {
  const char* name;
  int argBytes;  // on the stack, after the object pointer
};
using Members = std::vector<Member>;

Members Join(std::initializer_list<const Members*> parts) {
  Members all;
  for (const Members* part : parts) all.insert(all.end(), part->begin(), part->end());
  return all;
}

// Pointers, long, int, enumerations, BSTR and VARIANT_BOOL take 4 bytes; a
// VARIANT by value 16.
const Members kDispatch = {{"QueryInterface", 8}, {"AddRef", 0},         {"Release", 0},
                           {"GetTypeInfoCount", 4}, {"GetTypeInfo", 12}, {"GetIDsOfNames", 20},
                           {"Invoke", 32}};
const Members kAccessible = {
    {"get_accParent", 4},      {"get_accChildCount", 4},   {"get_accChild", 20},
    {"get_accName", 20},       {"get_accValue", 20},       {"get_accDescription", 20},
    {"get_accRole", 20},       {"get_accState", 20},       {"get_accHelp", 20},
    {"get_accHelpTopic", 24},  {"get_accKeyboardShortcut", 20}, {"get_accFocus", 4},
    {"get_accSelection", 4},   {"get_accDefaultAction", 20}, {"accSelect", 20},
    {"accLocation", 32},       {"accNavigate", 24},        {"accHitTest", 12},
    {"accDoDefaultAction", 16}, {"put_accName", 20},       {"put_accValue", 20}};
const Members kOutlookCommon = {{"get_Application", 4}, {"get_Class", 4}, {"get_Session", 4}, {"get_Parent", 4}};
const Members kApplication = {{"get_Assistant", 4},  {"get_Name", 4},         {"get_Version", 4},
                              {"ActiveExplorer", 4}, {"ActiveInspector", 4},  {"CreateItem", 8},
                              {"CreateItemFromTemplate", 24}, {"CreateObject", 8}, {"GetNamespace", 8},
                              {"Quit", 0}};
const Members kNameSpace = {{"get_CurrentUser", 4},     {"get_Folders", 4},       {"get_Type", 4},
                            {"get_AddressLists", 4},    {"CreateRecipient", 8},   {"GetDefaultFolder", 8},
                            {"GetFolderFromID", 24},    {"GetItemFromID", 24},    {"GetRecipientFromID", 8},
                            {"GetSharedDefaultFolder", 12}, {"Logoff", 0},        {"Logon", 64},
                            {"PickFolder", 4}};
const Members kFolders = {{"get_Count", 4}, {"Item", 20},    {"get_RawTable", 4}, {"Add", 24},   {"GetFirst", 4},
                          {"GetLast", 4},   {"GetNext", 4},  {"GetPrevious", 4},  {"Remove", 4}};
const Members kMAPIFolder = {{"get_DefaultItemType", 4}, {"get_DefaultMessageClass", 4}, {"get_Description", 4},
                             {"put_Description", 4},     {"get_EntryID", 4},  {"get_Folders", 4},
                             {"get_Items", 4},           {"get_Name", 4},     {"put_Name", 4}};
const Members kExplorer = {{"get_CommandBars", 4}, {"get_CurrentFolder", 4}};
const Members kMso = {{"get_Application", 4}, {"get_Creator", 4}};
const Members kCommandBars = {{"get_ActionControl", 4}, {"get_ActiveMenuBar", 4}, {"Add", 68}};
const Members kCommandBar = {
    {"get_BuiltIn", 4},    {"get_Context", 4},    {"put_Context", 4},    {"get_Controls", 4},  {"Delete", 0},
    {"get_Enabled", 4},    {"put_Enabled", 4},    {"FindControl", 84},   {"get_Height", 4},    {"put_Height", 4},
    {"get_Index", 4},      {"get_InstanceId", 4}, {"get_Left", 4},       {"put_Left", 4},      {"get_Name", 4},
    {"put_Name", 4},       {"get_NameLocal", 4},  {"put_NameLocal", 4},  {"get_Parent", 4},    {"get_Position", 4},
    {"put_Position", 4},   {"get_RowIndex", 4},   {"put_RowIndex", 4},   {"get_Protection", 4}, {"put_Protection", 4},
    {"Reset", 0},          {"ShowPopup", 32},     {"get_Top", 4},        {"put_Top", 4},       {"get_Type", 4},
    {"get_Visible", 4},    {"put_Visible", 4}};
const Members kCommandBarControls = {{"Add", 84}, {"get_Count", 4}, {"get_Item", 20}, {"get__NewEnum", 4},
                                     {"get_Parent", 4}};
const Members kCommandBarControl = {
    {"get_BeginGroup", 4},  {"put_BeginGroup", 4},  {"get_BuiltIn", 4},        {"get_Caption", 4},
    {"put_Caption", 4},     {"get_Control", 4},     {"Copy", 36},              {"Delete", 16},
    {"get_DescriptionText", 4}, {"put_DescriptionText", 4}, {"get_Enabled", 4}, {"put_Enabled", 4},
    {"Execute", 0},         {"get_Height", 4},      {"put_Height", 4},         {"get_HelpContextId", 4},
    {"put_HelpContextId", 4}, {"get_HelpFile", 4},  {"put_HelpFile", 4},       {"get_Id", 4},
    {"get_Index", 4},       {"get_InstanceId", 4},  {"Move", 36},              {"get_Left", 4},
    {"get_OLEUsage", 4},    {"put_OLEUsage", 4},    {"get_OnAction", 4},       {"put_OnAction", 4},
    {"get_Parent", 4},      {"get_Parameter", 4},   {"put_Parameter", 4},      {"get_Priority", 4},
    {"put_Priority", 4},    {"Reset", 0},           {"SetFocus", 0},           {"get_Tag", 4},
    {"put_Tag", 4},         {"get_TooltipText", 4}, {"put_TooltipText", 4},    {"get_Top", 4},
    {"get_Type", 4},        {"get_Visible", 4},     {"put_Visible", 4},        {"get_Width", 4},
    {"put_Width", 4},       {"get_IsPriorityDropped", 4}, {"Reserved1", 0},    {"Reserved2", 0},
    {"Reserved3", 0},       {"Reserved4", 0},       {"Reserved5", 0},          {"Reserved6", 0},
    {"Reserved7", 0}};
const Members kCommandBarButton = {
    {"get_BuiltInFace", 4}, {"put_BuiltInFace", 4}, {"CopyFace", 0},  {"get_FaceId", 4},   {"put_FaceId", 4},
    {"PasteFace", 0},       {"get_ShortcutText", 4}, {"put_ShortcutText", 4}, {"get_State", 4}, {"put_State", 4},
    {"get_Style", 4},       {"put_Style", 4},       {"get_HyperlinkType", 4}, {"put_HyperlinkType", 4}};
const Members kRibbonExtensibility = {{"GetCustomUI", 8}};
const Members kRibbonControl = {{"get_Id", 4}, {"get_Context", 4}, {"get_Tag", 4}};

#if defined(__i386__)
// Calls `fn` as a stdcall method of `object` with `words` zeroed 4-byte
// arguments and reports in `leftBytes` how many argument bytes the callee
// left on the stack (0 when it popped exactly what was pushed; negative when
// it popped more), so a parameter declared with the wrong size shows.
extern "C" HRESULT QuopCallChecked(void* fn, void* object, int words, int* leftBytes);
asm(R"(
  .text
  .globl _QuopCallChecked
_QuopCallChecked:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  movl %esp, %esi
  movl 16(%ebp), %ecx
1:
  testl %ecx, %ecx
  jz 2f
  pushl $0
  decl %ecx
  jmp 1b
2:
  pushl 12(%ebp)
  call *8(%ebp)
  movl %esi, %ecx
  subl %esp, %ecx
  movl 20(%ebp), %ebx
  movl %ecx, (%ebx)
  movl %esi, %esp
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

// Calls v-table slot `slot`; the bytes the callee left on the stack.
int CallSlot(void* object, int slot, int argBytes) {
  void* entry = (*static_cast<void***>(object))[slot];
  int left = 0;
  QuopCallChecked(entry, object, argBytes / 4, &left);
  return left;
}
#else
// x86-64 has one calling convention, in which the caller removes what it
// passed: only the member a slot reaches can be checked. Every member is
// given more zeroed arguments than it takes.
int CallSlot(void* object, int slot, int /*argBytes*/) {
  using TAnyMember = HRESULT(STDMETHODCALLTYPE*)(void*, ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR,
                                                 ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR,
                                                 ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR, ULONG_PTR);
  const auto member = reinterpret_cast<TAnyMember>((*static_cast<void***>(object))[slot]);
  member(object, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  return 0;
}
#endif

struct Layout {
  const char* interfaceName;
  void* object;          // the interface pointer
  Recorder* recorder;
  Members slots;         // from slot 0
};

template <class Rec, class I>
Layout LayoutOf(const char* name, Rec& rec, std::initializer_list<const Members*> parts) {
  return Layout{name, static_cast<I*>(&rec), &rec, Join(parts)};
}

TEST(SlotLayout, EverySlotReachesThePublishedMember) {
  RecApplication application;
  RecNameSpace nameSpace;
  RecFolders folders;
  RecMAPIFolder folder;
  RecExplorer explorer;
  RecMsoDispObj msoDispObj;
  RecMsoOleAccDispObj msoOleAcc;
  RecCommandBars bars;
  RecCommandBar bar;
  RecCommandBarControls controls;
  RecCommandBarControl control;
  RecCommandBarButton button;
  RecRibbonExtensibility ribbon;
  RecRibbonControl ribbonControl;
  const Layout layouts[] = {
      LayoutOf<RecApplication, _Application>("_Application", application,
                                             {&kDispatch, &kOutlookCommon, &kApplication}),
      LayoutOf<RecNameSpace, _NameSpace>("_NameSpace", nameSpace, {&kDispatch, &kOutlookCommon, &kNameSpace}),
      LayoutOf<RecFolders, _Folders>("_Folders", folders, {&kDispatch, &kOutlookCommon, &kFolders}),
      LayoutOf<RecMAPIFolder, MAPIFolder>("MAPIFolder", folder, {&kDispatch, &kOutlookCommon, &kMAPIFolder}),
      LayoutOf<RecExplorer, _Explorer>("_Explorer", explorer, {&kDispatch, &kOutlookCommon, &kExplorer}),
      LayoutOf<RecMsoDispObj, _IMsoDispObj>("_IMsoDispObj", msoDispObj, {&kDispatch, &kMso}),
      LayoutOf<RecMsoOleAccDispObj, _IMsoOleAccDispObj>("_IMsoOleAccDispObj", msoOleAcc,
                                                        {&kDispatch, &kAccessible, &kMso}),
      LayoutOf<RecCommandBars, _CommandBars>("_CommandBars", bars, {&kDispatch, &kMso, &kCommandBars}),
      LayoutOf<RecCommandBar, CommandBar>("CommandBar", bar, {&kDispatch, &kAccessible, &kMso, &kCommandBar}),
      LayoutOf<RecCommandBarControls, CommandBarControls>("CommandBarControls", controls,
                                                          {&kDispatch, &kMso, &kCommandBarControls}),
      LayoutOf<RecCommandBarControl, CommandBarControl>("CommandBarControl", control,
                                                        {&kDispatch, &kAccessible, &kMso, &kCommandBarControl}),
      LayoutOf<RecCommandBarButton, _CommandBarButton>(
          "_CommandBarButton", button, {&kDispatch, &kAccessible, &kMso, &kCommandBarControl, &kCommandBarButton}),
      LayoutOf<RecRibbonExtensibility, IRibbonExtensibility>("IRibbonExtensibility", ribbon,
                                                             {&kDispatch, &kRibbonExtensibility}),
      LayoutOf<RecRibbonControl, IRibbonControl>("IRibbonControl", ribbonControl, {&kDispatch, &kRibbonControl}),
  };
  for (const Layout& layout : layouts) {
    for (size_t slot = 0; slot < layout.slots.size(); ++slot) {
      const Member& member = layout.slots[slot];
      layout.recorder->last.clear();
      const int left = CallSlot(layout.object, static_cast<int>(slot), member.argBytes);
      EXPECT_EQ(layout.recorder->last, member.name) << layout.interfaceName << " slot " << slot;
#if defined(__i386__)
      EXPECT_EQ(left, 0) << layout.interfaceName << " slot " << slot << " (" << member.name
                         << "): parameters of another size than published";
#else
      (void)left;
#endif
    }
  }
}

// The slots of the members the add-in calls, as published, against the
// sequences above: a slot dropped or added in a sequence shows here.
TEST(SlotLayout, CalledMembersSitInTheirPublishedSlots) {
  struct Row {
    const Members* sequence;
    int firstSlot;
    const char* member;
    int slot;
  };
  const Row rows[] = {
      {&kApplication, 11, "ActiveExplorer", 14},   {&kApplication, 11, "GetNamespace", 19},
      {&kOutlookCommon, 7, "get_Session", 9},      {&kNameSpace, 11, "get_Folders", 12},
      {&kNameSpace, 11, "GetDefaultFolder", 16},   {&kNameSpace, 11, "PickFolder", 23},
      {&kFolders, 11, "get_Count", 11},            {&kFolders, 11, "GetFirst", 15},
      {&kFolders, 11, "GetNext", 17},              {&kMAPIFolder, 11, "get_DefaultItemType", 11},
      {&kMAPIFolder, 11, "get_EntryID", 15},       {&kMAPIFolder, 11, "get_Folders", 16},
      {&kMAPIFolder, 11, "get_Name", 18},          {&kExplorer, 11, "get_CommandBars", 11},
      {&kCommandBars, 9, "Add", 11},               {&kCommandBar, 30, "get_Controls", 33},
      {&kCommandBar, 30, "put_Visible", 61},       {&kCommandBarControls, 9, "Add", 9},
      {&kCommandBarControl, 30, "put_Caption", 34}, {&kCommandBarControl, 30, "put_Tag", 66},
      {&kCommandBarControl, 30, "put_TooltipText", 68}, {&kCommandBarControl, 30, "Reserved7", 82},
      {&kCommandBarButton, 83, "put_Style", 94},   {&kCommandBarButton, 83, "put_HyperlinkType", 96},
      {&kAccessible, 7, "put_accValue", 27},       {&kDispatch, 0, "Invoke", 6},
      {&kRibbonExtensibility, 7, "GetCustomUI", 7}, {&kRibbonControl, 7, "get_Tag", 9},
  };
  for (const Row& row : rows) {
    int found = -1;
    for (size_t i = 0; i < row.sequence->size(); ++i) {
      if (std::string((*row.sequence)[i].name) == row.member) found = row.firstSlot + static_cast<int>(i);
    }
    EXPECT_EQ(found, row.slot) << row.member;
  }
}

}  // namespace
