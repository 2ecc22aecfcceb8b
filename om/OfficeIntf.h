// Office command-bar interfaces (mso.dll), early bound, as the add-in calls
// them: every v-table slot from the first own member up to the last member
// the add-in uses, in type-library order. mingw-w64 ships no declarations of
// these, so they are written here.
//
// Each interface's own members are listed once, as M(name, (parameters)),
// with the v-table slot in the comment; QUOP_DECLARE_PURE turns a list into
// pure virtual methods. Implementations (stand-ins, tests) reuse the lists.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleacc.h>

// Declares one listed member as a pure virtual method.
#define QUOP_DECLARE_PURE(name, params) virtual HRESULT STDMETHODCALLTYPE name params = 0;

enum MsoBarPosition : int { msoBarTop = 1 };
enum MsoControlType : int { msoControlButton = 1 };
enum MsoButtonStyle : int { msoButtonCaption = 2 };
// Types of members the add-in never calls; only their size (32 bits) matters.
enum MsoBarProtection : int {};
enum MsoBarType : int {};
enum MsoControlOLEUsage : int {};
enum MsoButtonState : int {};
enum MsoCommandBarButtonHyperlinkType : int {};

// The Click event of _CommandBarButtonEvents.
constexpr DISPID DISPID_CommandBarButtonClick = 1;

extern "C" {
extern const IID IID__IMsoDispObj;
extern const IID IID__IMsoOleAccDispObj;
extern const IID IID__CommandBars;
extern const IID IID_CommandBar;
extern const IID IID_CommandBarControls;
extern const IID IID_CommandBarControl;
extern const IID IID__CommandBarButton;
extern const IID IID__CommandBarButtonEvents;
extern const CLSID CLSID_CommandBarButton;
extern const CLSID CLSID_CommandBars;
}

struct CommandBar;
struct CommandBarControls;
struct CommandBarControl;

// {000C0300-0000-0000-C000-000000000046}, base IDispatch (slots 0-6).
#define QUOP_IMSODISPOBJ_METHODS(M)        \
  M(get_Application, (IDispatch** ppidisp)) /* 7 */ \
  M(get_Creator, (long* plCreator))         /* 8 */
struct _IMsoDispObj : IDispatch {
  QUOP_IMSODISPOBJ_METHODS(QUOP_DECLARE_PURE)
};

// IAccessible's own members (slots 7-27) as oleacc.h declares them, for
// classes that implement every member of an Office object.
#define QUOP_IACCESSIBLE_METHODS(M)                                            \
  M(get_accParent, (IDispatch * *parent))                                      \
  M(get_accChildCount, (long* count))                                          \
  M(get_accChild, (VARIANT child, IDispatch** out))                            \
  M(get_accName, (VARIANT child, BSTR* name))                                  \
  M(get_accValue, (VARIANT child, BSTR* value))                                \
  M(get_accDescription, (VARIANT child, BSTR* text))                           \
  M(get_accRole, (VARIANT child, VARIANT* role))                               \
  M(get_accState, (VARIANT child, VARIANT* state))                             \
  M(get_accHelp, (VARIANT child, BSTR* help))                                  \
  M(get_accHelpTopic, (BSTR * file, VARIANT child, long* topic))               \
  M(get_accKeyboardShortcut, (VARIANT child, BSTR* shortcut))                  \
  M(get_accFocus, (VARIANT * child))                                           \
  M(get_accSelection, (VARIANT * children))                                    \
  M(get_accDefaultAction, (VARIANT child, BSTR* action))                       \
  M(accSelect, (long flags, VARIANT child))                                    \
  M(accLocation, (long* left, long* top, long* width, long* height, VARIANT child)) \
  M(accNavigate, (long dir, VARIANT start, VARIANT* end))                      \
  M(accHitTest, (long left, long top, VARIANT* child))                         \
  M(accDoDefaultAction, (VARIANT child))                                       \
  M(put_accName, (VARIANT child, BSTR name))                                   \
  M(put_accValue, (VARIANT child, BSTR value))

// {000C0301-0000-0000-C000-000000000046}, base IAccessible (slots 7-27).
#define QUOP_IMSOOLEACCDISPOBJ_METHODS(M)  \
  M(get_Application, (IDispatch** ppidisp)) /* 28 */ \
  M(get_Creator, (long* plCreator))         /* 29 */
