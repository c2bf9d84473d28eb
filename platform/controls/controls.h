#pragma once
// The standard controls: messages and structures, the control window classes, and the
// framework's wrappers of them.

#include "platform/controls/ctldefs.h"
#include "platform/controls/ctlwnd.h"
#include "platform/controls/imagelist.h"
#include "platform/controls/mappedbitmap.h"
#include "platform/controls/treectrl.h"
