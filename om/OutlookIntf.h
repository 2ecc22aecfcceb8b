// Outlook object-model interfaces (Outlook 98 and later), early bound, as the
// add-in calls them: every v-table slot up to the last member the add-in
// uses, in type-library order. All are dual interfaces on IDispatch (slots
// 0-6). mingw-w64 ships no declarations of these, so they are written here.
//
// Members are listed as M(name, (parameters)) with the v-table slot in the
// comment, as in OfficeIntf.h; implementations reuse the lists.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "om/OfficeIntf.h"

enum OlDefaultFolders : int {
  olFolderDeletedItems = 3,
  olFolderOutbox = 4,
  olFolderSentMail = 5,
  olFolderInbox = 6,
  olFolderDrafts = 16,
  olFolderJunk = 23,      // Outlook 2003 and later
  olFolderRssFeeds = 25,  // Outlook 2007 and later
  olFolderToDo = 28,      // Outlook 2007 and later
};

enum OlItemType : int {
  olMailItem = 0,
  olAppointmentItem = 1,
  olContactItem = 2,
  olTaskItem = 3,
  olJournalItem = 4,
  olNoteItem = 5,
  olPostItem = 6,
  olDistributionListItem = 7,
};

// The type of the Class property, which the add-in never reads.
enum OlObjectClass : int {};

extern "C" {
extern const IID IID__Application;
extern const IID IID__NameSpace;
extern const IID IID__Folders;
extern const IID IID_MAPIFolder;
extern const IID IID__Explorer;
extern const CLSID CLSID_OutlookApplication;  // the Application class
}

struct _Application;
struct _NameSpace;
struct _Folders;
struct MAPIFolder;
struct _Explorer;

// Slots 7-10 of every Outlook object.
#define QUOP_OUTLOOK_COMMON_METHODS(M)                  \
  M(get_Application, (_Application** Application)) /* 7 */  \
  M(get_Class, (OlObjectClass* Class))             /* 8 */  \
  M(get_Session, (_NameSpace** Session))           /* 9 */  \
  M(get_Parent, (IDispatch** Parent))              /* 10 */

// {00063001-0000-0000-C000-000000000046}; the common slots 7-10 are its own
// (get_Session is slot 9 here too).
#define QUOP_APPLICATION_METHODS(M)                                                   \
  M(get_Assistant, (IDispatch** Assistant))                                /* 11 */ \
  M(get_Name, (BSTR* Name))                                                /* 12 */ \
  M(get_Version, (BSTR* Version))                                          /* 13 */ \
  M(ActiveExplorer, (_Explorer** ActiveExplorer))                          /* 14 */ \
  M(ActiveInspector, (IDispatch** ActiveInspector))                        /* 15 */ \
  M(CreateItem, (OlItemType ItemType, IDispatch** Item))                   /* 16 */ \
  M(CreateItemFromTemplate, (BSTR TemplatePath, VARIANT InFolder, IDispatch** Item)) /* 17 */ \
  M(CreateObject, (BSTR ObjectName, IDispatch** Object))                   /* 18 */ \
  M(GetNamespace, (BSTR Type, _NameSpace** NameSpace))                     /* 19 */ \
  M(Quit, ())                                                              /* 20 */
struct _Application : IDispatch {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_DECLARE_PURE)
  QUOP_APPLICATION_METHODS(QUOP_DECLARE_PURE)
};

// {00063002-0000-0000-C000-000000000046}
#define QUOP_NAMESPACE_METHODS(M)                                                     \
  M(get_CurrentUser, (IDispatch** CurrentUser))                            /* 11 */ \
  M(get_Folders, (_Folders** Folders))                                     /* 12 */ \
  M(get_Type, (BSTR* Type))                                                /* 13 */ \
  M(get_AddressLists, (IDispatch** AddressLists))                          /* 14 */ \
  M(CreateRecipient, (BSTR RecipientName, IDispatch** Recipient))          /* 15 */ \
  M(GetDefaultFolder, (OlDefaultFolders FolderType, MAPIFolder** Folder))  /* 16 */ \
  M(GetFolderFromID, (BSTR EntryIDFolder, VARIANT EntryIDStore, MAPIFolder** Folder)) /* 17 */ \
  M(GetItemFromID, (BSTR EntryIDItem, VARIANT EntryIDStore, IDispatch** Item)) /* 18 */ \
  M(GetRecipientFromID, (BSTR EntryID, IDispatch** Recipient))             /* 19 */ \
  M(GetSharedDefaultFolder, (IDispatch* Recipient, OlDefaultFolders FolderType, \
                             MAPIFolder** Folder))                         /* 20 */ \
  M(Logoff, ())                                                            /* 21 */ \
  M(Logon, (VARIANT Profile, VARIANT Password, VARIANT ShowDialog, VARIANT NewSession)) /* 22 */ \
  M(PickFolder, (MAPIFolder** Folder))                                     /* 23 */
struct _NameSpace : IDispatch {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_DECLARE_PURE)
  QUOP_NAMESPACE_METHODS(QUOP_DECLARE_PURE)
};

// {00063040-0000-0000-C000-000000000046}
#define QUOP_FOLDERS_METHODS(M)                                                       \
  M(get_Count, (long* Count))                                              /* 11 */ \
  M(Item, (VARIANT Index, MAPIFolder** Item))                              /* 12 */ \
  M(get_RawTable, (IUnknown** RawTable))                                   /* 13 */ \
  M(Add, (BSTR Name, VARIANT Type, MAPIFolder** Folder))                   /* 14 */ \
  M(GetFirst, (MAPIFolder** Folder))                                       /* 15 */ \
  M(GetLast, (MAPIFolder** Folder))                                        /* 16 */ \
  M(GetNext, (MAPIFolder** Folder))                                        /* 17 */ \
  M(GetPrevious, (MAPIFolder** Folder))                                    /* 18 */ \
  M(Remove, (long Index))                                                  /* 19 */
struct _Folders : IDispatch {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_DECLARE_PURE)
  QUOP_FOLDERS_METHODS(QUOP_DECLARE_PURE)
};

// {00063006-0000-0000-C000-000000000046}
#define QUOP_MAPIFOLDER_METHODS(M)                                                    \
  M(get_DefaultItemType, (OlItemType* ItemType))                           /* 11 */ \
  M(get_DefaultMessageClass, (BSTR* DefaultMessageClass))                  /* 12 */ \
  M(get_Description, (BSTR* Description))                                  /* 13 */ \
  M(put_Description, (BSTR Description))                                   /* 14 */ \
  M(get_EntryID, (BSTR* EntryID))                                          /* 15 */ \
  M(get_Folders, (_Folders** Folders))                                     /* 16 */ \
  M(get_Items, (IDispatch** Items))                                        /* 17 */ \
  M(get_Name, (BSTR* Name))                                                /* 18 */ \
  M(put_Name, (BSTR Name))                                                 /* 19 */
struct MAPIFolder : IDispatch {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_DECLARE_PURE)
  QUOP_MAPIFOLDER_METHODS(QUOP_DECLARE_PURE)
};

// {00063003-0000-0000-C000-000000000046}
#define QUOP_EXPLORER_METHODS(M)                                                      \
  M(get_CommandBars, (_CommandBars** CommandBars))                         /* 11 */ \
  M(get_CurrentFolder, (MAPIFolder** CurrentFolder))                       /* 12 */
struct _Explorer : IDispatch {
  QUOP_OUTLOOK_COMMON_METHODS(QUOP_DECLARE_PURE)
  QUOP_EXPLORER_METHODS(QUOP_DECLARE_PURE)
};