struct _IMsoOleAccDispObj : IAccessible {
  QUOP_IMSOOLEACCDISPOBJ_METHODS(QUOP_DECLARE_PURE)
};

// {000C0302-0000-0000-C000-000000000046}
#define QUOP_COMMANDBARS_METHODS(M)                                                   \
  M(get_ActionControl, (CommandBarControl** ppcbc))                    /* 9 */  \
  M(get_ActiveMenuBar, (CommandBar** ppcb))                            /* 10 */ \
  M(Add, (VARIANT Name, VARIANT Position, VARIANT MenuBar, VARIANT Temporary, \
          CommandBar** ppcb))                                          /* 11 */
struct _CommandBars : _IMsoDispObj {
  QUOP_COMMANDBARS_METHODS(QUOP_DECLARE_PURE)
};

// {000C0304-0000-0000-C000-000000000046}
#define QUOP_COMMANDBAR_METHODS(M)                                                       \
  M(get_BuiltIn, (VARIANT_BOOL* pvarfBuiltIn))                              /* 30 */ \
  M(get_Context, (BSTR* pbstrContext))                                      /* 31 */ \
  M(put_Context, (BSTR pbstrContext))                                       /* 32 */ \
  M(get_Controls, (CommandBarControls** ppcbcs))                            /* 33 */ \
  M(Delete, ())                                                             /* 34 */ \
  M(get_Enabled, (VARIANT_BOOL* pvarfEnabled))                              /* 35 */ \
  M(put_Enabled, (VARIANT_BOOL pvarfEnabled))                               /* 36 */ \
  M(FindControl, (VARIANT Type, VARIANT Id, VARIANT Tag, VARIANT Visible,            \
                  VARIANT Recursive, CommandBarControl** ppcbc))            /* 37 */ \
  M(get_Height, (int* pdy))                                                 /* 38 */ \
  M(put_Height, (int pdy))                                                  /* 39 */ \
  M(get_Index, (int* pi))                                                   /* 40 */ \
  M(get_InstanceId, (long* pid))                                            /* 41 */ \
  M(get_Left, (int* pxpLeft))                                               /* 42 */ \
  M(put_Left, (int pxpLeft))                                                /* 43 */ \
  M(get_Name, (BSTR* pbstrName))                                            /* 44 */ \
  M(put_Name, (BSTR pbstrName))                                             /* 45 */ \
  M(get_NameLocal, (BSTR* pbstrNameLocal))                                  /* 46 */ \
  M(put_NameLocal, (BSTR pbstrNameLocal))                                   /* 47 */ \
  M(get_Parent, (IDispatch** ppParent))                                     /* 48 */ \
  M(get_Position, (MsoBarPosition* ppos))                                   /* 49 */ \
  M(put_Position, (MsoBarPosition ppos))                                    /* 50 */ \
  M(get_RowIndex, (int* piRow))                                             /* 51 */ \
  M(put_RowIndex, (int piRow))                                              /* 52 */ \
  M(get_Protection, (MsoBarProtection* pprot))                              /* 53 */ \
  M(put_Protection, (MsoBarProtection pprot))                               /* 54 */ \
  M(Reset, ())                                                              /* 55 */ \
  M(ShowPopup, (VARIANT x, VARIANT y))                                      /* 56 */ \
  M(get_Top, (int* pypTop))                                                 /* 57 */ \
  M(put_Top, (int pypTop))                                                  /* 58 */ \
  M(get_Type, (MsoBarType* ptype))                                          /* 59 */ \
  M(get_Visible, (VARIANT_BOOL* pvarfVisible))                              /* 60 */ \
  M(put_Visible, (VARIANT_BOOL pvarfVisible))                               /* 61 */
struct CommandBar : _IMsoOleAccDispObj {
  QUOP_COMMANDBAR_METHODS(QUOP_DECLARE_PURE)
};

// {000C0306-0000-0000-C000-000000000046}
#define QUOP_COMMANDBARCONTROLS_METHODS(M)                                             \
  M(Add, (VARIANT Type, VARIANT Id, VARIANT Parameter, VARIANT Before,                 \
          VARIANT Temporary, CommandBarControl** ppcbc))                    /* 9 */  \
  M(get_Count, (int* pcToolbarControls))                                    /* 10 */ \
  M(get_Item, (VARIANT Index, CommandBarControl** ppcbc))                   /* 11 */ \
  M(get__NewEnum, (IUnknown** ppienum))                                     /* 12 */ \
  M(get_Parent, (CommandBar** ppcb))                                        /* 13 */
