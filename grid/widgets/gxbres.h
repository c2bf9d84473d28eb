#pragma once
// The widgets' own resources: the calculator picture of the drop button, the calculator's
// "Enter" picture, the date-time control's drop arrow, the object viewer's icon, and their
// texts. A program's resource loader may replace the pictures.

#include "platform/gdi/gdiobj.h"

#define GXB_IDB_CALCULATOR 20036
#define GXB_IDB_CALC_ENTER 20037
#define GXB_IDB_DROPDOWN 20028
#define GXB_IDB_OBJECT 20038
#define GXB_IDS_CALC_ENTER 20124
#define GXB_IDS_CALC_ERROR 20125

// Registers the texts once; every widget that shows one calls it before its first use.
void GXBRegisterWidgetResources();
// A resource bitmap with its button colours mapped to the system's; the widgets' own pictures
// come from the program's loader when it has them, else from the built-in drawings.
BOOL GXBLoadSysColorMappedBitmap(CBitmap& bitmap, UINT nID);
