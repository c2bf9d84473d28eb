#pragma once
// Drawing: device contexts, GDI objects, constants, recording DC and the window seam.

#include "platform/gdi/gdidefs.h"
#include "platform/gdi/gdiobj.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/recording.h"
#include "platform/gdi/surface.h"