struct CommandBarControls : _IMsoDispObj {
  QUOP_COMMANDBARCONTROLS_METHODS(QUOP_DECLARE_PURE)
};

// {000C0308-0000-0000-C000-000000000046}
#define QUOP_COMMANDBARCONTROL_METHODS(M)                                              \
  M(get_BeginGroup, (VARIANT_BOOL* pvarfBeginGroup))                        /* 30 */ \
  M(put_BeginGroup, (VARIANT_BOOL pvarfBeginGroup))                         /* 31 */ \
  M(get_BuiltIn, (VARIANT_BOOL* pvarfBuiltIn))                              /* 32 */ \
  M(get_Caption, (BSTR* pbstrCaption))                                      /* 33 */ \
  M(put_Caption, (BSTR pbstrCaption))                                       /* 34 */ \
  M(get_Control, (IDispatch** ppidisp))                                     /* 35 */ \
  M(Copy, (VARIANT Bar, VARIANT Before, CommandBarControl** ppcbc))         /* 36 */ \
  M(Delete, (VARIANT Temporary))                                            /* 37 */ \
  M(get_DescriptionText, (BSTR* pbstrText))                                 /* 38 */ \
  M(put_DescriptionText, (BSTR pbstrText))                                  /* 39 */ \
  M(get_Enabled, (VARIANT_BOOL* pvarfEnabled))                              /* 40 */ \
  M(put_Enabled, (VARIANT_BOOL pvarfEnabled))                               /* 41 */ \
  M(Execute, ())                                                            /* 42 */ \
  M(get_Height, (int* pdy))                                                 /* 43 */ \
  M(put_Height, (int pdy))                                                  /* 44 */ \
  M(get_HelpContextId, (int* pid))                                          /* 45 */ \
  M(put_HelpContextId, (int pid))                                           /* 46 */ \
  M(get_HelpFile, (BSTR* pbstrFilename))                                    /* 47 */ \
  M(put_HelpFile, (BSTR pbstrFilename))                                     /* 48 */ \
  M(get_Id, (int* pid))                                                     /* 49 */ \
  M(get_Index, (int* pi))                                                   /* 50 */ \
  M(get_InstanceId, (long* pid))                                            /* 51 */ \
  M(Move, (VARIANT Bar, VARIANT Before, CommandBarControl** ppcbc))         /* 52 */ \
  M(get_Left, (int* px))                                                    /* 53 */ \
  M(get_OLEUsage, (MsoControlOLEUsage* pcou))                               /* 54 */ \
  M(put_OLEUsage, (MsoControlOLEUsage pcou))                                /* 55 */ \
  M(get_OnAction, (BSTR* pbstrOnAction))                                    /* 56 */ \
  M(put_OnAction, (BSTR pbstrOnAction))                                     /* 57 */ \
  M(get_Parent, (CommandBar** ppcb))                                        /* 58 */ \
  M(get_Parameter, (BSTR* pbstrParam))                                      /* 59 */ \
  M(put_Parameter, (BSTR pbstrParam))                                       /* 60 */ \
  M(get_Priority, (int* pnPri))                                             /* 61 */ \
  M(put_Priority, (int pnPri))                                              /* 62 */ \
  M(Reset, ())                                                              /* 63 */ \
  M(SetFocus, ())                                                           /* 64 */ \
  M(get_Tag, (BSTR* pbstrTag))                                              /* 65 */ \
  M(put_Tag, (BSTR pbstrTag))                                               /* 66 */ \
  M(get_TooltipText, (BSTR* pbstrTooltip))                                  /* 67 */ \
  M(put_TooltipText, (BSTR pbstrTooltip))                                   /* 68 */ \
  M(get_Top, (int* py))                                                     /* 69 */ \
  M(get_Type, (MsoControlType* ptype))                                      /* 70 */ \
  M(get_Visible, (VARIANT_BOOL* pvarfVisible))                              /* 71 */ \
  M(put_Visible, (VARIANT_BOOL pvarfVisible))                               /* 72 */ \
  M(get_Width, (int* pdx))                                                  /* 73 */ \
  M(put_Width, (int pdx))                                                   /* 74 */ \
  M(get_IsPriorityDropped, (VARIANT_BOOL* pvarfDropped))                    /* 75 */ \
  M(Reserved1, ())                                                          /* 76 */ \
  M(Reserved2, ())                                                          /* 77 */ \
  M(Reserved3, ())                                                          /* 78 */ \
  M(Reserved4, ())                                                          /* 79 */ \
  M(Reserved5, ())                                                          /* 80 */ \
  M(Reserved6, ())                                                          /* 81 */ \
  M(Reserved7, ())                                                          /* 82 */
