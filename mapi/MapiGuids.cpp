// The interface identifiers of MAPI, defined once for the whole program.
#define INITGUID
#include <initguid.h>

#include "mapi/MapiHeaders.h"
