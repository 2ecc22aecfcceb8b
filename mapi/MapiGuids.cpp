// The interface identifiers of MAPI that the layer passes, defined once.
#define INITGUID
#define USES_IID_IMessage
#define USES_IID_IMAPIFolder
#include <initguid.h>

#include "mapi/MapiHeaders.h"