struct CommandBarControl : _IMsoOleAccDispObj {
  QUOP_COMMANDBARCONTROL_METHODS(QUOP_DECLARE_PURE)
};

// {000C030E-0000-0000-C000-000000000046}
#define QUOP_COMMANDBARBUTTON_METHODS(M)                                               \
  M(get_BuiltInFace, (VARIANT_BOOL* pvarfBuiltIn))                          /* 83 */ \
  M(put_BuiltInFace, (VARIANT_BOOL pvarfBuiltIn))                           /* 84 */ \
  M(CopyFace, ())                                                           /* 85 */ \
  M(get_FaceId, (int* pid))                                                 /* 86 */ \
  M(put_FaceId, (int pid))                                                  /* 87 */ \
  M(PasteFace, ())                                                          /* 88 */ \
  M(get_ShortcutText, (BSTR* pbstrText))                                    /* 89 */ \
  M(put_ShortcutText, (BSTR pbstrText))                                     /* 90 */ \
  M(get_State, (MsoButtonState* pstate))                                    /* 91 */ \
  M(put_State, (MsoButtonState pstate))                                     /* 92 */ \
  M(get_Style, (MsoButtonStyle* pstyle))                                    /* 93 */ \
  M(put_Style, (MsoButtonStyle pstyle))                                     /* 94 */ \
  M(get_HyperlinkType, (MsoCommandBarButtonHyperlinkType* phlType))         /* 95 */ \
  M(put_HyperlinkType, (MsoCommandBarButtonHyperlinkType phlType))          /* 96 */
struct _CommandBarButton : CommandBarControl {
  QUOP_COMMANDBARBUTTON_METHODS(QUOP_DECLARE_PURE)
};

// {000C0351-0000-0000-C000-000000000046}: a dispatch interface, the button's
// event source. Click (DISPID_CommandBarButtonClick) arrives through
// IDispatch::Invoke with rgvarg[1] = Ctrl (VT_DISPATCH, the button) and
// rgvarg[0] = CancelDefault (VT_BOOL | VT_BYREF).
struct _CommandBarButtonEvents : IDispatch {};

// The ribbon (Office 2007 and later). IRibbonExtensibility
// {000C0396-0000-0000-C000-000000000046}: dual, base IDispatch; Office asks
// an add-in object for it and calls GetCustomUI (DISPID 1) once per ribbon
// it builds. An empty or null answer means no customisation for that ribbon.
extern "C" {
extern const IID IID_IRibbonExtensibility;
extern const IID IID_IRibbonControl;
}

#define QUOP_IRIBBONEXTENSIBILITY_METHODS(M) \
  M(GetCustomUI, (BSTR RibbonID, BSTR* RibbonXml)) /* 7 */
struct IRibbonExtensibility : IDispatch {
  QUOP_IRIBBONEXTENSIBILITY_METHODS(QUOP_DECLARE_PURE)
};

// {000C0395-0000-0000-C000-000000000046}: dual, base IDispatch; the control a
// ribbon callback (onAction, getImage, ...) is called for, passed through
// IDispatch::Invoke as a VT_DISPATCH argument. DISPIDs 1 (Id), 2 (Context:
// the window, in Outlook the Explorer or Inspector) and 3 (Tag).
#define QUOP_IRIBBONCONTROL_METHODS(M)  \
  M(get_Id, (BSTR* Id))                 /* 7 */ \
  M(get_Context, (IDispatch** Context)) /* 8 */ \
  M(get_Tag, (BSTR* Tag))               /* 9 */
struct IRibbonControl : IDispatch {
  QUOP_IRIBBONCONTROL_METHODS(QUOP_DECLARE_PURE)
};
