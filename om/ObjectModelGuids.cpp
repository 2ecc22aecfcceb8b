// The identifiers of the Outlook and Office interfaces and classes the
// add-in uses, defined once.
#include "om/AddInIntf.h"
#include "om/OfficeIntf.h"
#include "om/OutlookIntf.h"

#define QUOP_OLE_GUID(name, l) \
  extern "C" const GUID name = {l, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}

QUOP_OLE_GUID(IID__Application, 0x00063001);
QUOP_OLE_GUID(IID__NameSpace, 0x00063002);
QUOP_OLE_GUID(IID__Explorer, 0x00063003);
QUOP_OLE_GUID(IID_MAPIFolder, 0x00063006);
QUOP_OLE_GUID(IID__Folders, 0x00063040);
QUOP_OLE_GUID(CLSID_OutlookApplication, 0x0006F03A);

QUOP_OLE_GUID(IID__IMsoDispObj, 0x000C0300);
QUOP_OLE_GUID(IID__IMsoOleAccDispObj, 0x000C0301);
QUOP_OLE_GUID(IID__CommandBars, 0x000C0302);
QUOP_OLE_GUID(IID_CommandBar, 0x000C0304);
QUOP_OLE_GUID(IID_CommandBarControls, 0x000C0306);
QUOP_OLE_GUID(IID_CommandBarControl, 0x000C0308);
QUOP_OLE_GUID(IID__CommandBarButton, 0x000C030E);
QUOP_OLE_GUID(IID__CommandBarButtonEvents, 0x000C0351);
QUOP_OLE_GUID(IID_IRibbonControl, 0x000C0395);
QUOP_OLE_GUID(IID_IRibbonExtensibility, 0x000C0396);

extern "C" const GUID CLSID_CommandBarButton = {0x55F88891, 0x7708, 0x11D1, {0xAC, 0xEB, 0x00, 0x60, 0x08, 0x96, 0x1D, 0xA5}};
extern "C" const GUID CLSID_CommandBars = {0x55F88893, 0x7708, 0x11D1, {0xAC, 0xEB, 0x00, 0x60, 0x08, 0x96, 0x1D, 0xA5}};

extern "C" const GUID IID__IDTExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
